// Scene changes: which scene follows, which music starts, when the field is
// reset, and the reports of impossible ids.
#include "game_test_support.h"

#include "rank/ranking.h"
#include "tests/game/game_test_access.h"

#include <filesystem>

using namespace gametest;
using platform::Key;

namespace {

// A field that a reset would visibly change.
void dirtyField(PuzzleField& field)
{
    field.setScore(4321);
    field.setClearedCount(35);
    field.moveMenuCursor('d');
    field.setCell(2, 5, 1);
}

void expectFieldReset(const PuzzleField& field)
{
    EXPECT_EQ(field.score(), 0);
    EXPECT_EQ(field.clearedCount(), 0);
    EXPECT_EQ(field.level(), 0);
    EXPECT_EQ(field.menuCursor(), 9);
    EXPECT_EQ(field.cellAt(2, 5), Empty);
}

void expectFieldKept(const PuzzleField& field)
{
    EXPECT_EQ(field.score(), 4321);
    EXPECT_EQ(field.clearedCount(), 35);
    EXPECT_EQ(field.menuCursor(), 1);
    EXPECT_EQ(field.cellAt(2, 5), 1);
}

}  // namespace

TEST_F(GameTest, EnteringTheTitleStartsItsMusicAndResetsTheField)
{
    dirtyField(game_->field());
    game_->changeScene(SceneTitle);
    EXPECT_EQ(game_->scene(), SceneTitle);
    expectMusicStarted(BgmTitle);
    expectFieldReset(game_->field());
}

TEST_F(GameTest, EnteringTheRankingViewStartsTheOverMusicAndKeepsTheField)
{
    dirtyField(game_->field());
    game_->changeScene(SceneRanking);
    EXPECT_EQ(game_->scene(), SceneRanking);
    expectMusicStarted(BgmOver);
    expectFieldKept(game_->field());
}

TEST_F(GameTest, EnteringGameOverRestartsTheOverMusicEvenWhenItPlays)
{
    game_->changeScene(SceneRanking);
    dirtyField(game_->field());
    headless::clearAudioLog();
    game_->changeScene(SceneGameOver);
    EXPECT_EQ(game_->scene(), SceneGameOver);
    expectMusicStarted(BgmOver);
    expectFieldKept(game_->field());
}

TEST_F(GameTest, EnteringGameStartStartsThePlayMusicAndKeepsTheField)
{
    dirtyField(game_->field());
    game_->changeScene(SceneGameStart);
    EXPECT_EQ(game_->scene(), SceneGameStart);
    expectMusicStarted(BgmPlay);
    expectFieldKept(game_->field());
}

TEST_F(GameTest, QuitAndPlayChangeOnlyTheScene)
{
    game_->changeScene(SceneGameStart);
    GameTestAccess::setPhase(*game_, PhaseDropping);
    dirtyField(game_->field());
    headless::clearAudioLog();

    game_->changeScene(ScenePlay);
    EXPECT_EQ(game_->scene(), ScenePlay);
    EXPECT_EQ(game_->phase(), PhaseDropping);
    game_->changeScene(SceneQuit);
    EXPECT_EQ(game_->scene(), SceneQuit);

    EXPECT_TRUE(headless::audioLog().empty());
    EXPECT_EQ(game_->sound().selectedBgm(), BgmPlay);
    expectFieldKept(game_->field());
    EXPECT_TRUE(platform::running());  // the quit scene acts in its own frame
}

TEST_F(GameTest, NameEntryWithAQualifyingScoreKeepsTheOverMusic)
{
    game_->changeScene(SceneGameOver);
    game_->field().setScore(1500);
    headless::clearAudioLog();
    game_->changeScene(SceneNameEntry);
    EXPECT_EQ(game_->scene(), SceneNameEntry);
    EXPECT_TRUE(headless::audioLog().empty());
    EXPECT_EQ(game_->field().score(), 1500);
}

TEST_F(GameTest, NameEntryWithoutAQualifyingScoreGoesStraightToTheTitle)
{
    writeRankFile("aaa\r\n900\r\nbbb\r\n800\r\nccc\r\n700\r\nddd\r\n600\r\neee\r\n500\r\n");
    game_->changeScene(SceneGameOver);
    game_->field().setScore(500);  // equal to the fifth place: not enough
    headless::clearAudioLog();
    game_->changeScene(SceneNameEntry);
    EXPECT_EQ(game_->scene(), SceneTitle);
    expectMusicStarted(BgmTitle);
    EXPECT_EQ(game_->field().score(), 0);
}

TEST_F(GameTest, PhaseIdsAndUnknownIdsAreNoScenes)
{
    game_->changeScene(SceneRanking);
    for (int id : {4, 5, 6, 10, -1, 1000}) {
        headless::clearMessageBoxes();
        headless::clearAudioLog();
        game_->changeScene(static_cast<SceneId>(id));
        ASSERT_EQ(headless::messageBoxes().size(), 1u) << "id " << id;
        EXPECT_EQ(headless::messageBoxes()[0].text, "Undefined game scene");
        EXPECT_EQ(headless::messageBoxes()[0].caption, "");
        EXPECT_EQ(game_->scene(), SceneRanking);
        EXPECT_TRUE(headless::audioLog().empty());
    }
}

