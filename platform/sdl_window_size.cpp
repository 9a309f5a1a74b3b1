// SDL platform: the window's size, fullscreen and focus, and where the
// picture goes in the window. The frame thread asks through atomics; the
// main thread carries the requests out when it wakes. The picture keeps its
// size (the window shows it scaled, centred on black), so only the window
// changes here.
#include "platform/platform.h"
#include "platform/sdl_internal.h"
#include "platform/window_fit.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>

namespace {

using platform::Area;
using platform::Borders;

// Requests from the frame thread, taken by the main thread.
constexpr int NoRequest = -1;
std::atomic<int> requestedScale{NoRequest};       // half factors, 0: the comfortable default
std::atomic<int> requestedFullscreen{NoRequest};  // 0 off, 1 on
std::atomic<int> requestedSharp{NoRequest};       // 0 off, 1 on
// Answers for the frame thread.
std::atomic<int> scaleLimit{platform::OneX};
std::atomic<bool> focused{true};
std::atomic<bool> minimised{false};

// Main-thread state.
struct Sizing {
    SDL_Window* window = nullptr;
    int pictureWidth = 0;
    int pictureHeight = 0;
    bool fullscreen = false;
    bool sharpScaling = false;
    // Fullscreen made by hand, the window covering its display, when no
    // window manager is there to ask.
    bool byHand = false;
    // The window as it was before fullscreen: its client area and decoration.
    Area windowed;
    Borders windowedBorders;
};
Sizing sizing;

struct Desktop {
    Area usable;
    Borders borders;
};

bool desktopOfWindow(Desktop& desktop)
{
    const int display = SDL_GetWindowDisplayIndex(sizing.window);
    SDL_Rect usable;
    if (display < 0 || SDL_GetDisplayUsableBounds(display, &usable) != 0) return false;
    desktop.usable = Area{usable.x, usable.y, usable.w, usable.h};
    Borders& b = desktop.borders;
    // Zero without a window manager, and before it has framed the window.
    if (SDL_GetWindowBordersSize(sizing.window, &b.top, &b.left, &b.bottom, &b.right) != 0) b = Borders{};
    return true;
}

Area clientArea()
{
    Area a;
    SDL_GetWindowPosition(sizing.window, &a.x, &a.y);
    SDL_GetWindowSize(sizing.window, &a.width, &a.height);
    return a;
}

void measureDesktop()
{
    // A fullscreen window has no decoration, but the limit is for windows.
    Desktop desktop;
    if (!desktopOfWindow(desktop)) return;
    const Borders borders = sizing.fullscreen ? sizing.windowedBorders : desktop.borders;
    scaleLimit.store(
        platform::largestScale(desktop.usable, borders, sizing.pictureWidth, sizing.pictureHeight));
}

void enterFullscreen()
{
    if (sizing.fullscreen) return;
    Desktop desktop;
    sizing.windowed = clientArea();
    sizing.windowedBorders = desktopOfWindow(desktop) ? desktop.borders : Borders{};
    sizing.fullscreen = true;
    if (platform::sdlWindowManagerDoesFullscreen(sizing.window)) {
        SDL_SetWindowFullscreen(sizing.window, SDL_WINDOW_FULLSCREEN_DESKTOP);
        return;
    }
    // Nobody answers SDL's fullscreen request: the window covers its
    // display itself (no decoration to hide without a window manager).
    SDL_Rect bounds;
    const int display = SDL_GetWindowDisplayIndex(sizing.window);
    if (display < 0 || SDL_GetDisplayBounds(display, &bounds) != 0) {
        sizing.fullscreen = false;
        return;
    }
    sizing.byHand = true;
    SDL_SetWindowSize(sizing.window, bounds.w, bounds.h);
    SDL_SetWindowPosition(sizing.window, bounds.x, bounds.y);
    SDL_RaiseWindow(sizing.window);
}

void leaveFullscreen()
{
    if (!sizing.fullscreen) return;
    sizing.fullscreen = false;
    if (!sizing.byHand) {
        SDL_SetWindowFullscreen(sizing.window, 0);
        return;
    }
    sizing.byHand = false;
    SDL_SetWindowSize(sizing.window, sizing.windowed.width, sizing.windowed.height);
    SDL_SetWindowPosition(sizing.window, sizing.windowed.x, sizing.windowed.y);
}

void applyScale(int halves)
{
    // From fullscreen the window returns to where it stood before.
    const bool wasFullscreen = sizing.fullscreen;
    Area window = wasFullscreen ? sizing.windowed : clientArea();
    leaveFullscreen();
    // A maximised window would keep its size.
    if (SDL_GetWindowFlags(sizing.window) & SDL_WINDOW_MAXIMIZED) SDL_RestoreWindow(sizing.window);
    Desktop desktop;
    if (!desktopOfWindow(desktop)) return;
    if (wasFullscreen) desktop.borders = sizing.windowedBorders;
    const int limit =
        platform::largestScale(desktop.usable, desktop.borders, sizing.pictureWidth, sizing.pictureHeight);
    const int step = halves == 0 ? platform::comfortableScale(desktop.usable, desktop.borders,
                                                              sizing.pictureWidth, sizing.pictureHeight)
                                 : std::min(platform::scaleStepAtMost(halves), limit);
    window.width = sizing.pictureWidth * step / 2;
    window.height = sizing.pictureHeight * step / 2;
    const Area placed = platform::placeWindow(window, desktop.borders, desktop.usable);
    SDL_SetWindowSize(sizing.window, placed.width, placed.height);
    // Set only when it changes: a window manager may take any move as a
    // request to place the window afresh. Set always after fullscreen,
    // which some window managers leave a title bar's height lower.
    if (wasFullscreen || placed.x != window.x || placed.y != window.y)
        SDL_SetWindowPosition(sizing.window, placed.x, placed.y);
    scaleLimit.store(limit);
}

}  // namespace

