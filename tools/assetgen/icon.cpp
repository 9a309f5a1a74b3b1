#include "tools/assetgen/icon.h"

#include <algorithm>
#include <cmath>

#include "tools/assetgen/pictures.h"
#include "tools/assetgen/png.h"

namespace assetgen {

Canvas iconArt()
{
    Canvas c(64, 64);
    drawBlockCell(c, 0, 0, BlockRed);
    drawBlockCell(c, 32, 0, BlockGreen);
    drawBlockCell(c, 0, 32, BlockBlue);
    drawBlockCell(c, 32, 32, BlockYellow);
    return c;
}

Canvas resample(const Canvas& src, int width, int height)
{
    Canvas out(width, height);
    const double fx = double(src.width()) / width, fy = double(src.height()) / height;
    for (int y = 0; y < height; ++y) {
        const double y0 = y * fy, y1 = (y + 1) * fy;
        for (int x = 0; x < width; ++x) {
            const double x0 = x * fx, x1 = (x + 1) * fx;
            double r = 0, g = 0, b = 0, cover = 0;
            // Each source pixel counts with the area it shares with the
            // destination pixel's footprint.
            for (int sy = static_cast<int>(y0); sy < src.height() && sy < y1; ++sy) {
                const double wy = std::min<double>(sy + 1, y1) - std::max<double>(sy, y0);
                for (int sx = static_cast<int>(x0); sx < src.width() && sx < x1; ++sx) {
                    const double w = wy * (std::min<double>(sx + 1, x1) - std::max<double>(sx, x0));
                    const double a = src.coverageAt(sx, sy) * w;
                    const Rgb s = src.colourAt(sx, sy);
                    r += s.r * a;
                    g += s.g * a;
                    b += s.b * a;
                    cover += a;
                }
            }
            if (cover <= 0) continue;
            const Rgb straight{float(r / cover), float(g / cover), float(b / cover)};
            out.blend(x, y, straight, float(cover / (fx * fy)));
        }
    }
    return out;
}

std::vector<std::uint8_t> toRgba(const Canvas& c)
{
    auto byte = [](float v) {
        return static_cast<std::uint8_t>(std::lround(std::min(std::max(v, 0.0f), 255.0f)));
    };
    std::vector<std::uint8_t> out;
    out.reserve(std::size_t(c.width()) * c.height() * 4);
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) {
            const float a = c.coverageAt(x, y);
            // A pixel too faint to show gets no colour, so equal pictures
            // give equal bytes.
            const Rgb s = a * 255 < 0.5f ? Rgb{} : c.colourAt(x, y);
            out.push_back(byte(s.r));
            out.push_back(byte(s.g));
            out.push_back(byte(s.b));
            out.push_back(byte(a * 255));
        }
    return out;
}

std::vector<std::uint8_t> iconPng(int size)
{
    const Canvas art = iconArt();
    const Canvas icon = size == art.width() ? art : resample(art, size, size);
    return encodePng(size, size, toRgba(icon));
}

}  // namespace assetgen
