// The game-over banner and the name entry.
#include "game_test_support.h"

#include "rank/ranking.h"

#include <filesystem>

using namespace gametest;
using platform::Key;

namespace {

// A full table whose fifth place is 1000.
const char* const FullTable = "ann\r\n5000\r\nben\r\n4000\r\ncat\r\n3000\r\ndan\r\n2000\r\neve\r\n1000\r\n";

class GameOverTest : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        loadTestPictures();
        game_->changeScene(SceneGameOver);
        headless::clearAudioLog();
    }

    // Runs the frames that draw the banner at y 0 to 79; the next frame
    // draws it at 80, where it stops.
    void slideBanner()
    {
        for (int i = 0; i < 100 && game_->field().overCount() < 80; ++i)
            frame();
        ASSERT_EQ(game_->field().overCount(), 80);
        ASSERT_EQ(game_->scene(), SceneGameOver);
    }
};

class NameEntryTest : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        loadTestPictures();
        game_->changeScene(SceneGameOver);
        game_->field().setScore(1500);
        game_->changeScene(SceneNameEntry);
        ASSERT_EQ(game_->scene(), SceneNameEntry);
        headless::clearAudioLog();
    }

    void tapTimes(Key key, int times)
    {
        for (int i = 0; i < times; ++i)
            tap(key);
    }
};

}  // namespace

TEST_F(GameOverTest, TheBannerSlidesOnePixelPerStep)
{
    frame();
    EXPECT_EQ(screen(200, 0), BannerColour);
    EXPECT_EQ(game_->field().overCount(), 1);
    frame();
    EXPECT_EQ(screen(200, 0), GameBgColour);
    EXPECT_EQ(screen(200, 1), BannerColour);

    headless::advanceClock(32);  // too early for the next step
    game_->update();
    EXPECT_EQ(game_->field().overCount(), 2);
}

TEST_F(GameOverTest, ZDuringTheSlideIsIgnored)
{
    tap(Key::Z);
    slideBanner();
    frame();  // the banner arrives; Z is read now and is not down
    frame();
    EXPECT_EQ(game_->scene(), SceneGameOver);
    EXPECT_EQ(screen(200, 80), BannerColour);
    EXPECT_EQ(screen(200, 79), GameBgColour);
}

TEST_F(GameOverTest, ZStillDownWhenTheBannerArrivesReturnsToTheTitle)
{
    game_->field().setScore(70);
    writeRankFile(FullTable);
    headless::press(Key::Z);
    frame();
    slideBanner();
    frame();
    EXPECT_EQ(game_->scene(), SceneTitle);
    expectMusicStarted(BgmTitle);
    EXPECT_EQ(game_->field().score(), 0);
    EXPECT_EQ(game_->field().overCount(), 0);
    EXPECT_EQ(game_->field().overStamp(), 0u);  // the next game over starts afresh
}

TEST_F(GameOverTest, AScoreOutsideTheTableWaitsForAFreshZ)
{
    game_->field().setScore(1000);  // equal to place 5
    writeRankFile(FullTable);
    slideBanner();
    frame();
    frame();
    EXPECT_EQ(game_->scene(), SceneGameOver);
    tap(Key::Z);
    EXPECT_EQ(game_->scene(), SceneTitle);
    EXPECT_EQ(playsOf(effect(SeDecide)), 0);
}

TEST_F(GameOverTest, AQualifyingScoreEntersTheNameInTheFrameTheBannerArrives)
{
    game_->field().setScore(1001);
    writeRankFile(FullTable);
    slideBanner();

    frame();
    EXPECT_EQ(game_->scene(), SceneNameEntry);
    EXPECT_EQ(screen(200, 80), BannerColour);
    EXPECT_EQ(screen(200, 79), GameBgColour);
    // The over music plays on into the name entry.
    EXPECT_TRUE(headless::audioLog().empty());
    EXPECT_TRUE(headless::soundPlaying(music(BgmOver)));
}

TEST_F(NameEntryTest, LettersWrapAroundTheAlphabet)
{
    tap(Key::Up);
    EXPECT_EQ(game_->field().nameLetter(0), 25);
    tap(Key::Down);
    EXPECT_EQ(game_->field().nameLetter(0), 0);
    tap(Key::Up);
    tap(Key::Down);
    tap(Key::Down);
    EXPECT_EQ(game_->field().nameLetter(0), 1);
}

TEST_F(NameEntryTest, OnlyTheFirstPressedKeyActs)
{
    headless::press(Key::Up);
    headless::press(Key::Left);
    frame();
    EXPECT_EQ(game_->field().nameLetter(0), 25);
    EXPECT_EQ(game_->field().nameCursor(), 0);

    // The Left press was read and spent in that frame.
    headless::release(Key::Up);
    frame();
    EXPECT_EQ(game_->field().nameCursor(), 0);

    headless::release(Key::Left);
    headless::press(Key::Down);
    headless::press(Key::Right);
    frame();
    EXPECT_EQ(game_->field().nameLetter(0), 0);
    EXPECT_EQ(game_->field().nameCursor(), 0);
}

TEST_F(NameEntryTest, TheScreenShowsTheLettersAndTheCursor)
{
    tap(Key::Down);        // B
    tap(Key::Right);       // cursor on the second letter
    tapTimes(Key::Up, 2);  // Y

    EXPECT_EQ(screen(250 + 5, 250 + 5), letterColour(1));
    EXPECT_EQ(screen(300 + 5, 250 + 5), letterColour(24));
    EXPECT_EQ(screen(350 + 5, 250 + 5), letterColour(0));
    EXPECT_EQ(screen(301, 290), CursorColour);
    EXPECT_EQ(screen(301 + 23, 294), CursorColour);
    EXPECT_EQ(screen(251, 290), GameBgColour);
    EXPECT_EQ(screen(200, 80), BannerColour);
    EXPECT_EQ(screen(200, 79), GameBgColour);
    // The score 1500 is drawn right-aligned at 630 on row 85.
    EXPECT_EQ(screen(630 - 24 + 2, 85 + 2), digitColour(0));
    EXPECT_EQ(screen(630 - 96 + 2, 85 + 2), digitColour(1));
}

TEST_F(NameEntryTest, ZStoresTheNameWithTheScoreAndReturnsToTheTitle)
{
    tap(Key::Down);  // b
    tap(Key::Right);
    tapTimes(Key::Down, 14);  // o
    tap(Key::Right);
    tap(Key::Down);  // b
    ASSERT_FALSE(std::filesystem::exists(RankFilePath));

    tap(Key::Z);

    std::string name;
    int score = -1;
    ASSERT_TRUE(rankEntry(1, name, score));
    EXPECT_EQ(name, "bob");
    EXPECT_EQ(score, 1500);
    EXPECT_EQ(game_->scene(), SceneTitle);
    expectMusicStarted(BgmTitle);
    // The confirming frame still draws the name entry, from the reset field.
    EXPECT_EQ(screen(250 + 5, 250 + 5), letterColour(0));
    EXPECT_EQ(screen(300 + 5, 250 + 5), letterColour(0));
    EXPECT_EQ(screen(251, 290), CursorColour);
    EXPECT_EQ(screen(630 - 24 + 2, 85 + 2), digitColour(0));
}
