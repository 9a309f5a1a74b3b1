#include "tools/assetgen/stroke_font.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace assetgen {

namespace {

// Builds one polyline from straight steps and elliptical arcs.
struct Path {
    GlyphPath pts;
    Path& to(float x, float y)
    {
        pts.push_back({x, y});
        return *this;
    }
    // Angles in degrees, 0 to the right, 90 downwards (y grows down).
    Path& arc(float cx, float cy, float rx, float ry, float a0, float a1)
    {
        const int n = std::max(4, static_cast<int>(std::fabs(a1 - a0) / 10.0f));
        for (int i = 0; i <= n; ++i) {
            const float a = (a0 + (a1 - a0) * i / n) * 3.14159265f / 180.0f;
            pts.push_back({cx + rx * cosOf(a), cy + ry * sinOf(a)});
        }
        return *this;
    }
};

using Glyph = std::vector<GlyphPath>;

Glyph glyph(std::initializer_list<Path> paths)
{
    Glyph g;
    for (const Path& p : paths)
        g.push_back(p.pts);
    return g;
}

std::map<char, Glyph> buildFont()
{
    std::map<char, Glyph> f;
    f['A'] = glyph({Path().to(0, 6).to(2, 0).to(4, 6), Path().to(0.7f, 4).to(3.3f, 4)});
    f['B'] = glyph({Path().to(0, 3).to(0, 0).to(2.4f, 0).arc(2.4f, 1.5f, 1.4f, 1.5f, -90, 90).to(0, 3),
                    Path().to(2.6f, 3).arc(2.6f, 4.5f, 1.4f, 1.5f, -90, 90).to(0, 6).to(0, 3)});
    f['C'] = glyph({Path().arc(2.1f, 3, 2.1f, 3, -40, -320)});
    f['D'] = glyph({Path().to(0, 0).to(1.5f, 0).arc(1.5f, 3, 2.5f, 3, -90, 90).to(0, 6).to(0, 0)});
    f['E'] = glyph({Path().to(4, 0).to(0, 0).to(0, 6).to(4, 6), Path().to(0, 3).to(3, 3)});
    f['F'] = glyph({Path().to(4, 0).to(0, 0).to(0, 6), Path().to(0, 3).to(3, 3)});
    f['G'] = glyph({Path().arc(2, 3, 2, 3, -40, -360).to(4, 3.4f).to(2.4f, 3.4f)});
    f['H'] = glyph({Path().to(0, 0).to(0, 6), Path().to(4, 0).to(4, 6), Path().to(0, 3).to(4, 3)});
    f['I'] =
        glyph({Path().to(2, 0).to(2, 6), Path().to(0.8f, 0).to(3.2f, 0), Path().to(0.8f, 6).to(3.2f, 6)});
    f['J'] = glyph({Path().to(4, 0).to(4, 4.2f).arc(2, 4.2f, 2, 1.8f, 0, 180)});
    f['K'] = glyph({Path().to(0, 0).to(0, 6), Path().to(4, 0).to(0, 4), Path().to(1.4f, 2.6f).to(4, 6)});
    f['L'] = glyph({Path().to(0, 0).to(0, 6).to(4, 6)});
    f['M'] = glyph({Path().to(0, 6).to(0, 0).to(2, 3.6f).to(4, 0).to(4, 6)});
    f['N'] = glyph({Path().to(0, 6).to(0, 0).to(4, 6).to(4, 0)});
    f['O'] = glyph({Path().arc(2, 3, 2, 3, 0, 360)});
    f['P'] = glyph({Path().to(0, 6).to(0, 0).to(2.4f, 0).arc(2.4f, 1.6f, 1.6f, 1.6f, -90, 90).to(0, 3.2f)});
    f['Q'] = glyph({Path().arc(2, 3, 2, 3, 0, 360), Path().to(2.4f, 4.2f).to(3.9f, 6)});
    f['R'] = glyph({Path().to(0, 6).to(0, 0).to(2.4f, 0).arc(2.4f, 1.6f, 1.6f, 1.6f, -90, 90).to(0, 3.2f),
                    Path().to(2.0f, 3.2f).to(4, 6)});
    f['S'] = glyph({Path().arc(2, 1.55f, 1.9f, 1.55f, -20, -270).arc(2, 4.55f, 2, 1.45f, -90, 160)});
    f['T'] = glyph({Path().to(0, 0).to(4, 0), Path().to(2, 0).to(2, 6)});
    f['U'] = glyph({Path().to(0, 0).to(0, 4).arc(2, 4, 2, 2, 180, 0).to(4, 0)});
    f['V'] = glyph({Path().to(0, 0).to(2, 6).to(4, 0)});
    f['W'] = glyph({Path().to(0, 0).to(0.9f, 6).to(2, 2.2f).to(3.1f, 6).to(4, 0)});
    f['X'] = glyph({Path().to(0, 0).to(4, 6), Path().to(4, 0).to(0, 6)});
    f['Y'] = glyph({Path().to(0, 0).to(2, 3).to(4, 0), Path().to(2, 3).to(2, 6)});
    f['Z'] = glyph({Path().to(0, 0).to(4, 0).to(0, 6).to(4, 6)});

    f['0'] = glyph({Path().arc(2, 3, 1.9f, 3, 0, 360), Path().to(2.9f, 1.4f).to(1.1f, 4.6f)});
    f['1'] = glyph({Path().to(0.8f, 1.3f).to(2.2f, 0).to(2.2f, 6), Path().to(0.8f, 6).to(3.6f, 6)});
    f['2'] = glyph({Path().arc(2, 1.9f, 1.9f, 1.9f, -165, 15).to(0, 6).to(4, 6)});
    f['3'] = glyph({Path().arc(2, 1.5f, 1.8f, 1.5f, -160, 90).arc(2, 4.5f, 2, 1.5f, -90, 160)});
    f['4'] = glyph({Path().to(3, 6).to(3, 0).to(0, 4.2f).to(4, 4.2f)});
    f['5'] = glyph({Path().to(3.8f, 0).to(0.5f, 0).to(0.3f, 2.7f).arc(2, 4.1f, 2, 1.9f, -140, 150)});
    f['6'] =
        glyph({Path().arc(2.1f, 3, 1.9f, 3, -60, -180).to(0.2f, 4).arc(2.1f, 4.1f, 1.9f, 1.9f, 180, 540)});
    f['7'] = glyph({Path().to(0, 0).to(4, 0).to(1.5f, 6)});
    f['8'] = glyph({Path().arc(2, 1.5f, 1.7f, 1.5f, 0, 360), Path().arc(2, 4.5f, 2, 1.5f, 0, 360)});
    f['9'] = glyph({Path().arc(1.9f, 1.9f, 1.9f, 1.9f, 0, 360).to(3.8f, 2).arc(1.9f, 3, 1.9f, 3, 0, 120)});

    f[':'] = glyph({Path().to(2, 1.6f), Path().to(2, 5.4f)});
    f['.'] = glyph({Path().to(2, 5.6f)});
    f[','] = glyph({Path().to(2.2f, 5.2f).to(1.6f, 6.6f)});
    f['!'] = glyph({Path().to(2, 0).to(2, 3.9f), Path().to(2, 5.7f)});
    f['?'] = glyph({Path().arc(2, 1.6f, 1.8f, 1.6f, -160, 80).to(2, 3.9f), Path().to(2, 5.7f)});
    f['-'] = glyph({Path().to(0.6f, 3).to(3.4f, 3)});
    f['+'] = glyph({Path().to(0.4f, 3).to(3.6f, 3), Path().to(2, 1.4f).to(2, 4.6f)});
    f['/'] = glyph({Path().to(3.5f, 0).to(0.5f, 6)});
    f['%'] = glyph({Path().to(3.6f, 0.2f).to(0.4f, 5.8f), Path().arc(0.9f, 1.2f, 0.8f, 1.1f, 0, 360),
                    Path().arc(3.1f, 4.8f, 0.8f, 1.1f, 0, 360)});
    f['<'] = glyph({Path().to(4, 3).to(0, 3), Path().to(1.8f, 1).to(0, 3).to(1.8f, 5)});
    f['>'] = glyph({Path().to(0, 3).to(4, 3), Path().to(2.2f, 1).to(4, 3).to(2.2f, 5)});
    f['^'] = glyph({Path().to(2, 6).to(2, 0), Path().to(0.2f, 2).to(2, 0).to(3.8f, 2)});
    f['_'] = glyph({Path().to(2, 0).to(2, 6), Path().to(0.2f, 4).to(2, 6).to(3.8f, 4)});
    return f;
}

}  // namespace