namespace platform {

void sdlWindowSizeOpened(SDL_Window* window, int pictureWidth, int pictureHeight)
{
    sizing = Sizing{};
    sizing.window = window;
    sizing.pictureWidth = pictureWidth;
    sizing.pictureHeight = pictureHeight;
    requestedScale.store(NoRequest);
    requestedFullscreen.store(NoRequest);
    requestedSharp.store(NoRequest);
    focused.store(true);
    minimised.store(false);
    measureDesktop();
}

void sdlWindowSizeClosed() { sizing = Sizing{}; }

bool sdlApplyWindowRequests()
{
    if (!sizing.window) return false;
    const int scale = requestedScale.exchange(NoRequest);
    const int fullscreen = requestedFullscreen.exchange(NoRequest);
    const int sharp = requestedSharp.exchange(NoRequest);
    if (scale != NoRequest) applyScale(scale);
    if (fullscreen == 1) enterFullscreen();
    if (fullscreen == 0) leaveFullscreen();
    if (sharp != NoRequest) sizing.sharpScaling = sharp == 1;
    return scale != NoRequest || fullscreen != NoRequest || sharp != NoRequest;
}

Area sdlPictureArea(int width, int height)
{
    return pictureArea(width, height, sizing.pictureWidth, sizing.pictureHeight, sizing.sharpScaling);
}

void sdlWindowSizeEvent(const SDL_WindowEvent& e)
{
    switch (e.event) {
    case SDL_WINDOWEVENT_FOCUS_LOST: focused.store(false); break;
    case SDL_WINDOWEVENT_FOCUS_GAINED: focused.store(true); break;
    case SDL_WINDOWEVENT_MINIMIZED: minimised.store(true); break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED: minimised.store(false); break;
    case SDL_WINDOWEVENT_MOVED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_DISPLAY_CHANGED:
        // The decoration is known only once the window manager has framed
        // the window, and the usable area depends on the display.
        if (sizing.window) measureDesktop();
        break;
    default: break;
    }
}

void setWindowSize(int halves)
{
    // A size leaves fullscreen: a fullscreen request made before it is void,
    // one made after it still comes after it.
    requestedFullscreen.store(NoRequest);
    requestedScale.store(std::max(0, halves));
    sdlWakeMainThread();
}

int windowSizeLimit() { return scaleLimit.load(); }

void setSharpScaling(bool on)
{
    requestedSharp.store(on ? 1 : 0);
    sdlWakeMainThread();
}

void setFullscreen(bool on)
{
    requestedFullscreen.store(on ? 1 : 0);
    sdlWakeMainThread();
}

bool windowActive() { return focused.load() && !minimised.load(); }

}  // namespace platform
