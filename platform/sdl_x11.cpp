// SDL platform, the little it needs from Xlib directly: surviving the loss
// of the display, telling a busy display from a missing one, and the
// connection's descriptor for the event loop's wait. Xlib's headers stay
// in this file (their macros clash with ordinary names).
#include "platform/sdl_internal.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

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

std::string localDisplaySocket(const char* display)
{
    // ":N", ":N.S" or "unix:N": the server listens on X11's socket folder.
    if (!display) return {};
    std::string name = display;
    if (name.rfind("unix:", 0) == 0) name.erase(0, 4);
    if (name.size() < 2 || name[0] != ':') return {};
    std::string number;
    for (std::size_t i = 1; i < name.size() && name[i] != '.'; ++i) {
        if (name[i] < '0' || name[i] > '9') return {};
        number += name[i];
    }
    if (number.empty()) return {};
    return "/tmp/.X11-unix/X" + number;
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

bool sdlDisplayMayComeBack()
{
    errno = 0;
    if (Display* display = XOpenDisplay(nullptr)) {
        XCloseDisplay(display);
        return true;
    }
    // A server starting afresh, or one with a full listen queue, refuses
    // with EAGAIN or takes the connection and drops it (ECONNRESET); now and
    // then, while it starts afresh, the local connection even reports no
    // such file. A display that is not there refuses (ECONNREFUSED) or has
    // no socket at all.
    if (errno == EAGAIN || errno == ECONNRESET || errno == EINTR) return true;
    const std::string socket = localDisplaySocket(SDL_getenv("DISPLAY"));
    struct stat status;
    return !socket.empty() && ::stat(socket.c_str(), &status) == 0 && S_ISSOCK(status.st_mode);
}

int sdlDisplayFd(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return -1;
    return XConnectionNumber(info.info.x11.display);
}

}  // namespace platform
