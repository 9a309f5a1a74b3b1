// The title menu and the game-start banner.
#include "game/game.h"

#include "platform/platform.h"

void Game::updateTitle()
{
    // Each key is queried exactly once per frame, so a press is never seen
    // twice and never lost between two queries of the same frame.
    const bool up = platform::keyNewlyPressed(platform::Key::Up);
    const bool down = platform::keyNewlyPressed(platform::Key::Down);
    const bool decide = platform::keyNewlyPressed(platform::Key::Z);
    const bool options = platform::keyNewlyPressed(platform::Key::O);

    // A key seen by the very first frame, before the rest of start-up: its
    // sound and the screen it leads to need that rest now.
    if (decide || options || up || down) finishStartUp();

    if (decide) {
        // The cursor holds the id of the scene its entry leads to. Nothing
        // is drawn: the title stays up for one more present.
        sound_.playEffect(SeDecide);
        changeScene(static_cast<SceneId>(field_.menuCursor()));
        return;
    }
    if (options) {
        sound_.playEffect(SeDecide);
        changeScene(SceneOptions);
        return;
    }

    // The select sound plays even when the cursor is already at the end.
    if (up) {
        sound_.playEffect(SeSelect);
        field_.moveMenuCursor('t');
    }
    if (down) {
        sound_.playEffect(SeSelect);
        field_.moveMenuCursor('d');
    }

    renderer_.drawTitleBackground();
    optionsView_.drawTitleHint(renderer_, settings_.keys);
    renderer_.drawMenuCursor(field_.menuCursor());
}

void Game::updateGameStart()
{
    if (!dueAtLeast(now_, field_.curtainStamp(), BannerStepMs)) return;

    renderer_.drawGameScreen(field_);
    renderer_.drawGameStartBanner(BannerLeft, field_.curtainOffset());

    field_.setCurtainStamp(now_);

    if (field_.advanceCurtain()) {
        // The play music started with this scene plays on, and the phase is
        // already prepared, so the next frame runs the first play step.
        sound_.playEffect(SeGameStart);
        scene_ = ScenePlay;
    }
}
