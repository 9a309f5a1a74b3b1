// Shared between the SDL platform's own files only.
#pragma once

struct SDL_Window;

namespace platform {

// Raised by the audio side when a reported music play reaches its end.
void sdlRaiseBgmRestart();

// Frees every sound and closes the audio device; called by closeWindow().
void sdlAudioShutdown();

// ---- Process (plain POSIX, sdl_runtime.cpp) ----------------------------------

// First thing at start: puts /dev/null on any closed standard stream (so
// that no later file or display connection lands on fd 0, 1 or 2), opens
// the main thread's wake-up pipe and turns SIGHUP into a quit request.
void sdlPrepareProcess();
// Wakes the main thread's event loop. Async-signal-safe.
void sdlWakeMainThread();
// The descriptor that becomes readable on a wake-up; -1 before
// sdlPrepareProcess().
int sdlWakeFd();
// Empties the wake-up pipe; true when a SIGHUP has come since the last call.
bool sdlTakeWakeUps();

// ---- X11 (sdl_x11.cpp) -----------------------------------------------------------

// A lost display connection ends the process at once with one stderr line
// and exit code 1; Xlib's own handler would call exit(), which runs static
// destructors while the frame thread still uses them.
void sdlExitOnLostDisplay();
// After the video start failed: true when the X display is there after all
// or refused only for the moment (a full listen queue), so that another try
// may succeed; false when it is missing or unreachable for good.
bool sdlDisplayMayComeBack();
// The X connection's descriptor behind the window, -1 when the window is
// not on X11.
int sdlDisplayFd(SDL_Window* window);

}  // namespace platform
