// Window sizes in steps of the picture, where such a window may stand on a
// desktop, and how large the picture shows in a window of any size: plain
// arithmetic, free of SDL so that it can be tested.
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

// The steps a window's size takes, counted in half factors of the picture:
// 2 is 1x, 3 is 1.5x, then whole factors only (4 is 2x, 6 is 3x, ...).
constexpr int OneX = 2;
bool isScaleStep(int halves);
// The step after (direction +1) or before (-1) a step; never below 1x.
int nextScaleStep(int halves, int direction);
// The largest step at or below halves (1x at least).
int scaleStepAtMost(int halves);

// The largest step at which the picture, with the decoration around it,
// fits the usable area; at least 1x.
int largestScale(const Area& usable, const Borders& borders, int pictureWidth, int pictureHeight);

// The comfortable default: the largest whole factor whose window, its
// decoration included (counted as at least TitleBarRows high), takes at
// most 90 % of the usable width and height; where that is only 1x, 1.5x
// when it fits so. At least 1x.
constexpr int TitleBarRows = 32;
int comfortableScale(const Area& usable, const Borders& borders, int pictureWidth, int pictureHeight);

// Where the picture goes in a client area of width x height: centred, at
// the largest step that fits, or with anyFactor at the largest size that
// fits (aspect kept). Never smaller than the picture: a smaller client
// area shows its top-left part.
Area pictureArea(int width, int height, int pictureWidth, int pictureHeight, bool anyFactor);

// Where a client area of window's size goes: at window's place when it fits
// the usable area there with its decoration, otherwise moved just as far as
// it must; a window larger than the area keeps its decoration's top-left
// corner at the area's.
Area placeWindow(const Area& window, const Borders& borders, const Area& usable);

}  // namespace platform
