// The soak: a few hundred games of the seeded player with the invariants
// checked after every frame; and the invariants themselves, which must be
// able to fail.
#include "field/puzzle_field.h"
#include "platform/headless.h"
#include "tests/game/game_test_access.h"
#include "tests/replay/replay_test_support.h"
#include "tools/replay/invariants.h"
#include "tools/replay/soak.h"
#include "tools/support/rank_file_check.h"
#include "tools/support/scratch_dir.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace replay;
using namespace replaytest;
using namespace support;

TEST(Soak, HundredsOfRandomGamesKeepEveryInvariant)
{
    ScratchDir work;
    ASSERT_TRUE(work.enter());
    SoakOptions options;
    options.seed = 20240607;
    options.games = 300;
    options.presentEvery = 97;  // draw into the window now and then
    const SoakResult r = runSoak(options);

    for (const SoakFailure& f : r.failures)
        ADD_FAILURE() << "session seed " << f.sessionSeed << " frame " << f.frame << ": " << f.fault;
    EXPECT_GE(r.games, 300);
    // Every game ended by a top-out, and the player went everywhere a
    // person goes: the ranking view, name entries, chains and bombs.
    EXPECT_EQ(r.gameOvers, r.games);
    EXPECT_GT(r.rankingViews, 0);
    EXPECT_GT(r.nameEntries, 0);
    EXPECT_GT(r.bombSteps, 0);
    EXPECT_GE(r.maxChainSteps, 2);
    EXPECT_GE(r.maxLevel, 2);
    EXPECT_EQ(rankFileFault(readFile("Data/Rank.ds")), "");
    std::printf("soak: %d games, %lld frames, %.1f s, longest chain %d, highest level %d\n", r.games,
                r.frames, r.seconds, r.maxChainSteps, r.maxLevel);
}

TEST(Soak, SessionThatDoesNotEndIsAFailureWithItsInputSaved)
{
    ScratchDir work;
    ASSERT_TRUE(work.enter());
    SoakOptions options;
    options.seed = 5;
    options.games = 1;
    options.maxFramesPerGame = 50;  // far too short for any game
    options.failureDir = work.path();
    const SoakResult r = runSoak(options);
    ASSERT_EQ(r.failures.size(), 1u);
    EXPECT_NE(r.failures[0].fault.find("still running"), std::string::npos);

    // The saved input replays the failing session frame for frame.
    InputScript script;
    std::string error;
    ASSERT_TRUE(loadInputScript(r.failures[0].inputPath, script, error)) << error;
    EXPECT_EQ(script.frames, static_cast<int>(r.frames));
}

TEST(Invariants, LevelTableMatchesTheFieldsOwn)
{
    EXPECT_EQ(expectedLevel(0), 0);
    EXPECT_EQ(expectedLevel(29), 0);
    EXPECT_EQ(expectedLevel(30), 1);
    EXPECT_EQ(expectedLevel(629), 18);
    EXPECT_EQ(expectedLevel(9999999), 19);
    for (int cleared = 0; cleared <= 700; ++cleared)
        ASSERT_EQ(PuzzleField::levelForCleared(cleared), expectedLevel(cleared)) << cleared;
}

class InvariantsOnAGame : public ::testing::Test {
protected:
    void SetUp() override
    {
        headless::reset();
        GameTestAccess::setScene(game, ScenePlay);
        GameTestAccess::setPhase(game, PhaseFalling);
    }
    Game game;
    InvariantChecker checker;
};

TEST_F(InvariantsOnAGame, FreshGameHolds) { EXPECT_EQ(checker.check(game), ""); }

TEST_F(InvariantsOnAGame, UnknownSceneOrPhaseIsAFault)
{
    GameTestAccess::setScene(game, static_cast<SceneId>(4));
    EXPECT_EQ(checker.check(game), "unknown scene 4");
    GameTestAccess::setScene(game, ScenePlay);
    GameTestAccess::setPhase(game, static_cast<PhaseId>(SceneGameOver));
    EXPECT_EQ(checker.check(game), "unknown phase 7");
}

TEST_F(InvariantsOnAGame, CellOutsideTheCodesIsAFault)
{
    game.field().setCell(5, 11, Outside);
    EXPECT_EQ(checker.check(game), "cell (5, 11) holds 7");
    game.field().setCell(5, 11, -1);
    EXPECT_EQ(checker.check(game), "cell (5, 11) holds -1");
}

TEST_F(InvariantsOnAGame, ScoreMayFallOnlyWhereTheTitleResetsIt)
{
    game.field().setScore(500);
    game.field().setClearedCount(40);
    EXPECT_EQ(checker.check(game), "");
    game.field().setScore(400);
    EXPECT_EQ(checker.check(game), "score fell from 500 to 400");

    game.field().setScore(500);
    EXPECT_EQ(checker.check(game), "");
    game.field().setClearedCount(10);
    EXPECT_EQ(checker.check(game), "cleared count fell from 40 to 10");

    game.field().setClearedCount(40);
    EXPECT_EQ(checker.check(game), "");
    GameTestAccess::setScene(game, SceneTitle);
    game.field().reset();
    EXPECT_EQ(checker.check(game), "");
}

TEST_F(InvariantsOnAGame, MessageBoxIsAFault)
{
    platform::messageBox("undefined game level", "error");
    EXPECT_EQ(checker.check(game), "message box [error] undefined game level");
}

TEST(Invariants, RankFileAsTheGameWritesIt)
{
    const std::string good = "zay\r\n930\r\nabc\r\n930\r\n\r\n0\r\n\r\n0\r\n\r\n0\r\n";
    EXPECT_EQ(rankFileFault(good), "");
    struct Case {
        std::string text;
        const char* fault;
    };
    const Case cases[] = {
        {good.substr(0, good.size() - 2), "text after the last CR LF"},
        {good.substr(0, good.size() - 1), "text after the last CR LF"},
        {good + "x\r\n", "11 lines instead of 10"},
        {good.substr(5), "9 lines instead of 10"},
        {"ab\r\n930\r\n" + good.substr(10), "place 1: bad name"},
        {"ZAY\r\n930\r\n" + good.substr(10), "place 1: bad name"},
        {"zay\r\n0930\r\n" + good.substr(10), "place 1: bad score"},
        {"zay\r\n-930\r\n" + good.substr(10), "place 1: bad score"},
        {"zay\r\n10000000\r\n" + good.substr(10), "place 1: bad score"},
        {"zay\r\n\r\n" + good.substr(10), "place 1: bad score"},
        {"zay\r\n900\r\n" + good.substr(10), "place 2: out of order"},
        {"zay\n930\r\n" + good.substr(10), "9 lines instead of 10"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rankFileFault(c.text), c.fault) << c.text;
}

TEST(Invariants, RankFileIsCheckedOnlyWhenItExists)
{
    ScratchDir work;
    ASSERT_TRUE(work.enter());
    EXPECT_EQ(InvariantChecker::checkRankFile(), "");
    fs::create_directories("Data");
    std::ofstream("Data/Rank.ds", std::ios::binary) << "abc\r\n12\r\n";
    EXPECT_EQ(InvariantChecker::checkRankFile(), "rank file: 2 lines instead of 10");
}
