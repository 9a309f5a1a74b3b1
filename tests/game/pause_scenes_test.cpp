// The pause belongs to the banner and the play only: the keys and a lost
// focus leave the other screens as they always were.
#include "game_test_support.h"

#include "tests/game/game_test_access.h"

using namespace gametest;
using platform::Key;

class PauseScenesTest : public GameTest {
protected:
    // Each screen, and how to reach it.
    struct Screen {
        const char* name;
        SceneId scene;
    };
    static constexpr Screen Screens[] = {{"title", SceneTitle},
                                         {"ranking", SceneRanking},
                                         {"game over", SceneGameOver},
                                         {"name entry", SceneNameEntry}};
};

TEST_F(PauseScenesTest, PAndEscapeDoNothingOnTheOtherScreens)
{
    for (const Screen& s : Screens) {
        GameTestAccess::setScene(*game_, s.scene);
        frame();
        tap(Key::P);
        tap(Key::Escape);
        EXPECT_FALSE(game_->paused()) << s.name;
        // Esc leaves the ranking, as it leaves the options.
        EXPECT_EQ(game_->scene(), s.scene == SceneRanking ? SceneTitle : s.scene) << s.name;
        EXPECT_FALSE(headless::soundsPaused()) << s.name;
    }
}

TEST_F(PauseScenesTest, LostFocusPausesNeitherTheOtherScreensNorTheGameStartedAfter)
{
    for (const Screen& s : Screens) {
        GameTestAccess::setScene(*game_, s.scene);
        headless::setWindowActive(true);
        frame();
        headless::setWindowActive(false);
        frame();
        EXPECT_FALSE(game_->paused()) << s.name;
        EXPECT_EQ(game_->scene(), s.scene) << s.name;
    }
    // Still unfocused (say, a gamepad started the game): the loss is old news.
    game_->changeScene(SceneGameStart);
    frame();
    frame();
    EXPECT_FALSE(game_->paused());
}

TEST_F(PauseScenesTest, PauseFromTheTitlePressIsNotCarriedIntoTheGame)
{
    // P pressed and let go on the title leaves no pause for the game.
    tap(Key::P);
    tap(Key::Z);  // start
    ASSERT_EQ(game_->scene(), SceneGameStart);
    frame();
    EXPECT_FALSE(game_->paused());
}
