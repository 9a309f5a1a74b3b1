// Exec to first drawn picture of any X program, seen from outside: starts
// the command, then watches the display for a new viewable top-level window
// whose contents are not one plain colour, and prints the milliseconds from
// just before exec to that moment. The program is then sent SIGTERM (and
// SIGKILL a second later if it is still there). The same measure serves the
// game and any other program, so the two can be compared in one run.
//
// Usage: bench_first_picture COMMAND [ARGUMENTS...]
// Prints "first picture after <ms> ms" and exits 0, or a reason and 1.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <set>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr auto Deadline = std::chrono::seconds(10);
constexpr auto PollPause = std::chrono::microseconds(500);

std::set<Window> topLevels(Display* d)
{
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    std::set<Window> out;
    if (XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) {
        out.insert(children, children + count);
        XFree(children);
    }
    return out;
}

// Whether the window is viewable and shows more than one colour.
bool drawn(Display* d, Window w)
{
    XWindowAttributes a;
    if (!XGetWindowAttributes(d, w, &a) || a.map_state != IsViewable || a.width < 2 || a.height < 2)
        return false;
    XImage* image = XGetImage(d, w, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
    if (!image) return false;
    const unsigned long first = XGetPixel(image, 0, 0);
    bool varied = false;
    for (int y = 0; y < a.height && !varied; y += 2)
        for (int x = 0; x < a.width && !varied; x += 2)
            varied = XGetPixel(image, x, y) != first;
    XDestroyImage(image);
    return varied;
}

int ignoreErrors(Display*, XErrorEvent*) { return 0; }  // a window may go while we look

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s COMMAND [ARGUMENTS...]\n", argv[0]);
        return 2;
    }
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "first picture: no display\n");
        return 1;
    }
    XSetErrorHandler(ignoreErrors);
    const std::set<Window> before = topLevels(d);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[1], argv + 1);
        std::perror("exec");
        _exit(127);
    }
    if (child < 0) return 1;
    double ms = -1;
    while (std::chrono::steady_clock::now() - start < Deadline && ms < 0) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            std::fprintf(stderr, "first picture: the command ended before it drew\n");
            return 1;
        }
        for (Window w : topLevels(d)) {
            if (before.count(w) || !drawn(d, w)) continue;
            ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            break;
        }
        if (ms < 0) std::this_thread::sleep_for(PollPause);
    }
    kill(child, SIGTERM);
    for (int i = 0; i < 100 && waitpid(child, nullptr, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (waitpid(child, nullptr, WNOHANG) == 0) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    XCloseDisplay(d);
    if (ms < 0) {
        std::fprintf(stderr, "first picture: nothing drawn within 10 s\n");
        return 1;
    }
    std::printf("first picture after %.1f ms\n", ms);
    return 0;
}
