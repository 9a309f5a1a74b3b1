// The frame thread's body: owns the one Game from construction to teardown
// and paces its frames.
#pragma once

#include "platform/platform.h"

#include <cstdint>

// Pause before every frame but the first.
constexpr std::uint32_t FramePauseMs = 33;

// Runs frames on `game` while the platform is running: a pause (none before
// the first frame), update, present, and the music service whenever a
// restart has been requested (the request stands at start, so the first
// frame serves it). A shutdown that cuts a pause short ends the loop
// without another frame. Returns the number of frames run.
template <class GameT>
int runFrames(GameT& game)
{
    int frames = 0;
    while (platform::running()) {
        if (frames > 0) {
            platform::pauseFrame(FramePauseMs);
            // A shutdown during the pause needs no further frame.
            if (!platform::running()) break;
        }
        game.update();
        game.present();
        if (platform::takeBgmRestartRequest()) game.serviceBgm();
        ++frames;
    }
    return frames;
}

// The whole life of a game on the frame thread: construct it, start it up
// on the main window, run frames until shutdown, destroy it, then tell the
// main thread that teardown is done.
template <class GameT>
void runGameThread()
{
    {
        GameT game;
        game.startUp(platform::mainWindow());
        runFrames(game);
    }
    platform::frameThreadFinished();
}

// runGameThread for the real Game; the entry of the frame thread.
void frameThreadMain();
