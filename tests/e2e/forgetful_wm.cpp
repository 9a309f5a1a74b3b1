// A window manager for the end-to-end tests that loses the first request to
// show each window, as a real one can while it is still starting up: the
// window then stays hidden until its program asks again. Later requests
// are granted, and moves and resizes are carried out as asked. It draws no
// frames and announces nothing, so to the game it looks like no manager at
// all, apart from taking over the requests.
//
// Prints "ready" once it has taken over the display, and a line for each
// request it drops or grants.
#include <X11/Xlib.h>

#include <cstdio>
#include <set>

namespace {

bool takenOver = true;

int refuseTakeOver(Display*, XErrorEvent*)
{
    takenOver = false;
    return 0;
}

void grantConfigure(Display* display, const XConfigureRequestEvent& request)
{
    XWindowChanges changes;
    changes.x = request.x;
    changes.y = request.y;
    changes.width = request.width;
    changes.height = request.height;
    changes.border_width = request.border_width;
    changes.sibling = request.above;
    changes.stack_mode = request.detail;
    XConfigureWindow(display, request.window, static_cast<unsigned>(request.value_mask), &changes);
}

}  // namespace

int main()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "forgetful_wm: cannot open the display\n");
        return 1;
    }
    // Only one client may redirect the root's children: fail if another has.
    XSetErrorHandler(refuseTakeOver);
    XSelectInput(display, DefaultRootWindow(display), SubstructureRedirectMask | SubstructureNotifyMask);
    XSync(display, False);
    if (!takenOver) {
        std::fprintf(stderr, "forgetful_wm: another window manager runs\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);

    std::set<Window> asked;
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapRequest) {
            const Window window = event.xmaprequest.window;
            if (asked.insert(window).second) {
                std::printf("dropped the first request to show 0x%lx\n", window);
            } else {
                std::printf("showed 0x%lx\n", window);
                XMapWindow(display, window);
            }
            std::fflush(stdout);
        } else if (event.type == ConfigureRequest) {
            grantConfigure(display, event.xconfigurerequest);
        } else if (event.type == DestroyNotify) {
            asked.erase(event.xdestroywindow.window);
        }
        XFlush(display);
    }
}
