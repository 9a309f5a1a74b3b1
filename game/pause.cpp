// The pause of the game-start banner and the play: P or Esc toggles it, and
// a window that loses the focus or is minimised pauses by itself. While
// paused the game's clock stands still, every sound holds, and the well and
// the next pair hide behind the pause panel.
#include "game/game.h"

#include "platform/platform.h"

using platform::Key;

bool Game::pausable() const { return scene_ == SceneGameStart || scene_ == ScenePlay; }

bool Game::updatePause()
{
    // The focus is followed on every screen, so that only a loss during the
    // banner or the play pauses, and a window never focused does not.
    const bool active = platform::windowActive();
    const bool focusLost = windowWasActive_ && !active;
    windowWasActive_ = active;
    // Quitting while paused leaves the sounds held: the game ends anyway.
    if (!pausable()) return false;

    // Both keys are read in every frame of these scenes, so neither keeps an
    // old press for later.
    const bool pauseKey = platform::keyNewlyPressed(Key::P);
    const bool escapeKey = platform::keyNewlyPressed(Key::Escape);
    const bool toggle = pauseKey || escapeKey;

    if (!paused_) {
        if (toggle || focusLost) enterPause();
    } else if (toggle) {
        leavePause();
    } else {
        // Presses made while paused do nothing: a frame that is paused from
        // start to end takes their marks unread. Keys pressed together with
        // the resume count, as they would have a moment later.
        for (Key key : {Key::Left, Key::Right, Key::Up, Key::Down, Key::Z, Key::C})
            platform::queryKey(key);
    }
    return paused_;
}

void Game::enterPause()
{
    paused_ = true;
    // The clock stops at this frame's reading: on resume the skipped step
    // of this frame runs at the same game time, so none comes twice.
    timer_.hold(true);
    platform::pauseSounds(true);

    Surface& screen = renderer_.backBuffer();
    if (!screen.isEmpty()) {
        if (beforePause_.width() != screen.width() || beforePause_.height() != screen.height())
            beforePause_.createFilled(screen.width(), screen.height(), 0, 0, 0);
        screen.blit(beforePause_, 0, 0, 0, 0, screen.width(), screen.height());
    }
    // Drawn once: nothing changes while paused.
    renderer_.drawPauseScreen(field_);
}

bool Game::asksBeforeQuit() const { return controlStyle_ == ControlStyle::Modern && pausable(); }

void Game::askQuit()
{
    // Drawn over the pause screen: the game stands still and hidden while
    // the player decides, as when paused.
    pausedBeforeQuestion_ = paused_;
    if (!paused_) enterPause();
    quitAsked_ = true;
    renderer_.drawQuitQuestion();
    // Z sits beside Q: a Z pressed for a turn a moment before must not
    // answer a question not yet seen.
    for (Key key : {Key::Z, Key::Enter, Key::Space, Key::Escape, Key::P})
        platform::ignoreHeldKey(key);
}

void Game::answerQuitQuestion()
{
    const bool yes = decidePressed();
    // P too, as it ends the pause: the gamepad's Start, where Esc is none.
    const bool escape = platform::keyNewlyPressed(Key::Escape);
    const bool pause = platform::keyNewlyPressed(Key::P);
    const bool no = escape || pause;
    if (yes) {
        // Quits in the next frame, as Q held does.
        quitAsked_ = false;
        scene_ = SceneQuit;
    } else if (no) {
        quitAsked_ = false;
        if (pausedBeforeQuestion_)
            renderer_.drawPauseScreen(field_);
        else
            leavePause();
    } else {
        // As while paused: presses made meanwhile do nothing later.
        for (Key key : {Key::Left, Key::Right, Key::Up, Key::Down, Key::C})
            platform::queryKey(key);
    }
}

void Game::leavePause()
{
    paused_ = false;
    timer_.hold(false);
    platform::pauseSounds(false);

    // The covered picture comes back at once; the banner, the fade and the
    // drop redraw only when their next step is due.
    Surface& screen = renderer_.backBuffer();
    if (!beforePause_.isEmpty()) beforePause_.blit(screen, 0, 0, 0, 0, screen.width(), screen.height());
}
