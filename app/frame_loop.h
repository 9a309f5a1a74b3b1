// The frame thread's body: owns the one Game from construction to teardown
// and paces its frames.
#pragma once

#include "app/frame_step.h"
#include "platform/platform.h"

#include <cstdint>
#include <string>

// Pause before every frame but the first.
constexpr std::uint32_t FramePauseMs = 33;

// Test and measurement hooks of the real frame thread. No player reaches
// them: they are set only through the environment (frameHooksFromEnvironment).
struct FrameHooks {
    // Test hook: show one message box with this text, captioned "self-test",
    // after start-up and before the first frame, so the end-to-end tests can
    // exercise the box in a real run (no box can be reached by normal play).
    bool showSelfTestBox = false;
    std::string selfTestText;
    // Measurement hook: report the wall-clock time on stderr the moment the
    // first frame is handed over, and request quit after that frame, so a
    // script can time start-up.
    bool exitAfterFirstFrame = false;
};

// TESSALOOM_SELFTEST_MESSAGE_BOX=<text> sets the self-test box (even when
// empty) in a build with TESSALOOM_TEST_HOOKS only: a player's game shows
// no text from outside. TESSALOOM_EXIT_AFTER_FIRST_FRAME (any value) sets
// the early exit in every build.
FrameHooks frameHooksFromEnvironment();

// Writes "tessaloom: first frame presented at <seconds>.<microseconds>"
// (wall clock, the format of bash's EPOCHREALTIME) on stderr.
void reportFirstFramePresented();

// Runs frames on `game` while the platform is running: a pause (none before
// the first frame), then stepFrame (the music restart request stands at
// start, so the first frame serves it). A shutdown that cuts a pause short
// ends the loop without another frame. With exitAfterFirstFrame the first
// frame is the last, and its hand-over is reported the moment it is made
// (the loading after it is not part of the first picture). Returns the
// number of frames run.
template <class GameT>
int runFrames(GameT& game, bool exitAfterFirstFrame = false)
{
    int frames = 0;
    while (platform::running()) {
        if (frames > 0) {
            platform::pauseFrame(FramePauseMs);
            // A shutdown during the pause needs no further frame.
            if (!platform::running()) break;
        }
        const bool lastFrame = frames == 0 && exitAfterFirstFrame;
        stepFrame(game, true, [lastFrame] {
            if (lastFrame) reportFirstFramePresented();
        });
        if (lastFrame) platform::requestQuit();
        ++frames;
    }
    return frames;
}

// The whole life of a game on the frame thread: construct it, start it up
// on the main window, (the self-test box,) run frames until shutdown,
// destroy it, then tell the main thread that teardown is done.
template <class GameT>
void runGameThread(const FrameHooks& hooks = FrameHooks{})
{
    {
        GameT game;
        game.startUp(platform::mainWindow());
        if (hooks.showSelfTestBox) platform::messageBox(hooks.selfTestText, "self-test");
        runFrames(game, hooks.exitAfterFirstFrame);
    }
    platform::frameThreadFinished();
}

// runGameThread for the real Game with the hooks from the environment; the
// entry of the frame thread.
void frameThreadMain();
