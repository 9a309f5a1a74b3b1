// Match check, scoring, fade, drop, settle and the top-out rule, played on
// small hand-built fields.
#include "play_fixture.h"

#include <algorithm>
#include <climits>

namespace {

void rowLine(PuzzleField& f, int row, int firstColumn, int count, int colour)
{
    for (int c = firstColumn; c < firstColumn + count; ++c)
        f.setCell(c, row, colour);
}

}  // namespace

TEST_F(PlayTest, LaterChainStepsAreMultipliedByTheBlocksClearedBefore)
{
    rowLine(field(), 11, 0, 3, 0);
    GameTestAccess::checkMatches(*game);
    EXPECT_EQ(game->phase(), PhaseClearing);
    EXPECT_EQ(field().score(), 30);

    rowLine(field(), 11, 0, 4, 1);
    GameTestAccess::checkMatches(*game);
    EXPECT_EQ(field().score(), 30 + 150);

    rowLine(field(), 10, 2, 3, 2);
    GameTestAccess::checkMatches(*game);
    EXPECT_EQ(field().score(), 30 + 150 + 210);

    int steps = 0, cleared = 0;
    field().chainState(steps, cleared);
    EXPECT_EQ(steps, 3);
    EXPECT_EQ(cleared, 10);
    EXPECT_EQ(field().clearedCount(), 10);
}

TEST_F(PlayTest, CrossingLinesCountTheSharedCellTwice)
{
    rowLine(field(), 11, 2, 3, 2);
    field().setCell(3, 10, 2);
    field().setCell(3, 9, 2);
    GameTestAccess::checkMatches(*game);
    EXPECT_EQ(field().score(), 12 * 10);
    EXPECT_EQ(field().clearedCount(), 6);
}

TEST_F(PlayTest, ChainPointsFollowTheTable)
{
    const int factors[] = {0, 1, 2, 3, 5, 8, 12, 17, 23, 30, 38, 47, 57};
    for (int count = 0; count <= 12; ++count)
        EXPECT_EQ(GameTestAccess::chainPoints(10, count), 10 * factors[count]) << count;
    EXPECT_EQ(GameTestAccess::chainPoints(10, -3), 0);
    EXPECT_EQ(GameTestAccess::chainPoints(200, 1000000), INT_MAX);
}

TEST_F(PlayTest, HugeChainMultiplierSaturatesTheScoreInsteadOfWrapping)
{
    field().setScore(9000000);
    field().setChainState(1, 100000000);
    rowLine(field(), 11, 0, 3, 0);
    GameTestAccess::checkMatches(*game);
    EXPECT_EQ(field().score(), 9999999);
}

TEST_F(PlayTest, EachClearStepSoundsItsChainEffectOnceAndLaterStepsShareTheFifth)
{
    const int expected[] = {SeChain1, SeChain2, SeChain3, SeChain4, SeChain5, SeChain5, SeChain5};
    for (int earlier = 0; earlier < 7; ++earlier) {
        field().setChainState(earlier, 0);
        rowLine(field(), 11, 0, 3, 1);
        GameTestAccess::checkMatches(*game);
        ASSERT_EQ(game->phase(), PhaseClearing);
        headless::clearAudioLog();
        const Millis start = 10000 * (earlier + 1);
        for (int step = 0; step < 5; ++step)
            frameAt(start + 100 * step);
        EXPECT_EQ(effectsPlayed(), std::vector<int>{expected[earlier]}) << earlier;
        EXPECT_EQ(game->phase(), PhaseFalling);
    }
}

TEST_F(PlayTest, FadeIsDrawnAtFourLevelsAtLeast100msApartThenEnds)
{
    rowLine(field(), 11, 0, 3, 1);
    GameTestAccess::checkMatches(*game);

    // (time, drawn, fade level after the frame)
    const struct {
        Millis at;
        bool drawn;
        int level;
    } frames[] = {
        {1000, true, 204}, {1099, false, 204}, {1100, true, 153},
        {1200, true, 102}, {1300, true, 51},   {1400, false, 255},
    };
    for (const auto& f : frames) {
        blankScreen();
        frameAt(f.at);
        EXPECT_EQ(screenDrawn(), f.drawn) << f.at;
        EXPECT_EQ(ClearBlock::fadeLevel(), f.level) << f.at;
        // The cleared block at (0, 11) is blended over black with level / 256.
        if (f.drawn) {
            EXPECT_EQ(screenRed(192 + 5, 48 + 32 * 11 + 5), (255 * f.level) >> 8) << f.at;
        }
    }
    // The fade's end settles the field and, nothing being left, spawns.
    EXPECT_EQ(game->phase(), PhaseFalling);
    EXPECT_EQ(pair(0).pairRow(false), 0);
}

TEST_F(PlayTest, FadeGateHoldsAcrossTheClockWrap)
{
    rowLine(field(), 11, 0, 3, 1);
    GameTestAccess::checkMatches(*game);
    frameAt(0xFFFFFFC0u);
    EXPECT_EQ(ClearBlock::fadeLevel(), 204);
    frameAt(0xFFFFFFC0u + 48);  // stamp + 100 has wrapped, now has not
    EXPECT_EQ(ClearBlock::fadeLevel(), 204);
    frameAt(0xFFFFFFC0u + 60);  // wrapped, 60 ms later
    EXPECT_EQ(ClearBlock::fadeLevel(), 204);
    frameAt(0xFFFFFFC0u + 100);
    EXPECT_EQ(ClearBlock::fadeLevel(), 153);
}

