// One frame of the game: update, present, the rest of start-up (once, after
// the first picture is out) and the music restart when one was requested.
// The frame thread runs it between its pauses; the replay runner and the
// screenshot tool run it on the headless platform, so what they certify is
// the step that ships.
#pragma once

#include "platform/platform.h"

// What stepFrame does right after a present when the caller asks nothing.
struct NothingAfterPresent {
    void operator()() const {}
};

// present = false skips handing the back buffer over (the replay runner
// presents only every n-th frame when it does not look at them).
// afterPresent runs right after the hand-over, before anything else.
template <class GameT, class AfterPresent = NothingAfterPresent>
void stepFrame(GameT& game, bool present = true, AfterPresent afterPresent = AfterPresent{})
{
    game.update();
    if (present) {
        game.present();
        afterPresent();
    }
    // Before the music request: the track it asks for may be among what
    // loads here.
    game.finishStartUp();
    if (platform::takeBgmRestartRequest()) game.serviceBgm();
}
