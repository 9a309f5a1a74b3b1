// One frame of the game: update, present, and the music restart when one was
// requested. The frame thread runs it between its pauses; the replay runner
// and the screenshot tool run it on the headless platform, so what they
// certify is the step that ships.
#pragma once

#include "platform/platform.h"

// present = false skips handing the back buffer over (the replay runner
// presents only every n-th frame when it does not look at them).
template <class GameT>
void stepFrame(GameT& game, bool present = true)
{
    game.update();
    if (present) game.present();
    if (platform::takeBgmRestartRequest()) game.serviceBgm();
}
