// Shared between the SDL platform's own files only.
#pragma once

namespace platform {

// Raised by the audio side when a reported music play reaches its end.
void sdlRaiseBgmRestart();

// Frees every sound and closes the mixer; called by closeWindow().
void sdlAudioShutdown();

}  // namespace platform