TEST_F(PlayTest, HalfPairOverAGapDropsAfterTheLanding)
{
    stack(3, {2});
    placePair(3, 19, 0, 4, 19, 1);
    frameAt(1000);  // half row 20: block 0 rests on the block at (3, 11)
    EXPECT_EQ(game->phase(), PhaseDropping);
    EXPECT_EQ(field().cellAt(3, 10), 0);
    EXPECT_EQ(field().cellAt(4, 10), Empty);  // lifted into the drop
    EXPECT_EQ(field().drops().size(), 1);

    for (Millis t : {1033u, 1066u, 1099u}) {
        blankScreen();
        frameAt(t);
        EXPECT_TRUE(screenDrawn());
    }
    blankScreen();
    frameAt(1132);  // the step that lands the block still draws
    EXPECT_TRUE(screenDrawn());
    EXPECT_EQ(field().cellAt(4, 11), 1);
    EXPECT_EQ(game->phase(), PhaseDropping);

    blankScreen();
    frameAt(1165);  // next frame: landing sound, check, next pair
    EXPECT_FALSE(screenDrawn());
    EXPECT_EQ(effectsPlayed(), (std::vector<int>{SeBottom, SeBottom}));
    EXPECT_EQ(game->phase(), PhaseFalling);
    EXPECT_EQ(pair(1).pairRow(false), 2);
}

TEST_F(PlayTest, DropStepsWaitAtLeast30ms)
{
    stack(0, {1, Empty, 2});
    GameTestAccess::settle(*game);
    ASSERT_EQ(game->phase(), PhaseDropping);
    frameAt(500);
    EXPECT_EQ(DropBlock::dropOffset(), 12);
    frameAt(529);
    EXPECT_EQ(DropBlock::dropOffset(), 12);
    frameAt(530);
    EXPECT_EQ(DropBlock::dropOffset(), 24);
}

TEST_F(PlayTest, ChainRunsThroughDropAndSecondClearThenSpawns)
{
    // Clearing the 0s lets the 1 at (2, 10) drop beside the two 1s.
    rowLine(field(), 11, 0, 3, 0);
    rowLine(field(), 11, 3, 2, 1);
    field().setCell(2, 10, 1);
    GameTestAccess::checkMatches(*game);
    Millis t = 1000;
    for (int i = 0; i < 40 && game->phase() != PhaseFalling; ++i)
        frameAt(t += 100);
    EXPECT_EQ(game->phase(), PhaseFalling);
    EXPECT_EQ(field().score(), 30 + 30 * 3);
    EXPECT_EQ(field().clearedCount(), 6);
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(field().cellAt(c, 11), Empty) << c;
    const std::vector<int> played = effectsPlayed();
    EXPECT_EQ(std::count(played.begin(), played.end(), SeChain1), 1);
    EXPECT_EQ(std::count(played.begin(), played.end(), SeChain2), 1);
}

TEST_F(PlayTest, GameEndsOnlyWhenTheSpawnCellIsTaken)
{
    struct Case {
        int column;
        int height;
        bool over;
    };
    // Columns of alternating colours (no line) of the given height.
    const Case cases[] = {{3, 11, false}, {0, 12, false}, {3, 12, true}};
    for (const Case& c : cases) {
        field().reset();
        GameTestAccess::setScene(*game, ScenePlay);
        for (int i = 0; i < c.height; ++i)
            field().setCell(c.column, 11 - i, i % 2);
        const int next0 = field().nextColour(0);
        headless::clearAudioLog();
        GameTestAccess::checkMatches(*game);
        EXPECT_EQ(game->scene(), c.over ? SceneGameOver : ScenePlay) << c.column << "/" << c.height;
        EXPECT_EQ(effectsPlayed().size() == 1 && effectsPlayed()[0] == SeGameOver, c.over);
        // Either way a new pair waits in phase 4.
        EXPECT_EQ(game->phase(), PhaseFalling);
        EXPECT_EQ(pair(0).column(), 3);
        EXPECT_EQ(pair(0).pairRow(false), 0);
        EXPECT_EQ(pair(1).pairRow(false), 2);
        EXPECT_EQ(pair(0).colour(), next0);
    }
}

TEST_F(PlayTest, SettleWithNothingFloatingChecksOnceAfterASpawnThenSpawns)
{
    stack(5, {1, 1});
    GameTestAccess::setPhase(*game, PhaseDropping);
    GameTestAccess::settle(*game);  // flag set: the check runs, finds nothing, spawns
    EXPECT_EQ(game->phase(), PhaseFalling);
    EXPECT_TRUE(game->landingCheckPending());  // set again by the spawn

    GameTestAccess::setLandingCheckPending(*game, false);
    for (int row = 0; row < 12; ++row)
        field().setCell(3, row, row % 2);  // a check would end the game
    GameTestAccess::settle(*game);
    EXPECT_EQ(game->scene(), ScenePlay);
    EXPECT_EQ(game->phase(), PhaseFalling);
}

TEST_F(PlayTest, UnknownPhaseShowsItsMessageAndDoesNothingElse)
{
    GameTestAccess::setPhase(*game, static_cast<PhaseId>(9));
    frameAt(100);
    ASSERT_EQ(headless::messageBoxes().size(), 1u);
    EXPECT_EQ(headless::messageBoxes()[0].text, "Undefinde Scene!!");
    EXPECT_EQ(headless::messageBoxes()[0].caption, "cution");
    EXPECT_EQ(game->phase(), 9);
}
