// The timing and placing of what the screens add: the chain label shows for
// a second and fades over its last part, a new chain takes an old label
// away, the label stays inside the well, LEVEL UP blinks and then stays for
// two seconds in the well, never over the falling pair, and M brings a
// short SOUND OFF or SOUND ON on every screen.
#include "game/feedback.h"
#include "game_test_access.h"
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
    EXPECT_TRUE(f.levelUpShown(start + 1000));
    EXPECT_FALSE(f.levelUpShown(start + PlayFeedback::LevelUpMs));

    SoundNotice n;
    n.show(true, start);
    EXPECT_TRUE(n.shown(start + 300));
    EXPECT_FALSE(n.shown(start + SoundNotice::ShowMs));
}

TEST(PlayFeedback, LevelUpBlinksThenStaysForTwoSecondsAfterTheRise)
{
    PlayFeedback f;
    EXPECT_FALSE(f.levelUpShown(500));
    f.levelRose(1000);
    int on = 0, off = 0;
    for (Millis t = 1000; t < 1750; t += 10)
        (f.levelUpShown(t) ? on : off)++;
    EXPECT_GT(on, 40);   // mostly shown ...
    EXPECT_GT(off, 15);  // ... but blinking at first
    for (Millis t = 1750; t < 3000; t += 10)
        EXPECT_TRUE(f.levelUpShown(t)) << t;  // then steady
    EXPECT_TRUE(f.levelUpShown(1000));
    EXPECT_FALSE(f.levelUpShown(3000));
    f.clear();
    EXPECT_FALSE(f.levelUpShown(1000));
}

class LevelUpPlaceTest : public GameTest {};

TEST_F(LevelUpPlaceTest, BadgeStandsInTheWellAndNeverOverTheFallingPair)
{
    using namespace overlay;
    Renderer& r = game_->renderer();
    r.overlay(OverlayLevelUp).createFilled(LevelUpWidth, LevelUpHeight, 250, 250, 0);
    PlayFeedback f;
    f.levelRose(100);
    const Millis now = 100 + PlayFeedback::LevelUpBlinkingMs;  // steady
    // The pair upright and lying, in every column and at every half row.
    for (bool upright : {true, false})
        for (int column = 0; column + (upright ? 0 : 1) < GridColumns; ++column)
            for (int halfRow = 0; halfRow + (upright ? 2 : 0) <= 2 * GridRows - 2; ++halfRow) {
                PairBlock pair[2];
                for (int i = 0; i < 2; ++i) {
                    pair[i].setColumn(column + (upright ? 0 : i));
                    pair[i].setHalfRow(halfRow + (upright ? 2 * i : 0));
                }
                r.backBuffer().createFilled(640, 480, 0, 0, 0);
                f.draw(r, now, &pair);
                int badge = 0, onPair = 0, outsideWell = 0;
                for (int y = 0; y < 480; ++y)
                    for (int x = 0; x < 640; ++x) {
                        if (!(pixelAt(r.backBuffer(), x, y) == Rgb{250, 250, 0})) continue;
                        ++badge;
                        for (const PairBlock& b : pair) {
                            const int left = FieldLeft + CellSize * b.column();
                            const int top = FieldTop + CellSize / 2 * b.pairRow(false);
                            onPair += x >= left && x < left + CellSize && y >= top && y < top + CellSize;
                        }
                        outsideWell += x < FieldLeft || x >= FieldLeft + 256 || y < FieldTop ||
                                       y >= FieldTop + 384;
                    }
                EXPECT_EQ(badge, LevelUpWidth * LevelUpHeight) << column << ", " << halfRow;
                EXPECT_EQ(onPair, 0) << "over the pair at " << column << ", " << halfRow;
                EXPECT_EQ(outsideWell, 0);
            }
    // With no pair falling (a clear, a drop) the upper place.
    r.backBuffer().createFilled(640, 480, 0, 0, 0);
    f.draw(r, now);
    EXPECT_EQ(pixelAt(r.backBuffer(), LevelUpX, LevelUpUpperY), (Rgb{250, 250, 0}));
    r.backBuffer().createFilled(640, 480, 0, 0, 0);
    f.draw(r, 100 + PlayFeedback::LevelUpMs);
    EXPECT_EQ(pixelAt(r.backBuffer(), LevelUpX, LevelUpUpperY), (Rgb{0, 0, 0}));
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

namespace {

const Rgb SoundOff{250, 40, 40};
const Rgb SoundOn{40, 40, 250};
const Rgb TitleColour{20, 90, 20};

}  // namespace

// Every frame handed over, as the frame thread does, so that screens that
// draw nothing in a frame keep their picture.
class SoundNoticeTest : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        loadTestPictures();
        game_->renderer().image(SlotTitle).createFilled(640, 480, TitleColour.r, TitleColour.g,
                                                        TitleColour.b);
        writeBytes(dir_.file("SoundNotice.bmp"),
                   bmpBytes(overlay::SoundNoticeWidth, 2 * overlay::SoundNoticeHeight,
                            [](int, int y) { return y < overlay::SoundNoticeHeight ? SoundOff : SoundOn; }));
        ASSERT_TRUE(game_->renderer().loadOverlay(OverlaySoundNotice, dir_.file("SoundNotice.bmp"), false));
        game_->setSpawnPosition(0, 3, 0);
        game_->setSpawnPosition(1, 3, 1);
        headless::setClock(1000);
    }
    void frameAt(Millis ms)
    {
        headless::setClock(ms);
        game_->update();
        game_->present();
    }
    void tapAt(platform::Key key, Millis ms)
    {
        headless::press(key);
        frameAt(ms);
        headless::release(key);
    }
    Rgb notice() { return screen(overlay::SoundNoticeX + 10, overlay::SoundNoticeY + 10); }
};