const std::vector<GlyphPath>& glyphPaths(char c)
{
    static const std::map<char, Glyph> font = buildFont();
    static const Glyph none;
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    const auto it = font.find(c);
    return it == font.end() ? none : it->second;
}

static float unitX(const TextStyle& s) { return s.capHeight / 6.0f * s.widthScale; }

static float advance(const TextStyle& s) { return 4 * unitX(s) + s.stroke + 2 * s.outline + s.tracking; }

float textWidth(const std::string& text, const TextStyle& style)
{
    if (text.empty()) return 0;
    return advance(style) * text.size() - style.tracking;
}

namespace {

struct Segment {
    float ax, ay, bx, by;
};

// One glyph at pen position (x, y): its fill as a distance field around the
// stroke skeleton. Outline first, then the fill over it, in one pass, so the
// fill stays anti-aliased against the rim.
void drawGlyph(Canvas& canvas, const std::vector<GlyphPath>& paths, float x, float y, const TextStyle& s,
               bool shadow)
{
    const float ux = unitX(s), uy = s.capHeight / 6.0f;
    std::vector<Segment> segs;
    float minX = 1e9f, minY = 1e9f, maxX = -1e9f, maxY = -1e9f;
    for (const GlyphPath& p : paths) {
        for (std::size_t i = 0; i < p.size(); ++i) {
            const GlyphPoint a = p[i], b = p[i + 1 < p.size() ? i + 1 : i];
            if (i + 1 == p.size() && p.size() > 1) break;
            Segment sg{x + a.x * ux, y + a.y * uy, x + b.x * ux, y + b.y * uy};
            minX = std::min({minX, sg.ax, sg.bx});
            maxX = std::max({maxX, sg.ax, sg.bx});
            minY = std::min({minY, sg.ay, sg.by});
            maxY = std::max({maxY, sg.ay, sg.by});
            segs.push_back(sg);
        }
    }
    if (segs.empty()) return;
    const float half = s.stroke * 0.5f, reach = half + s.outline + 1.0f;
    const int x0 = static_cast<int>(std::floor(minX - reach)), x1 = static_cast<int>(std::ceil(maxX + reach));
    const int y0 = static_cast<int>(std::floor(minY - reach)), y1 = static_cast<int>(std::ceil(maxY + reach));
    for (int py = y0; py <= y1; ++py) {
        for (int px = x0; px <= x1; ++px) {
            const float cx = px + 0.5f, cy = py + 0.5f;
            float d = 1e9f;
            for (const Segment& sg : segs)
                d = std::min(d, sdSegment(cx, cy, sg.ax, sg.ay, sg.bx, sg.by));
            const float rimCover = std::min(1.0f, std::max(0.0f, half + s.outline + 0.5f - d));
            if (rimCover <= 0) continue;
            if (shadow) {
                canvas.blend(px, py, rgb(0, 0, 0), rimCover * s.shadowOpacity);
                continue;
            }
            const float fillCover = std::min(1.0f, std::max(0.0f, half + 0.5f - d));
            float t = (cy - y) / s.capHeight;
            t = std::min(1.0f, std::max(0.0f, t));
            const Rgb fill = mix(s.top, s.bottom, t);
            canvas.blend(px, py, mix(s.rim, fill, fillCover / rimCover), rimCover);
        }
    }
}

}  // namespace

void drawText(Canvas& canvas, const std::string& text, float x, float y, const TextStyle& style)
{
    // The ink box starts half a stroke plus the outline left of the glyph box.
    const float inset = style.stroke * 0.5f + style.outline;
    const bool shadow = style.shadowDx != 0 || style.shadowDy != 0;
    for (int pass = shadow ? 0 : 1; pass < 2; ++pass) {
        float pen = x + inset;
        for (char c : text) {
            const float dx = pass == 0 ? style.shadowDx : 0, dy = pass == 0 ? style.shadowDy : 0;
            drawGlyph(canvas, glyphPaths(c), pen + dx, y + dy, style, pass == 0);
            pen += advance(style);
        }
    }
}

void drawTextCentred(Canvas& canvas, const std::string& text, float cx, float y, const TextStyle& style)
{
    drawText(canvas, text, cx - textWidth(text, style) * 0.5f, y, style);
}

}  // namespace assetgen
