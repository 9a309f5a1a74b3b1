#include "platform/window_fit.h"

#include <algorithm>

namespace platform {

namespace {

// The client area's start along one axis: as close to `at` as the area
// allows, the decoration before and after it included.
int placeAlong(int at, int size, int before, int after, int areaStart, int areaSize)
{
    const int first = areaStart + before;
    const int last = areaStart + areaSize - after - size;
    return std::max(first, std::min(at, last));
}

// The largest factor in halves (any, not only steps) at which the picture
// fits width x height; may be 0.
int halvesThatFit(int width, int height, int pictureWidth, int pictureHeight)
{
    if (pictureWidth <= 0 || pictureHeight <= 0) return 0;
    return std::max(0, std::min(2 * width / pictureWidth, 2 * height / pictureHeight));
}

}  // namespace

bool isScaleStep(int halves)
{
    return halves == OneX || halves == OneX + 1 || (halves >= 4 && halves % 2 == 0);
}

int nextScaleStep(int halves, int direction)
{
    const int from = scaleStepAtMost(halves);
    if (direction > 0) return from < 4 ? from + 1 : from + 2;
    return from <= 4 ? std::max(OneX, from - 1) : from - 2;
}

int scaleStepAtMost(int halves)
{
    if (halves <= OneX) return OneX;
    return halves < 4 ? halves : halves - halves % 2;
}

int largestScale(const Area& usable, const Borders& borders, int pictureWidth, int pictureHeight)
{
    const int width = usable.width - borders.left - borders.right;
    const int height = usable.height - borders.top - borders.bottom;
    return scaleStepAtMost(halvesThatFit(width, height, pictureWidth, pictureHeight));
}

int comfortableScale(const Area& usable, const Borders& borders, int pictureWidth, int pictureHeight)
{
    // The whole window within nine tenths of the area, decoration included:
    // at least a title bar's height of it, which is not known before the
    // window manager has framed the window (and a bare display has none).
    const int width = usable.width * 9 / 10 - borders.left - borders.right;
    const int height = usable.height * 9 / 10 - std::max(TitleBarRows, borders.top + borders.bottom);
    const int halves = halvesThatFit(width, height, pictureWidth, pictureHeight);
    return halves >= 4 ? halves - halves % 2 : scaleStepAtMost(halves);
}

Area pictureArea(int width, int height, int pictureWidth, int pictureHeight, bool anyFactor)
{
    Area a{0, 0, pictureWidth, pictureHeight};
    if (pictureWidth <= 0 || pictureHeight <= 0) return a;
    const int halves = halvesThatFit(width, height, pictureWidth, pictureHeight);
    if (anyFactor && halves >= OneX) {
        // The side that limits takes the whole client area; the other keeps
        // the picture's proportions (wider than tall: width / height).
        const long long byWidth = static_cast<long long>(width) * pictureHeight;
        const long long byHeight = static_cast<long long>(height) * pictureWidth;
        if (byWidth <= byHeight) {
            a.width = width;
            a.height = static_cast<int>(byWidth / pictureWidth);
        } else {
            a.height = height;
            a.width = static_cast<int>(byHeight / pictureHeight);
        }
    } else {
        const int step = scaleStepAtMost(halves);
        a.width = pictureWidth * step / 2;
        a.height = pictureHeight * step / 2;
    }
    a.x = std::max(0, (width - a.width) / 2);
    a.y = std::max(0, (height - a.height) / 2);
    return a;
}

Area placeWindow(const Area& window, const Borders& borders, const Area& usable)
{
    Area placed = window;
    placed.x = placeAlong(window.x, window.width, borders.left, borders.right, usable.x, usable.width);
    placed.y = placeAlong(window.y, window.height, borders.top, borders.bottom, usable.y, usable.height);
    return placed;
}

}  // namespace platform
