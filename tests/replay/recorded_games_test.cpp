// Recorded games replayed through the real game: each ends exactly where it
// ended when it was recorded (field, score, level, cleared count and rank
// file as checked in beside the recording), each really shows what it was
// recorded for, and every frame on the way keeps the invariants.
#include "rank/ranking.h"
#include "tests/replay/replay_test_support.h"
#include "tools/replay/invariants.h"
#include "tools/replay/runner.h"
#include "tools/support/rank_file_check.h"
#include "tools/support/scratch_dir.h"

#include <gtest/gtest.h>

using namespace replay;
using namespace replaytest;
using namespace support;

namespace {

// What happened on the way through a replay.
struct Seen {
    int maxChainSteps = 0;
    int largestBombGroup = 0;  // blocks in a clearing group that holds a bomb
    bool played = false;
    bool gameOver = false;
    bool nameEntry = false;
    std::string enteredName;  // letters on screen in the last name-entry frame
    int finalScore = -1;      // score in the last frame of play or game over
    std::string fault;
};

struct Replay {
    RunResult result;
    Seen seen;
};

Replay replayRecording(const std::string& name)
{
    Replay r;
    InvariantChecker checker;
    const InputScript script = loadRecording(name + ".input");
    r.result = runScript(script, RunOptions{}, [&](const Game& game, int frame) {
        Seen& s = r.seen;
        if (s.fault.empty()) {
            const std::string fault = checker.check(game);
            if (!fault.empty()) s.fault = "frame " + std::to_string(frame) + ": " + fault;
        }
        int steps = 0;
        int cleared = 0;
        game.field().chainState(steps, cleared);
        if (steps > s.maxChainSteps) s.maxChainSteps = steps;
        if (game.phase() == PhaseClearing) {
            for (const ClearGroup& group : game.field().groups()) {
                bool bomb = false;
                for (const ClearBlock& block : group)
                    bomb = bomb || block.colour() == Bomb;
                if (bomb && group.size() > s.largestBombGroup) s.largestBombGroup = group.size();
            }
        }
        if (game.scene() == ScenePlay) s.played = true;
        if (game.scene() == SceneGameOver) s.gameOver = true;
        if (game.scene() == ScenePlay || game.scene() == SceneGameOver) s.finalScore = game.field().score();
        if (game.scene() == SceneNameEntry) {
            s.nameEntry = true;
            s.enteredName.clear();
            for (int i = 0; i < 3; ++i)
                s.enteredName += letterChar(game.field().nameLetter(i));
        }
        return true;
    });
    return r;
}

// The checked-in end state of a recording.
std::string expected(const std::string& name) { return readFile(dataPath(name + ".txt")); }

}  // namespace

TEST(RecordedGames, LongChainReachesItsThirdStepAndEndsAsRecorded)
{
    ScratchDir work;
    ASSERT_TRUE(work.enter());
    const Replay r = replayRecording("chain");
    EXPECT_TRUE(r.seen.fault.empty()) << r.seen.fault;
    EXPECT_GE(r.seen.maxChainSteps, 3);
    EXPECT_EQ(r.result.summary, expected("chain"));
    EXPECT_TRUE(r.result.boxes.empty());
}

TEST(RecordedGames, BombClearsItsColourAndEndsAsRecorded)
{
    ScratchDir work;
    ASSERT_TRUE(work.enter());
    const Replay r = replayRecording("bomb");
    EXPECT_TRUE(r.seen.fault.empty()) << r.seen.fault;
    // The bomb and at least one block of the colour it landed on.
    EXPECT_GE(r.seen.largestBombGroup, 2);
    EXPECT_EQ(r.result.summary, expected("bomb"));
}

TEST(RecordedGames, TopOutEndsTheGameWithTheSpawnCellTaken)
{
    ScratchDir work;
    ASSERT_TRUE(work.enter());
    const Replay r = replayRecording("top_out");
    EXPECT_TRUE(r.seen.fault.empty()) << r.seen.fault;
    EXPECT_TRUE(r.seen.played);
    EXPECT_TRUE(r.seen.gameOver);
    EXPECT_EQ(r.result.summary, expected("top_out"));
    // The summary's grid row 0, column 3: the spawn cell is not empty.
    const std::string grid = r.result.summary.substr(r.result.summary.find("grid\n") + 5);
    EXPECT_NE(grid[3], '.');
}

TEST(RecordedGames, NameEntryStoresTheNameOnScreenWithTheFinalScore)
{
    ScratchDir work;
    ASSERT_TRUE(work.enter());
    const Replay r = replayRecording("name_entry");
    EXPECT_TRUE(r.seen.fault.empty()) << r.seen.fault;
    ASSERT_TRUE(r.seen.nameEntry);
    EXPECT_TRUE(r.result.quit);
    EXPECT_EQ(r.result.summary, expected("name_entry"));
    EXPECT_NE(r.seen.enteredName, "aaa");

    // Place 1 of a file that did not exist: the name as last shown, the
    // score the game ended with.
    std::string name;
    int score = -1;
    ASSERT_TRUE(rankEntry(1, name, score));
    EXPECT_EQ(name, r.seen.enteredName);
    EXPECT_EQ(score, r.seen.finalScore);
    EXPECT_GT(score, 0);
    EXPECT_EQ(rankFileFault(readFile(RankFilePath)), "");
}
