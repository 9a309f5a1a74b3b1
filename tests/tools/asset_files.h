// Where the asset tests find the generated pictures and sounds, and small
// pixel helpers for looking at them.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "render/surface.h"

#ifndef TESSALOOM_ASSET_DIR
#error "tests_tools needs TESSALOOM_ASSET_DIR (the build folder the assets are generated into)"
#endif

inline std::string assetPath(const std::string& relative)
{
    return std::string(TESSALOOM_ASSET_DIR) + "/" + relative;
}

using Colour = std::array<int, 3>;  // red, green, blue

inline Colour colourAt(const Surface& s, int x, int y)
{
    const std::uint8_t* p = s.pixels() + s.pixelOffset(x, y);
    return Colour{p[2], p[1], p[0]};
}

inline bool isKey(const Surface& s, int x, int y)
{
    const Colour c = colourAt(s, x, y);
    return c[0] == 0 && c[1] == 255 && c[2] == 0;
}

inline double luma(const Colour& c) { return 0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2]; }

// Pixels in [x0, x1) x [y0, y1) that are key green / brighter than a level.
inline int countKey(const Surface& s, int x0, int y0, int x1, int y1)
{
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            n += isKey(s, x, y) ? 1 : 0;
    return n;
}

inline int countBrighter(const Surface& s, int x0, int y0, int x1, int y1, double level)
{
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            n += luma(colourAt(s, x, y)) > level ? 1 : 0;
    return n;
}
