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

}  // namespace

int largestScale(const Area& usable, const Borders& borders, int pictureWidth, int pictureHeight)
{
    if (pictureWidth <= 0 || pictureHeight <= 0) return 1;
    const int width = usable.width - borders.left - borders.right;
    const int height = usable.height - borders.top - borders.bottom;
    return std::max(1, std::min(width / pictureWidth, height / pictureHeight));
}

int comfortableScale(const Area& usable, const Borders& borders, int pictureWidth, int pictureHeight)
{
    if (pictureHeight <= 0) return 1;
    const int comfortable = usable.height * 3 / 4 / pictureHeight;
    return std::max(1, std::min(comfortable, largestScale(usable, borders, pictureWidth, pictureHeight)));
}

Area placeWindow(const Area& window, const Borders& borders, const Area& usable)
{
    Area placed = window;
    placed.x = placeAlong(window.x, window.width, borders.left, borders.right, usable.x, usable.width);
    placed.y = placeAlong(window.y, window.height, borders.top, borders.bottom, usable.y, usable.height);
    return placed;
}

}  // namespace platform
