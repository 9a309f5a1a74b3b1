// Shared between the SDL platform's own files only.
#pragma once

#include "platform/key_bindings.h"
#include "platform/key_latch.h"
#include "platform/platform.h"

#include <array>

struct SDL_Window;
union SDL_Event;
struct SDL_WindowEvent;

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
// Whether a window manager will carry out SDL's fullscreen request: false
// on X11 without one (or with one that cannot), true on other systems.
bool sdlWindowManagerDoesFullscreen(SDL_Window* window);
// Whether a window manager runs on the window's X display (false on other
// systems, which have no such thing to miss).
bool sdlWindowManagerPresent(SDL_Window* window);
// Asks for a hidden window to be shown and returns at once; SDL's own show
// waits for the answer, forever if the request is lost. Other systems get
// SDL's show.
void sdlAskToShow(SDL_Window* window);

// ---- Window size, fullscreen and focus (sdl_window_size.cpp) --------------------

// The window has opened (its picture width x height) or is about to close.
void sdlWindowSizeOpened(SDL_Window* window, int pictureWidth, int pictureHeight);
void sdlWindowSizeClosed();
// Carries out the frame thread's size and fullscreen requests; true when
// there were any.
bool sdlApplyWindowRequests();
// Focus, minimising, moves and size changes of the window.
void sdlWindowSizeEvent(const SDL_WindowEvent& e);

// ---- Keys and gamepads -------------------------------------------------------------

// The latches the keyboard and the gamepads feed (sdl_window.cpp).
std::array<KeyLatch, KeyCount>& sdlKeyLatches();

// Gamepads (sdl_gamepad.cpp), all on the main thread. Started once the
// video runs; stopped before SDL quits, letting go of every key they held.
void sdlStartGamepads();
void sdlStopGamepads();
// Whether a controller is open: SDL reads controllers only when the loop
// pumps events, so the loop must not sleep long meanwhile.
bool sdlGamepadsOpen();
// The bindings in force for the controllers' buttons.
void sdlGamepadBindings(const KeyBindings& bindings);
// A controller's button pressed, for choosing a new key (sdl_window.cpp).
void sdlNotePressedButton(int button);
// A controller's plug, button or stick event; other events are ignored.
void sdlGamepadEvent(const SDL_Event& e);
// The test hook's new commands, if it is on (see sdl_gamepad.cpp).
void sdlServeTestGamepad();

}  // namespace platform
