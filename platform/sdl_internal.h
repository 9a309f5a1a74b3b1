// Shared between the SDL platform's own files only.
#pragma once

#include "platform/key_bindings.h"
#include "platform/key_latch.h"
#include "platform/platform.h"
#include "platform/window_fit.h"

#include <array>
#include <chrono>
#include <functional>
#include <string>

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
// A key newly pressed (not auto-repeat): ends the frame pause when the game
// asked for that (setKeyEndsPause).
void sdlKeyPressed();
// The descriptor that becomes readable on a wake-up; -1 before
// sdlPrepareProcess().
int sdlWakeFd();
// Empties the wake-up pipe; true when a SIGHUP has come since the last call.
bool sdlTakeWakeUps();
// Main thread, before SDL has started: waits on the wake-up pipe until
// done() holds (true) or the deadline passes (false). SIGTERM and SIGINT
// meanwhile, and SIGHUP, end the process at once by that signal, as they
// would end a program without handlers: a start has nothing to save. A
// signal the game was started to ignore stays ignored.
bool sdlWaitAtStart(const std::function<bool()>& done, std::chrono::steady_clock::time_point deadline);

// ---- X11 (sdl_x11.cpp) -----------------------------------------------------------

// A lost display connection ends the process at once with one stderr line
// and exit code 1; Xlib's own handler would call exit(), which runs static
// destructors while the frame thread still uses them.
void sdlExitOnLostDisplay();
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

// ---- X display probe (sdl_x11_probe.cpp) -------------------------------------

// What a look at the X display named by DISPLAY found.
enum class DisplayProbe {
    Usable,  // the server accepted, or the probe cannot tell: SDL may go ahead
    Busy,    // refused for the moment (a full listen queue, a server starting afresh)
    Failed,  // not there, refused for good, or no answer in time
};
// Connects to the X display as Xlib would and waits, through
// sdlWaitAtStart(), at most `limit` for the server's answer to the
// connection set-up; SDL's own connection would wait for good. Prints
// nothing. Unless Usable, `error` is one line saying what happened (with
// the server's reason for a refusal). When the server accepted,
// `connection` is the open connection, for the caller to close once SDL
// has its own: a server that starts afresh when its last client leaves
// would refuse SDL's meanwhile.
DisplayProbe sdlProbeDisplay(std::chrono::seconds limit, int& connection, std::string& error);

// ---- Window size, fullscreen and focus (sdl_window_size.cpp) --------------------

// The window has opened (its picture width x height) or is about to close.
void sdlWindowSizeOpened(SDL_Window* window, int pictureWidth, int pictureHeight);
void sdlWindowSizeClosed();
// Carries out the frame thread's size, fullscreen and scaling requests;
// true when there were any.
bool sdlApplyWindowRequests();
// Where the picture goes in the window's drawing area of width x height.
Area sdlPictureArea(int width, int height);
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
// The test hook's new commands, when it is built in and on (see
// sdl_gamepad.cpp).
void sdlServeTestGamepad();

}  // namespace platform
