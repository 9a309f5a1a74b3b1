// The title menu and the game-start banner.
#include "game/game.h"

#include "platform/platform.h"

void Game::updateTitle()
{
    // Each key is queried exactly once per frame, so a press is never seen
    // twice and never lost between two queries of the same frame.
    TitleKeys keys;
    keys.up = platform::keyNewlyPressed(platform::Key::Up);
    keys.down = platform::keyNewlyPressed(platform::Key::Down);
    keys.decide = decidePressed();
    keys.options = platform::keyNewlyPressed(platform::Key::O);

    // A key seen before the rest of start-up is in needs that rest: its
    // sound, the screen it leads to. Loaded inline, the rest comes now.
    // Loaded on its thread, the key waits for it, and keys pressed meanwhile
    // queue behind it; once the rest is in they act in order, one frame's
    // keys a frame.
    if (keys.any()) finishStartUp();
    if (!startUpFinished() || heldTitleKeyCount_ > 0) {
        if (keys.any()) holdTitleKeys(keys);
        keys = startUpFinished() ? takeHeldTitleKeys() : TitleKeys{};
    }
    // Leaving the title drops the keys held behind: they were meant for it.
    if (keys.decide || keys.options) heldTitleKeyCount_ = 0;

    if (keys.decide) {
        // The cursor holds the id of the scene its entry leads to. Nothing
        // is drawn: the title stays up for one more present.
        sound_.playEffect(SeDecide);
        changeScene(static_cast<SceneId>(field_.menuCursor()));
        return;
    }
    if (keys.options) {
        sound_.playEffect(SeDecide);
        changeScene(SceneOptions);
        return;
    }

    // The select sound plays even when the cursor is already at the end.
    if (keys.up) {
        sound_.playEffect(SeSelect);
        field_.moveMenuCursor('t');
    }
    if (keys.down) {
        sound_.playEffect(SeSelect);
        field_.moveMenuCursor('d');
    }

    renderer_.drawTitleBackground();
    optionsView_.drawTitleHint(renderer_, settings_.keys);
    renderer_.drawMenuCursor(field_.menuCursor());
}

void Game::holdTitleKeys(const TitleKeys& keys)
{
    if (heldTitleKeyCount_ < MaxHeldTitleKeys) heldTitleKeys_[heldTitleKeyCount_++] = keys;
}

Game::TitleKeys Game::takeHeldTitleKeys()
{
    const TitleKeys first = heldTitleKeys_[0];
    for (int i = 1; i < heldTitleKeyCount_; ++i)
        heldTitleKeys_[i - 1] = heldTitleKeys_[i];
    --heldTitleKeyCount_;
    return first;
}

void Game::updateGameStart()
{
    if (!dueAtLeast(now_, field_.curtainStamp(), BannerStepMs)) return;

    renderer_.drawGameScreen(field_);
    renderer_.drawMoreKeys();
    renderer_.drawGameStartBanner(BannerLeft, field_.curtainOffset());

    field_.setCurtainStamp(now_);

    if (field_.advanceCurtain()) {
        // The play music started with this scene plays on, and the phase is
        // already prepared, so the next frame runs the first play step.
        sound_.playEffect(SeGameStart);
        scene_ = ScenePlay;
    }
}