TEST_F(GameTest, AnUnknownPhaseIsReportedOnceAndChangesNothing)
{
    GameTestAccess::setPhase(*game_, PhaseClearing);
    game_->changePhase(static_cast<PhaseId>(7));
    ASSERT_EQ(headless::messageBoxes().size(), 1u);
    EXPECT_EQ(headless::messageBoxes()[0].text, "Undefined game scene");
    EXPECT_EQ(headless::messageBoxes()[0].caption, "");
    EXPECT_EQ(game_->phase(), PhaseClearing);
}

TEST_F(GameTest, AnUnknownSceneIsReportedEveryFrame)
{
    GameTestAccess::setScene(*game_, static_cast<SceneId>(5));
    frame();
    frame();
    ASSERT_EQ(headless::messageBoxes().size(), 2u);
    EXPECT_EQ(headless::messageBoxes()[0].text, "Undefined gamescene");
    EXPECT_EQ(headless::messageBoxes()[0].caption, "");
    EXPECT_EQ(game_->scene(), 5);
}

TEST_F(GameTest, PreparingTheFallingPhaseSpawnsTheNextPairAndClearsTheChain)
{
    game_->setSpawnPosition(0, 3, 0);
    game_->setSpawnPosition(1, 3, 1);
    const int next0 = game_->field().nextColour(0);
    const int next1 = game_->field().nextColour(1);
    game_->field().setChainState(2, 7);
    GameTestAccess::setLandingCheckPending(*game_, false);
    GameTestAccess::setPhase(*game_, PhaseDropping);

    game_->changePhase(PhaseFalling);

    EXPECT_EQ(game_->phase(), PhaseFalling);
    EXPECT_TRUE(game_->landingCheckPending());
    int steps = -1, cleared = -1;
    game_->field().chainState(steps, cleared);
    EXPECT_EQ(steps, 0);
    EXPECT_EQ(cleared, 0);
    Block first, second;
    ASSERT_TRUE(game_->field().getPairBlock(0, first));
    ASSERT_TRUE(game_->field().getPairBlock(1, second));
    EXPECT_EQ(first.colour(), next0);
    EXPECT_EQ(second.colour(), next1);
    EXPECT_EQ(game_->field().pairOrientation(), 3);  // block 1 right below block 0
}

TEST_F(GameTest, TheFirstTitleComesWithItsMusicAndAPreparedPair)
{
    game_->setSpawnPosition(0, 3, 0);
    game_->setSpawnPosition(1, 3, 1);
    GameTestAccess::setScene(*game_, SceneGameOver);
    GameTestAccess::setPhase(*game_, PhaseClearing);
    GameTestAccess::setLandingCheckPending(*game_, false);
    game_->field().setScore(99);

    game_->enterFirstTitle();

    EXPECT_EQ(game_->scene(), SceneTitle);
    EXPECT_EQ(game_->phase(), PhaseFalling);
    EXPECT_TRUE(game_->landingCheckPending());
    EXPECT_EQ(game_->field().score(), 0);
    EXPECT_EQ(game_->field().pairOrientation(), 3);
    expectMusicStarted(BgmTitle);
}

TEST_F(GameTest, ServiceRestartsTheSelectedMusicFromItsStart)
{
    game_->changeScene(SceneGameStart);
    headless::clearAudioLog();
    game_->serviceBgm();
    expectMusicStarted(BgmPlay);
}

TEST(GameQuit, HoldingQQuitsFromEverySceneInTheSameFrame)
{
    for (SceneId scene :
         {SceneTitle, SceneRanking, ScenePlay, SceneGameOver, SceneNameEntry, SceneGameStart}) {
        headless::reset();
        Game game;
        GameTestAccess::setScene(game, scene);
        headless::repeat(Key::Q);  // held, no fresh press needed
        game.update();
        EXPECT_EQ(game.scene(), SceneQuit) << "scene " << scene;
        EXPECT_FALSE(platform::running()) << "scene " << scene;
        EXPECT_TRUE(headless::messageBoxes().empty());
    }
}

TEST_F(GameTest, TheQuitSceneEndsTheFrameLoop)
{
    game_->changeScene(SceneQuit);
    EXPECT_TRUE(platform::running());
    frame();
    EXPECT_FALSE(platform::running());
}

TEST_F(GameTest, HoldingQInNameEntryStoresNothing)
{
    game_->field().setScore(1500);
    GameTestAccess::setScene(*game_, SceneNameEntry);
    headless::press(Key::Z);
    headless::press(Key::Q);
    frame();
    EXPECT_EQ(game_->scene(), SceneQuit);
    EXPECT_FALSE(std::filesystem::exists(RankFilePath));
}
