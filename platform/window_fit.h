// Window sizes in whole steps of the picture, and where such a window may
// stand on a desktop: plain arithmetic, free of SDL so that it can be tested.
#pragma once

namespace platform {

// A rectangle on the desktop, in the window system's units.
struct Area {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The window manager's decoration around a window's client area.
struct Borders {
    int top = 0;
    int left = 0;
    int bottom = 0;
    int right = 0;
};

// The largest whole factor at which the picture, with the decoration
// around it, fits the usable area; at least 1.
int largestScale(const Area& usable, const Borders& borders, int pictureWidth, int pictureHeight);

// The comfortable default: the largest factor whose window takes at most
// three quarters of the usable height, within largestScale; at least 1.
int comfortableScale(const Area& usable, const Borders& borders, int pictureWidth, int pictureHeight);

// Where a client area of window's size goes: at window's place when it fits
// the usable area there with its decoration, otherwise moved just as far as
// it must; a window larger than the area keeps its decoration's top-left
// corner at the area's.
Area placeWindow(const Area& window, const Borders& borders, const Area& usable);

}  // namespace platform
