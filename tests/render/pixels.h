// Small helpers for the render tests: read and write single pixels of a
// Surface in picture coordinates (y down from the top).
#pragma once

#include "render/surface.h"

#include <array>
#include <cstdint>

using Rgb = std::array<int, 3>;  // red, green, blue

inline Rgb pixelAt(const Surface& s, int x, int y)
{
    const std::uint8_t* p = s.pixels() + s.pixelOffset(x, y);
    return Rgb{p[2], p[1], p[0]};
}

inline void setPixel(Surface& s, int x, int y, const Rgb& c)
{
    std::uint8_t* p = s.pixels() + s.pixelOffset(x, y);
    p[0] = static_cast<std::uint8_t>(c[2]);
    p[1] = static_cast<std::uint8_t>(c[1]);
    p[2] = static_cast<std::uint8_t>(c[0]);
}

inline void fillRect(Surface& s, int x, int y, int w, int h, const Rgb& c)
{
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            setPixel(s, i, j, c);
}

const Rgb KeyGreen{0, 255, 0};

// Where a colour appears on a Surface: its bounding box and pixel count.
struct Found {
    int left = -1;
    int top = -1;
    int right = -1;   // exclusive
    int bottom = -1;  // exclusive
    int count = 0;
};

inline Found find(const Surface& s, const Rgb& c)
{
    Found f;
    for (int y = 0; y < s.height(); ++y) {
        for (int x = 0; x < s.width(); ++x) {
            if (pixelAt(s, x, y) != c) continue;
            if (f.count == 0) {
                f.left = x;
                f.top = y;
                f.right = x + 1;
                f.bottom = y + 1;
            }
            if (x < f.left) f.left = x;
            if (x + 1 > f.right) f.right = x + 1;
            f.bottom = y + 1;
            ++f.count;
        }
    }
    return f;
}
