// A small anti-aliased raster canvas for drawing the game's pictures, written
// out by the game's own BMP writer (render/bmp_file.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

// Colour channels in 0..255 as floats, so gradients and blends keep their
// precision until the final rounding.
struct Rgb {
    float r = 0, g = 0, b = 0;
};

Rgb rgb(int r, int g, int b);
Rgb mix(Rgb a, Rgb b, float t);  // a at t = 0, b at t = 1
Rgb scale(Rgb c, float f);       // every channel times f
Rgb lighten(Rgb c, float t);     // towards white by t

// The transparent colour of keyed pictures.
constexpr int KeyR = 0, KeyG = 255, KeyB = 0;

// Deterministic value noise in 0..1 (no global state).
float hashNoise(int x, int y, int seed);
float smoothNoise(float x, float y, int seed);

// Signed distances in pixels (negative inside).
// sin, cos and hypot worked out in double and rounded once to float: the
// same bytes from every maths library (the page's differs from the
// desktop's in the last bit of the float versions).
float sinOf(float a);
float cosOf(float a);
float hypotOf(float x, float y);

float sdCircle(float px, float py, float cx, float cy, float r);
float sdRoundRect(float px, float py, float x0, float y0, float x1, float y1, float r);
float sdSegment(float px, float py, float ax, float ay, float bx, float by);
// Any simple polygon given as x0, y0, x1, y1, ...
float sdPolygon(float px, float py, const std::vector<float>& xy);

// Premultiplied colour plus coverage per pixel. Opaque pictures start fully
// covered; keyed pictures start empty and are keyed where coverage stays
// below one half.
class Canvas {
public:
    Canvas(int width, int height);            // transparent
    Canvas(int width, int height, Rgb fill);  // opaque

    int width() const { return width_; }
    int height() const { return height_; }

    // Straight colour of a pixel (black where nothing is drawn).
    Rgb colourAt(int x, int y) const;
    float coverageAt(int x, int y) const;

    // Paints colour c over the pixel with coverage a (0..1).
    void blend(int x, int y, Rgb c, float a);

    // Fills the shape whose signed distance sdf(px, py) is given, inside the
    // box [x0, x1) x [y0, y1), with paint(px, py) at opacity. Pixel centres
    // are sampled; the edge is anti-aliased over one pixel.
    template <class Sdf, class Paint>
    void fillShape(float x0, float y0, float x1, float y1, Sdf sdf, Paint paint, float opacity = 1.0f)
    {
        const int ix0 = clampX(static_cast<int>(x0) - 1), ix1 = clampX(static_cast<int>(x1) + 2);
        const int iy0 = clampY(static_cast<int>(y0) - 1), iy1 = clampY(static_cast<int>(y1) + 2);
        for (int y = iy0; y < iy1; ++y) {
            for (int x = ix0; x < ix1; ++x) {
                const float px = x + 0.5f, py = y + 0.5f;
                const float d = sdf(px, py);
                float a = 0.5f - d;
                if (a <= 0.0f) continue;
                if (a > 1.0f) a = 1.0f;
                blend(x, y, paint(px, py), a * opacity);
            }
        }
    }

    // Copies another canvas in with its coverage, top-left at (x, y).
    void draw(const Canvas& src, int x, int y, float opacity = 1.0f);

    // The picture as a BMP file: 24-bit, uncompressed, bottom-up, pixel data
    // at offset 54. Keyed pictures get pure green wherever coverage is below
    // one half; a drawn pixel that happens to be pure green is nudged off it.
    std::vector<std::uint8_t> toBmp(bool keyed) const;

private:
    int clampX(int x) const { return x < 0 ? 0 : (x > width_ ? width_ : x); }
    int clampY(int y) const { return y < 0 ? 0 : (y > height_ ? height_ : y); }

    int width_;
    int height_;
    std::vector<Rgb> premul_;
    std::vector<float> cover_;
};

// Writes bytes to path; false when the file cannot be written.
bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace assetgen