TEST_F(SoundNoticeTest, MShowsSoundOffOrOnForItsTimeOnTheTitleAndInPlay)
{
    struct Screen {
        const char* name;
        SceneId scene;
    };
    for (const Screen& s : {Screen{"title", SceneTitle}, Screen{"play", ScenePlay}}) {
        SCOPED_TRACE(s.name);
        GameTestAccess::setScene(*game_, s.scene);
        game_->changePhase(PhaseFalling);
        frameAt(1000);
        const Rgb plain = notice();
        ASSERT_FALSE(plain == SoundOff);

        tapAt(platform::Key::M, 1033);
        EXPECT_TRUE(game_->settings().mute);
        EXPECT_EQ(notice(), SoundOff);
        frameAt(1033 + SoundNotice::ShowMs - 1);
        EXPECT_EQ(notice(), SoundOff);
        frameAt(1033 + SoundNotice::ShowMs);
        EXPECT_EQ(notice(), plain);

        tapAt(platform::Key::M, 3000);
        EXPECT_FALSE(game_->settings().mute);
        EXPECT_EQ(notice(), SoundOn);
        frameAt(3000 + SoundNotice::ShowMs);
        EXPECT_EQ(notice(), plain);
    }
}

TEST_F(SoundNoticeTest, WhilePausedTheNoticeShowsOnThePauseScreenAndRunsOnTheGameClock)
{
    GameTestAccess::setScene(*game_, ScenePlay);
    game_->changePhase(PhaseFalling);
    frameAt(1000);
    tapAt(platform::Key::P, 1033);
    ASSERT_TRUE(game_->paused());
    const Rgb plain = notice();

    tapAt(platform::Key::M, 1066);
    EXPECT_EQ(notice(), SoundOff);
    // The game's clock stands while paused: the notice stays.
    for (Millis t = 1100; t < 9000; t += 33)
        frameAt(t);
    EXPECT_EQ(notice(), SoundOff);

    tapAt(platform::Key::P, 9033);
    ASSERT_FALSE(game_->paused());
    EXPECT_EQ(notice(), SoundOff);
    // Held at 1066 by the pause clock: the notice had shown for 0 ms of
    // game time when paused, so it lasts its whole time after the resume.
    frameAt(9033 + SoundNotice::ShowMs - 100);
    EXPECT_EQ(notice(), SoundOff);
    frameAt(9033 + SoundNotice::ShowMs + 100);
    EXPECT_EQ(notice(), plain);
}
