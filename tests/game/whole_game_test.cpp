// A whole game through the real scenes, driven only by keys and the clock:
// title, banner, a scoring landing, a top-out, the sliding banner, name
// entry and the stored name.
#include "game_test_support.h"

#include "field/block.h"
#include "rank/ranking.h"

namespace gametest {
namespace {

using platform::Key;

class WholeGame : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        game_->setSpawnPosition(0, 3, 0);
        game_->setSpawnPosition(1, 3, 1);
        game_->enterFirstTitle();
    }

    // Runs frames until the scene is `scene`; false after `limit` frames.
    bool runUntilScene(int scene, int limit)
    {
        for (int i = 0; i < limit && game_->scene() != scene; ++i)
            frame();
        return game_->scene() == scene;
    }

    // From the title to name entry: Z starts, the first pair lands on two
    // blocks of its own colour and clears, then Down held stacks pairs in
    // column 3 until the spawn cell stays taken. Returns the final score.
    int playToNameEntry()
    {
        frame();
        tap(Key::Z);
        EXPECT_EQ(game_->scene(), SceneGameStart);
        EXPECT_TRUE(runUntilScene(ScenePlay, 100));

        PuzzleField& field = game_->field();
        for (int i = 0; i < 2; ++i) {
            PairBlock b;
            field.getPairBlock(i, b);
            b.setColour(0);
            field.putPairBlock(i, b);
        }
        field.setCell(3, 11, 0);
        field.setCell(3, 10, 0);

        headless::press(Key::Down);
        EXPECT_TRUE(runUntilScene(SceneGameOver, 5000));
        headless::release(Key::Down);
        const int score = field.score();
        EXPECT_GT(score, 0);
        EXPECT_NE(field.cellAt(3, 0), Empty);  // the game ended through the spawn cell
        EXPECT_TRUE(runUntilScene(SceneNameEntry, 200));
        EXPECT_EQ(field.overCount(), 80);
        return score;
    }

    bool rankFileExists() const { return fs::exists(dir_.file(RankFilePath)); }
};

TEST_F(WholeGame, AScoringGameEndsInNameEntryAndStoresTheNameWithItsScore)
{
    const int score = playToNameEntry();

    tap(Key::Down);  // A -> B
    tap(Key::Right);
    for (int i = 0; i < 14; ++i)
        tap(Key::Down);  // A -> O
    tap(Key::Right);
    tap(Key::Down);  // A -> B
    EXPECT_FALSE(rankFileExists());
    headless::clearAudioLog();
    tap(Key::Z);

    std::string name;
    int stored = -1;
    ASSERT_TRUE(rankEntry(1, name, stored));
    EXPECT_EQ(name, "bob");
    EXPECT_EQ(stored, score);
    EXPECT_EQ(game_->scene(), SceneTitle);
    expectMusicStarted(BgmTitle);
    EXPECT_EQ(game_->field().score(), 0);
}

TEST_F(WholeGame, HoldingQDuringNameEntryQuitsAndStoresNothing)
{
    playToNameEntry();
    tap(Key::Down);
    headless::press(Key::Q);
    frame();
    EXPECT_EQ(game_->scene(), SceneQuit);
    EXPECT_FALSE(platform::running());
    EXPECT_FALSE(rankFileExists());
}

}  // namespace
}  // namespace gametest
