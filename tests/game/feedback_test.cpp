// The timing and placing of what the play screen adds: the chain label shows
// for a second and fades over its last part, a new chain takes an old label
// away, the label stays inside the well, and LEVEL UP blinks for a second.
#include "game/feedback.h"
#include "game_test_support.h"
#include "render/overlay_layout.h"

using namespace gametest;

namespace {

// One cleared group of the given cells.
GroupList groupOf(std::initializer_list<std::pair<int, int>> cells)
{
    GroupList groups;
    ClearGroup group;
    for (const auto& [column, row] : cells) {
        Block b;
        b.setColumn(column);
        b.setRow(row);
        group.append(b);
    }
    groups.append(group);
    return groups;
}

}  // namespace

TEST(PlayFeedback, ChainLabelShowsASecondFromTheSecondStepAndFadesAtTheEnd)
{
    PlayFeedback f;
    const GroupList groups = groupOf({{2, 5}, {3, 5}, {4, 5}});
    f.chainStep(1, 30, groups, 1000);
    EXPECT_EQ(f.chainLabelAlpha(1000), 0);  // a one-step clear has none

    f.chainStep(2, 120, groups, 2000);
    EXPECT_EQ(f.chainLabelAlpha(2000), 256);
    EXPECT_EQ(f.chainLabelAlpha(2599), 256);
    const int early = f.chainLabelAlpha(2700), late = f.chainLabelAlpha(2950);
    EXPECT_LT(early, 256);
    EXPECT_LT(late, early);
    EXPECT_GT(late, 0);
    EXPECT_EQ(f.chainLabelAlpha(3000), 0);
    EXPECT_EQ(f.chainLabelAlpha(9000), 0);

    // A third step starts its own second; a new chain's first step ends it.
    f.chainStep(3, 480, groups, 2500);
    EXPECT_EQ(f.chainLabelAlpha(3000), 256);
    f.chainStep(1, 30, groups, 2600);
    EXPECT_EQ(f.chainLabelAlpha(2600), 0);
}

TEST(PlayFeedback, TimesHoldAcrossTheClockWrap)
{
    PlayFeedback f;
    const Millis start = 0xffffff00u;
    f.chainStep(2, 60, groupOf({{0, 0}}), start);
    f.levelRose(start);
    EXPECT_EQ(f.chainLabelAlpha(start + 300), 256);  // past the wrap
    EXPECT_TRUE(f.levelUpShown(start + 260));
    EXPECT_EQ(f.chainLabelAlpha(start + 1000), 0);
    EXPECT_FALSE(f.levelUpShown(start + 1000));
}

TEST(PlayFeedback, LevelUpBlinksForASecondAfterTheRise)
{
    PlayFeedback f;
    EXPECT_FALSE(f.levelUpShown(500));
    f.levelRose(1000);
    int on = 0, off = 0;
    for (Millis t = 1000; t < 2000; t += 10)
        (f.levelUpShown(t) ? on : off)++;
    EXPECT_GT(on, 50);   // mostly shown ...
    EXPECT_GT(off, 20);  // ... but blinking
    EXPECT_TRUE(f.levelUpShown(1000));
    EXPECT_FALSE(f.levelUpShown(2000));
    f.clear();
    EXPECT_FALSE(f.levelUpShown(1000));
}

class ChainLabelPlaceTest : public GameTest {};

TEST_F(ChainLabelPlaceTest, LabelStaysInsideTheWellEvenForCornerClears)
{
    Renderer& r = game_->renderer();
    r.overlay(OverlayChainWord).createFilled(overlay::ChainWordWidth, overlay::ChainGlyphHeight, 250, 0, 250);
    r.overlay(OverlayChainDigits)
        .createFilled(16 * overlay::ChainGlyphCount, overlay::ChainGlyphHeight, 0, 250, 250);
    const Rgb word{250, 0, 250};
    for (const auto& corner : {std::pair<int, int>{0, 0}, {7, 0}, {0, 11}, {7, 11}}) {
        r.backBuffer().createFilled(640, 480, 0, 0, 0);
        PlayFeedback f;
        f.chainStep(12, 9999999, groupOf({{corner.first, corner.second}}), 100);
        f.draw(r, 100);
        int inside = 0, outside = 0, wordPixels = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) {
                const Rgb c = pixelAt(r.backBuffer(), x, y);
                if (c == Rgb{0, 0, 0}) continue;
                wordPixels += c == word ? 1 : 0;
                const bool inWell = x >= FieldLeft && x < FieldLeft + 256 && y >= FieldTop &&
                                    y < FieldTop + 384;
                (inWell ? inside : outside)++;
            }
        EXPECT_EQ(outside, 0) << corner.first << ", " << corner.second;
        // "12 CHAIN" over "+9999999": the whole word and eight glyphs.
        EXPECT_EQ(inside,
                  overlay::ChainWordWidth * overlay::ChainGlyphHeight + 10 * 16 * overlay::ChainGlyphHeight);
        EXPECT_EQ(wordPixels, overlay::ChainWordWidth * overlay::ChainGlyphHeight);
    }
}
