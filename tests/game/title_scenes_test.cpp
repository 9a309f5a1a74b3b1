// The title menu and the game-start banner.
#include "game_test_support.h"

using namespace gametest;
using platform::Key;

namespace {

class TitleTest : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        game_->changeScene(SceneTitle);
        headless::clearAudioLog();
    }
};

}  // namespace

TEST_F(TitleTest, DownDownUpSelectsTheRankingEntryWithThreeSounds)
{
    tap(Key::Down);
    tap(Key::Down);
    tap(Key::Up);
    EXPECT_EQ(game_->field().menuCursor(), SceneRanking);
    EXPECT_EQ(playsOf(effect(SeSelect)), 3);
    EXPECT_EQ(game_->scene(), SceneTitle);
}

TEST_F(TitleTest, MovingPastEitherEndStillSounds)
{
    tap(Key::Up);
    EXPECT_EQ(game_->field().menuCursor(), SceneGameStart);
    EXPECT_EQ(playsOf(effect(SeSelect)), 1);

    tap(Key::Down);
    tap(Key::Down);
    tap(Key::Down);
    EXPECT_EQ(game_->field().menuCursor(), SceneQuit);
    EXPECT_EQ(playsOf(effect(SeSelect)), 4);
}

TEST_F(TitleTest, UpAndDownInOneFrameBothApplyUpFirst)
{
    tap(Key::Down);  // on the ranking entry
    headless::press(Key::Up);
    headless::press(Key::Down);
    frame();
    // Up to game start, then Down back to the ranking entry.
    EXPECT_EQ(game_->field().menuCursor(), SceneRanking);
    EXPECT_EQ(playsOf(effect(SeSelect)), 3);
}

TEST_F(TitleTest, TheCursorIsDrawnBesideItsEntry)
{
    writeBytes(dir_.file("Blocks.bmp"), bmpBytes(192, 32, [](int x, int) {
                   return Rgb{x / 32 * 40, 0, 200};
               }));
    game_->loadBitmap(SlotBlocks, dir_.file("Blocks.bmp"), true);
    const Rgb bomb{4 * 40, 0, 200};

    tap(Key::Down);
    EXPECT_EQ(screen(215, 395), bomb);
    EXPECT_EQ(screen(215, 355), BackBufferColour);
}

TEST_F(TitleTest, ZOnTheTopEntryStartsThePlayMusicAndTheBannerAtTheTop)
{
    loadTestPictures();
    tap(Key::Down);
    tap(Key::Up);
    headless::clearAudioLog();

    tap(Key::Z);
    EXPECT_EQ(playsOf(effect(SeDecide)), 1);
    EXPECT_EQ(game_->scene(), SceneGameStart);
    expectMusicStarted(BgmPlay);
    // The deciding frame draws nothing: the title is presented once more.
    EXPECT_EQ(screen(200, 5), BackBufferColour);

    frame();
    EXPECT_EQ(screen(200, 0), BannerColour);
    EXPECT_EQ(screen(200, 159), BannerColour);
    EXPECT_EQ(screen(200, 160), GameBgColour);
    EXPECT_EQ(game_->field().curtainOffset(), 10);
}

TEST_F(TitleTest, ZOnTheRankingEntryOpensTheRankingView)
{
    tap(Key::Down);
    headless::clearAudioLog();
    tap(Key::Z);
    EXPECT_EQ(game_->scene(), SceneRanking);
    EXPECT_EQ(playsOf(effect(SeDecide)), 1);
    expectMusicStarted(BgmOver);
}

TEST_F(TitleTest, ZOnTheBottomEntryQuitsInTheNextFrame)
{
    tap(Key::Down);
    tap(Key::Down);
    tap(Key::Z);
    EXPECT_EQ(game_->scene(), SceneQuit);
    EXPECT_EQ(playsOf(effect(SeDecide)), 1);
    EXPECT_TRUE(platform::running());
    frame();
    EXPECT_FALSE(platform::running());
}

TEST_F(TitleTest, AZAlreadyReadByTheRankingViewDoesNotChooseAnEntry)
{
    game_->changeScene(SceneRanking);
    headless::press(Key::Z);
    frame();
    ASSERT_EQ(game_->scene(), SceneTitle);
    headless::clearAudioLog();

    frame();  // Z still held, but its press was taken by the ranking view
    frame();
    EXPECT_EQ(game_->scene(), SceneTitle);
    EXPECT_EQ(playsOf(effect(SeDecide)), 0);

    headless::release(Key::Z);
    tap(Key::Z);
    EXPECT_EQ(game_->scene(), SceneGameStart);
}

TEST_F(GameTest, TheGameStartBannerRunsSeventyThreeStepsThenPlayBegins)
{
    game_->changeScene(SceneGameStart);
    headless::clearAudioLog();

    int steps = 0;
    while (game_->scene() == SceneGameStart && steps < 200) {
        const std::uint32_t stampBefore = game_->field().curtainStamp();
        frame();
        ASSERT_NE(game_->field().curtainStamp(), stampBefore) << "every frame 33 ms apart draws";
        ++steps;
        if (game_->scene() == SceneGameStart) {
            ASSERT_EQ(playsOf(effect(SeGameStart)), 0);
        }
    }
    EXPECT_EQ(steps, 73);
    EXPECT_EQ(game_->scene(), ScenePlay);
    EXPECT_EQ(playsOf(effect(SeGameStart)), 1);
    EXPECT_EQ(game_->field().curtainOffset(), 480);
    // The play music started with the game start plays on.
    EXPECT_EQ(playsOf(music(BgmPlay)), 0);
    EXPECT_TRUE(headless::soundPlaying(music(BgmPlay)));
}

TEST_F(GameTest, TheGameStartBannerStepsAtMostOnceIn33Ms)
{
    game_->changeScene(SceneGameStart);
    frame();
    ASSERT_EQ(game_->field().curtainOffset(), 10);

    headless::advanceClock(32);
    game_->update();
    EXPECT_EQ(game_->field().curtainOffset(), 10);

    headless::advanceClock(1);
    game_->update();
    EXPECT_EQ(game_->field().curtainOffset(), 20);
}

TEST_F(GameTest, TheGameStartGateHoldsAcrossTheClockWrap)
{
    game_->changeScene(SceneGameStart);
    headless::setClock(0xFFFFFFF0u);
    game_->update();
    ASSERT_EQ(game_->field().curtainOffset(), 10);

    headless::setClock(0x00000005u);  // 21 ms later, past the wrap
    game_->update();
    EXPECT_EQ(game_->field().curtainOffset(), 10);

    headless::setClock(0x00000011u);  // 33 ms after the last step
    game_->update();
    EXPECT_EQ(game_->field().curtainOffset(), 20);
}
