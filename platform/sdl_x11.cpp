// SDL platform, the little it needs from Xlib directly: surviving the loss
// of the display, the connection's descriptor for the event loop's wait,
// and whether a window manager is there to make the window fullscreen.
// Xlib's headers stay in this file (their macros clash with ordinary names).
#include "platform/sdl_internal.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xatom.h>

#include <unistd.h>

namespace {

int onLostDisplay(Display*)
{
    // Only async-signal-safe calls: other threads are still running, and
    // _exit() leaves them and every destructor alone.
    static const char line[] = "tessaloom: lost the connection to the display\n";
    const ssize_t written = ::write(STDERR_FILENO, line, sizeof line - 1);
    static_cast<void>(written);  // nothing better to do if stderr is gone
    _exit(1);
}

int ignoreError(Display*, XErrorEvent*) { return 0; }

// The window a window manager names as its own on the root window, when
// that window names itself too (a manager that has gone leaves the root's
// property behind); None otherwise. Errors are caught: the window named
// may have gone, and Xlib's default handler would end the process.
Window windowManagerCheck(Display* display, Atom check)
{
    auto readWindow = [&](Window from) -> Window {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        Window found = None;
        if (XGetWindowProperty(display, from, check, 0, 1, False, XA_WINDOW, &type, &format, &count, &after,
                               &data) == Success &&
            type == XA_WINDOW && format == 32 && count == 1)
            found = static_cast<Window>(*reinterpret_cast<unsigned long*>(data));
        if (data) XFree(data);
        return found;
    };
    XSync(display, False);
    const auto previous = XSetErrorHandler(ignoreError);
    const Window named = readWindow(DefaultRootWindow(display));
    const Window confirmed = named != None ? readWindow(named) : None;
    XSync(display, False);
    XSetErrorHandler(previous);
    return named != None && named == confirmed ? named : None;
}

bool rootListsAtom(Display* display, Atom list, Atom wanted)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool found = false;
    if (XGetWindowProperty(display, DefaultRootWindow(display), list, 0, 4096, False, XA_ATOM, &type, &format,
                           &count, &after, &data) == Success &&
        type == XA_ATOM && format == 32) {
        const auto* atoms = reinterpret_cast<unsigned long*>(data);
        for (unsigned long i = 0; i < count && !found; ++i)
            found = atoms[i] == wanted;
    }
    if (data) XFree(data);
    return found;
}

bool hasWindowManager(Display* display)
{
    return windowManagerCheck(display, XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False)) != None;
}

// SDL's X11 handles behind the window; false when it is not on X11.
bool x11Info(SDL_Window* window, SDL_SysWMinfo& info)
{
    SDL_VERSION(&info.version);
    return window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11;
}

}  // namespace

namespace platform {

void sdlExitOnLostDisplay()
{
    // Before any other Xlib call, as Xlib asks of threaded programs (SDL
    // makes the same call later; a second one does nothing). The handler is
    // process-wide, so it covers SDL's own connections.
    XInitThreads();
    XSetIOErrorHandler(onLostDisplay);
}

int sdlDisplayFd(SDL_Window* window)
{
    SDL_SysWMinfo info;
    return x11Info(window, info) ? XConnectionNumber(info.info.x11.display) : -1;
}

bool sdlWindowManagerDoesFullscreen(SDL_Window* window)
{
    SDL_SysWMinfo info;
    // Other window systems always answer SDL's request.
    if (!x11Info(window, info)) return true;
    Display* display = info.info.x11.display;
    return hasWindowManager(display) &&
           rootListsAtom(display, XInternAtom(display, "_NET_SUPPORTED", False),
                         XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False));
}

bool sdlWindowManagerPresent(SDL_Window* window)
{
    SDL_SysWMinfo info;
    return x11Info(window, info) && hasWindowManager(info.info.x11.display);
}

void sdlAskToShow(SDL_Window* window)
{
    SDL_SysWMinfo info;
    if (!x11Info(window, info)) {
        if (window) SDL_ShowWindow(window);
        return;
    }
    // The answer comes as a map event, which SDL turns into its own "shown".
    XMapRaised(info.info.x11.display, info.info.x11.window);
    XFlush(info.info.x11.display);
}

}  // namespace platform
