// The two control styles. Classic is the game as it has always played: a
// held arrow moves whenever more than 50 ms have passed since the last move,
// and the frame shows the pair as it was before its steps. Modern moves at
// once on a press, repeats only after 170 ms held and then on the classic
// beat, and shows the pair after its steps; it changes no rule.
#include "play_fixture.h"

#include <vector>

using platform::Key;

class ControlStyleTest : public PlayTest {
protected:
    // Frames every `frameMs` from `start` while `key` is held for `holdMs`
    // (down before the first frame, up after the last one inside the hold);
    // the times of the frames in which the pair moved.
    std::vector<Millis> holdArrow(Key key, Millis start, Millis holdMs, Millis frameMs, Millis runMs)
    {
        std::vector<Millis> moves;
        headless::press(key);
        for (Millis t = start; t < start + runMs; t += frameMs) {
            if (t >= start + holdMs) headless::release(key);
            const int column = pair(0).column();
            frameAt(t);
            if (pair(0).column() != column) moves.push_back(t - start);
        }
        headless::release(key);
        return moves;
    }
    void pairAtTheTop(int column)
    {
        placePair(column, 0, 0, column, 2, 1);
        PairBlock::setFallStamp(900);  // no fall step for the next second
    }
};

TEST_F(ControlStyleTest, ClassicIsTheDefault) { EXPECT_EQ(game->controlStyle(), ControlStyle::Classic); }

TEST_F(ControlStyleTest, ATapMovesOneColumnInModernWhereClassicMovesTwo)
{
    for (Millis hold : {80, 100, 120}) {
        for (ControlStyle style : {ControlStyle::Classic, ControlStyle::Modern}) {
            resetBlockClassValues();
            game->setControlStyle(style);
            pairAtTheTop(4);
            holdArrow(Key::Right, 1000, hold, 33, 300);
            const int expected = style == ControlStyle::Modern ? 5 : 6;
            EXPECT_EQ(pair(0).column(), expected)
                << hold << " ms, " << (style == ControlStyle::Modern ? "modern" : "classic");
        }
    }
}

TEST_F(ControlStyleTest, ModernHeldArrowWaits170msThenRepeatsOnTheClassicBeat)
{
    game->setControlStyle(ControlStyle::Modern);
    pairAtTheTop(7);
    // Fine frames show the exact times: at once, at 170 ms held, then each
    // time more than 50 ms have passed since the last move.
    EXPECT_EQ(holdArrow(Key::Left, 1000, 1000, 10, 360), (std::vector<Millis>{0, 170, 230, 290, 350}));

    // At the game's frame pace the repeats come every other frame, as a
    // classic hold does.
    resetBlockClassValues();
    pairAtTheTop(7);
    EXPECT_EQ(holdArrow(Key::Left, 2000, 1000, 33, 400), (std::vector<Millis>{0, 198, 264, 330, 396}));
    resetBlockClassValues();
    game->setControlStyle(ControlStyle::Classic);
    pairAtTheTop(7);
    EXPECT_EQ(holdArrow(Key::Left, 3000, 1000, 33, 200), (std::vector<Millis>{0, 66, 132, 198}));
}

TEST_F(ControlStyleTest, ModernQuickTapsEachMoveAColumnOneMoveAFrame)
{
    game->setControlStyle(ControlStyle::Modern);
    pairAtTheTop(3);
    for (Millis t : {1000, 1033, 1066}) {  // a fresh press in each frame, inside the 50 ms gate
        headless::press(Key::Left);
        frameAt(t);
        headless::release(Key::Left);
    }
    EXPECT_EQ(pair(0).column(), 0);

    // Both arrows at once: one move, left first; right when left is walled.
    for (Millis t : {1200, 1233}) {
        headless::press(Key::Right);
        headless::press(Key::Left);
        frameAt(t);
        headless::release(Key::Left);
        headless::release(Key::Right);
        EXPECT_EQ(pair(0).column(), t == 1200 ? 1 : 0) << t;
    }
}

TEST_F(ControlStyleTest, ModernFrameShowsTheMoveItReadsClassicTheOneBefore)
{
    // Red channel at the centre of the top block's cell in a column.
    auto shownIn = [this](int column) { return screenRed(192 + 32 * column + 16, 48 + 16); };
    for (ControlStyle style : {ControlStyle::Classic, ControlStyle::Modern}) {
        resetBlockClassValues();
        game->setControlStyle(style);
        pairAtTheTop(3);
        blankScreen();
        headless::press(Key::Left);
        frameAt(1000);
        headless::release(Key::Left);
        ASSERT_EQ(pair(0).column(), 2);
        if (style == ControlStyle::Modern) {
            EXPECT_EQ(shownIn(2), 255);
            EXPECT_EQ(shownIn(3), 0);
        } else {
            EXPECT_EQ(shownIn(3), 255);
            EXPECT_EQ(shownIn(2), 0);
        }
    }
}

TEST_F(ControlStyleTest, ModernLandingFrameShowsThePairWhereItCameToRest)
{
    game->setControlStyle(ControlStyle::Modern);
    placePair(3, 18, 0, 3, 20, 1);
    PairBlock::setFallStamp(0);
    blankScreen();
    frameAt(1000);  // half rows 19 and 21: still falling
    frameAt(2100);  // half rows 20 and 22: block 1 on the floor
    ASSERT_EQ(field().cellAt(3, 11), 1);
    EXPECT_EQ(screenRed(192 + 3 * 32 + 16, 48 + 11 * 32 + 30), 255);  // bottom of the landed block
    EXPECT_EQ(screenRed(192 + 3 * 32 + 16, 48 + 9 * 32 + 4), 0);      // where block 0 was a step ago
}

TEST_F(ControlStyleTest, ModernChangesNoRuleOfFallTurnAndWall)
{
    // The same frames without arrows: the pair goes the same way in both
    // styles, turning, pushed down and landing alike.
    struct Seen {
        int column0, half0, column1, half1, phase;
        bool operator==(const Seen& o) const
        {
            return column0 == o.column0 && half0 == o.half0 && column1 == o.column1 && half1 == o.half1 &&
                   phase == o.phase;
        }
    };
    std::vector<Seen> runs[2];
    for (int run = 0; run < 2; ++run) {
        resetBlockClassValues();
        field().reset();
        game->setControlStyle(run == 0 ? ControlStyle::Classic : ControlStyle::Modern);
        stack(2, {1, 2, 3});
        placePair(1, 0, 0, 1, 2, 1);
        for (int f = 0; f < 60; ++f) {
            std::vector<Key> taps;
            if (f % 7 == 0) taps.push_back(Key::Z);
            if (f % 11 == 0) taps.push_back(Key::C);
            for (Key k : taps)
                headless::press(k);
            if (f >= 20) headless::press(Key::Down);
            frameAt(1000 + 33 * f);
            for (Key k : taps)
                headless::release(k);
            runs[run].push_back({pair(0).column(), pair(0).pairRow(false), pair(1).column(),
                                 pair(1).pairRow(false), game->phase()});
        }
        headless::release(Key::Down);
    }
    EXPECT_TRUE(runs[0] == runs[1]);

    // A wall stops a modern press as it stops a classic one, silently.
    resetBlockClassValues();
    field().reset();
    GameTestAccess::setPhase(*game, PhaseFalling);
    pairAtTheTop(0);
    headless::clearAudioLog();
    headless::press(Key::Left);
    frameAt(9000);
    headless::release(Key::Left);
    EXPECT_EQ(pair(0).column(), 0);
    EXPECT_TRUE(effectsPlayed().empty());
}
