#include "tools/assetgen/raster.h"

#include "render/bmp_file.h"

#include <algorithm>
#include <cmath>
#include <fstream>

namespace assetgen {

Rgb rgb(int r, int g, int b) { return Rgb{float(r), float(g), float(b)}; }

Rgb mix(Rgb a, Rgb b, float t)
{
    return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb scale(Rgb c, float f) { return Rgb{c.r * f, c.g * f, c.b * f}; }

Rgb lighten(Rgb c, float t) { return mix(c, rgb(255, 255, 255), t); }

float hashNoise(int x, int y, int seed)
{
    // Integer hash: the same picture on every run and every machine.
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u +
                      static_cast<std::uint32_t>(y) * 668265263u +
                      static_cast<std::uint32_t>(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFFu) / float(0xFFFFFF);
}

float smoothNoise(float x, float y, int seed)
{
    const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    const float fx = x - ix, fy = y - iy;
    const float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const float a = hashNoise(ix, iy, seed), b = hashNoise(ix + 1, iy, seed);
    const float c = hashNoise(ix, iy + 1, seed), d = hashNoise(ix + 1, iy + 1, seed);
    return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}

float sinOf(float a) { return static_cast<float>(std::sin(static_cast<double>(a))); }
float cosOf(float a) { return static_cast<float>(std::cos(static_cast<double>(a))); }
float hypotOf(float x, float y)
{
    // Squares of floats are exact in double; their sum rounds once.
    const double dx = x, dy = y;
    return static_cast<float>(std::sqrt(dx * dx + dy * dy));
}

float sdCircle(float px, float py, float cx, float cy, float r) { return hypotOf(px - cx, py - cy) - r; }

float sdRoundRect(float px, float py, float x0, float y0, float x1, float y1, float r)
{
    const float cx = (x0 + x1) * 0.5f, cy = (y0 + y1) * 0.5f;
    const float hx = (x1 - x0) * 0.5f - r, hy = (y1 - y0) * 0.5f - r;
    const float qx = std::fabs(px - cx) - hx, qy = std::fabs(py - cy) - hy;
    const float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
    return hypotOf(ox, oy) + std::min(std::max(qx, qy), 0.0f) - r;
}

float sdSegment(float px, float py, float ax, float ay, float bx, float by)
{
    const float vx = bx - ax, vy = by - ay, wx = px - ax, wy = py - ay;
    const float len2 = vx * vx + vy * vy;
    float t = len2 > 0 ? (wx * vx + wy * vy) / len2 : 0.0f;
    t = std::min(std::max(t, 0.0f), 1.0f);
    return hypotOf(wx - vx * t, wy - vy * t);
}

float sdPolygon(float px, float py, const std::vector<float>& xy)
{
    // Distance to the nearest edge, negative when an even-odd ray test says inside.
    const std::size_t n = xy.size() / 2;
    float best = 1e30f;
    bool inside = false;
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        const float xi = xy[2 * i], yi = xy[2 * i + 1], xj = xy[2 * j], yj = xy[2 * j + 1];
        best = std::min(best, sdSegment(px, py, xj, yj, xi, yi));
        if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi) inside = !inside;
    }
    return inside ? -best : best;
}

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), premul_(std::size_t(width) * height),
      cover_(std::size_t(width) * height, 0.0f)
{
}

Canvas::Canvas(int width, int height, Rgb fill)
    : width_(width), height_(height), premul_(std::size_t(width) * height, fill),
      cover_(std::size_t(width) * height, 1.0f)
{
}

Rgb Canvas::colourAt(int x, int y) const
{
    const std::size_t i = std::size_t(y) * width_ + x;
    const float a = cover_[i];
    return a > 0 ? scale(premul_[i], 1.0f / a) : Rgb{};
}

float Canvas::coverageAt(int x, int y) const { return cover_[std::size_t(y) * width_ + x]; }

void Canvas::blend(int x, int y, Rgb c, float a)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || a <= 0) return;
    a = std::min(a, 1.0f);
    const std::size_t i = std::size_t(y) * width_ + x;
    Rgb& p = premul_[i];
    p.r = c.r * a + p.r * (1 - a);
    p.g = c.g * a + p.g * (1 - a);
    p.b = c.b * a + p.b * (1 - a);
    cover_[i] = a + cover_[i] * (1 - a);
}

void Canvas::draw(const Canvas& src, int x, int y, float opacity)
{
    for (int sy = 0; sy < src.height_; ++sy)
        for (int sx = 0; sx < src.width_; ++sx) {
            const float a = src.coverageAt(sx, sy);
            if (a > 0) blend(x + sx, y + sy, src.colourAt(sx, sy), a * opacity);
        }
}

static std::uint8_t toByte(float v)
{
    return static_cast<std::uint8_t>(std::lround(std::min(std::max(v, 0.0f), 255.0f)));
}

std::vector<std::uint8_t> Canvas::toBmp(bool keyed) const
{
    // Laid out as the game's Surface holds pixels, for the game's own writer.
    std::vector<std::uint8_t> out;
    out.reserve(std::size_t(width_) * height_ * 3);
    for (int y = height_ - 1; y >= 0; --y) {
        for (int x = 0; x < width_; ++x) {
            std::uint8_t r, g, b;
            if (keyed && coverageAt(x, y) < 0.5f) {
                r = KeyR, g = KeyG, b = KeyB;
            } else {
                // Opaque pictures are composed over their own fill, so the
                // straight colour is the final one.
                const Rgb c = colourAt(x, y);
                r = toByte(c.r), g = toByte(c.g), b = toByte(c.b);
                if (r == KeyR && g == KeyG && b == KeyB)
                    g = 254;  // a drawn pixel must never read as transparent
            }
            out.push_back(b);
            out.push_back(g);
            out.push_back(r);
        }
    }
    const std::string file = encodeBmp(out.data(), width_, height_);
    return std::vector<std::uint8_t>(file.begin(), file.end());
}

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    if (!f) return false;
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(f);
}

}  // namespace assetgen
