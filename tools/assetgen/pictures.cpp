#include "tools/assetgen/pictures.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "tools/assetgen/stroke_font.h"

namespace assetgen {

namespace {

const Rgb blockBase[4] = {rgb(222, 58, 72), rgb(58, 186, 96), rgb(52, 116, 232), rgb(244, 196, 40)};
const Rgb StoneBase = rgb(138, 134, 128);
const Rgb BombRim = rgb(184, 188, 210);

// The raised rounded tile every coloured block and the stone share: dark rim,
// a face lit from the top left, and a soft gloss.
void drawTile(Canvas& c, float x, float y, Rgb base, int noiseSeed)
{
    const Rgb rim = scale(base, 0.38f);
    c.fillShape(
        x, y, x + 32, y + 32,
        [&](float px, float py) { return sdRoundRect(px, py, x, y, x + 32, y + 32, 7); },
        [&](float, float) { return rim; });
    const Rgb light = lighten(base, 0.35f), dark = scale(base, 0.72f);
    c.fillShape(
        x, y, x + 32, y + 32,
        [&](float px, float py) {
            return sdRoundRect(px, py, x + 1.5f, y + 1.5f, x + 30.5f, y + 30.5f, 5.5f);
        },
        [&](float px, float py) {
            const float t = ((px - x) + (py - y)) / 64.0f;
            Rgb col = mix(light, dark, t);
            if (noiseSeed) {
                // Stone grain: two octaves of value noise.
                const float n = smoothNoise(px / 3.0f, py / 3.0f, noiseSeed) * 0.6f +
                                smoothNoise(px / 1.3f, py / 1.3f, noiseSeed + 7) * 0.4f;
                col = scale(col, 0.78f + 0.4f * n);
            }
            return col;
        });
    // Inner face, a little inset, so the tile looks bevelled.
    c.fillShape(
        x, y, x + 32, y + 32,
        [&](float px, float py) { return sdRoundRect(px, py, x + 4.5f, y + 4.5f, x + 27.5f, y + 27.5f, 4); },
        [&](float, float py) { return mix(base, scale(base, 0.85f), (py - y) / 32.0f); },
        noiseSeed ? 0.35f : 0.9f);
    // Gloss across the top.
    c.fillShape(
        x, y, x + 32, y + 16,
        [&](float px, float py) { return sdRoundRect(px, py, x + 4, y + 3, x + 28, y + 11, 4); },
        [&](float, float py) { return lighten(base, 0.75f - (py - y) * 0.03f); }, noiseSeed ? 0.15f : 0.45f);
}

void drawSymbol(Canvas& c, float x, float y, int kind)
{
    const Rgb base = blockBase[kind];
    const Rgb face = lighten(base, 0.82f), edge = scale(base, 0.3f);
    const float cx = x + 16, cy = y + 16.5f;
    auto sd = [&](float px, float py) -> float {
        switch (kind) {
        case BlockRed:  // a ring, so it never passes for the square
            return std::fabs(sdCircle(px, py, cx, cy, 5.5f)) - 2.4f;
        case BlockGreen: return sdPolygon(px, py, {cx, cy - 8, cx + 8, cy + 6, cx - 8, cy + 6});
        case BlockBlue: return sdRoundRect(px, py, cx - 6.5f, cy - 6.5f, cx + 6.5f, cy + 6.5f, 1.5f);
        default: return sdPolygon(px, py, {cx, cy - 8.5f, cx + 8.5f, cy, cx, cy + 8.5f, cx - 8.5f, cy});
        }
    };
    c.fillShape(
        x, y, x + 32, y + 32, [&](float px, float py) { return sd(px, py) - 1.6f; },
        [&](float, float) { return edge; });
    c.fillShape(x, y, x + 32, y + 32, sd,
                [&](float, float py) { return mix(rgb(255, 255, 255), face, (py - y - 8) / 16); });
}

void drawStone(Canvas& c, float x, float y)
{
    drawTile(c, x, y, StoneBase, 31);
    // Cracks, so the stone never passes for a dull colour.
    const Rgb crack = rgb(52, 48, 46);
    const float pts[][4] = {
        {9, 6, 14, 13}, {14, 13, 12, 20}, {14, 13, 21, 16}, {21, 16, 26, 24}, {12, 20, 7, 25}};
    for (const auto& s : pts)
        c.fillShape(
            x, y, x + 32, y + 32,
            [&](float px, float py) {
                return sdSegment(px, py, x + s[0], y + s[1], x + s[2], y + s[3]) - 0.8f;
            },
            [&](float, float) { return crack; });
    // Light chips along the cracks' upper sides.
    for (const auto& s : pts)
        c.fillShape(
            x, y, x + 32, y + 32,
            [&](float px, float py) {
                return sdSegment(px, py, x + s[0] + 0.9f, y + s[1] - 0.9f, x + s[2] + 0.9f, y + s[3] - 0.9f) -
                       0.35f;
            },
            [&](float, float) { return rgb(196, 192, 184); }, 0.7f);
}

void drawBomb(Canvas& c, float x, float y)
{
    const float cx = x + 15, cy = y + 18.5f, r = 11.5f;
    // Fuse: a curved cord from the cap to the spark.
    const Rgb cord = rgb(150, 104, 56);
    c.fillShape(
        x, y, x + 32, y + 32,
        [&](float px, float py) {
            const float d1 = sdSegment(px, py, x + 21, y + 9, x + 23.5f, y + 5.5f);
            const float d2 = sdSegment(px, py, x + 23.5f, y + 5.5f, x + 26.5f, y + 4.5f);
            return std::min(d1, d2) - 1.4f;
        },
        [&](float, float) { return cord; });
    // Body: a dark sphere lit from the top left, with a light rim so that
    // it stands out in the dark well as well as on the menu.
    c.fillShape(
        x, y, x + 32, y + 32, [&](float px, float py) { return sdCircle(px, py, cx, cy, r + 1.3f); },
        [&](float, float) { return BombRim; });
    c.fillShape(
        x, y, x + 32, y + 32, [&](float px, float py) { return sdCircle(px, py, cx, cy, r); },
        [&](float px, float py) {
            const float d = hypotOf(px - (cx - 4), py - (cy - 4)) / (r * 1.6f);
            return mix(rgb(104, 104, 124), rgb(24, 24, 34), std::min(1.0f, d));
        });
    c.fillShape(
        x, y, x + 32, y + 32,
        [&](float px, float py) { return sdCircle(px, py, cx - 4.5f, cy - 4.5f, 3.0f); },
        [&](float, float) { return rgb(235, 235, 245); }, 0.8f);
    // Cap where the fuse enters.
    c.fillShape(
        x, y, x + 32, y + 32,
        [&](float px, float py) {
            return sdPolygon(
                px, py,
                {x + 17.5f, y + 8.5f, x + 21.5f, y + 5.5f, x + 24.5f, y + 9.5f, x + 20.5f, y + 12.5f});
        },
        [&](float, float) { return rgb(120, 120, 132); });
    // Spark: an orange star with a yellow heart.
    auto star = [&](float px, float py, float rOut, float rIn) {
        std::vector<float> p;
        for (int i = 0; i < 16; ++i) {
            const float a = i * 3.14159265f / 8, rr = (i % 2) ? rIn : rOut;
            p.push_back(x + 27 + rr * cosOf(a));
            p.push_back(y + 4.5f + rr * sinOf(a));
        }
        return sdPolygon(px, py, p);
    };
    c.fillShape(
        x, y, x + 32, y + 14, [&](float px, float py) { return star(px, py, 4.6f, 2.0f); },
        [&](float, float) { return rgb(255, 120, 24); });
    c.fillShape(
        x, y, x + 32, y + 14, [&](float px, float py) { return sdCircle(px, py, x + 27, y + 4.5f, 1.6f); },
        [&](float, float) { return rgb(255, 246, 150); });
}

// Glyph sheet cells: 24 x 34, capitals 26 high, drawn white towards a tint.
TextStyle sheetStyle(Rgb bottom)
{
    TextStyle s;
    s.capHeight = 26;
    s.widthScale = 4.0f / (26.0f / 6.0f);  // 4 px per unit: 16 px glyphs
    s.stroke = 3.6f;
    s.outline = 1.6f;
    s.top = rgb(255, 255, 255);
    s.bottom = bottom;
    s.rim = rgb(14, 14, 30);
    return s;
}

Canvas glyphSheet(const std::string& chars, Rgb tint)
{
    const TextStyle s = sheetStyle(tint);
    Canvas c(24 * static_cast<int>(chars.size()), 34);
    const float ink = textWidth("A", s);
    for (std::size_t i = 0; i < chars.size(); ++i)
        drawText(c, std::string(1, chars[i]), 24.0f * i + (24 - ink) * 0.5f, 4, s);
    return c;
}

// A ribbon-like rounded panel with a bright border, keyed outside.
void drawBannerPanel(Canvas& c, Rgb top, Rgb bottom, Rgb border)
{
    const float x0 = 4, y0 = 22, x1 = 252, y1 = 138;
    c.fillShape(
        0, 0, 256, 160, [&](float px, float py) { return sdRoundRect(px, py, x0, y0, x1, y1, 18); },
        [&](float, float) { return rgb(10, 8, 20); });
    c.fillShape(
        0, 0, 256, 160,
        [&](float px, float py) { return sdRoundRect(px, py, x0 + 2, y0 + 2, x1 - 2, y1 - 2, 16); },
        [&](float, float) { return border; });
    c.fillShape(
        0, 0, 256, 160,
        [&](float px, float py) { return sdRoundRect(px, py, x0 + 5, y0 + 5, x1 - 5, y1 - 5, 13); },
        [&](float px, float py) {
            // A faint woven texture over the gradient.
            const Rgb g = mix(top, bottom, (py - y0) / (y1 - y0));
            const int u = static_cast<int>(px) / 8, v = static_cast<int>(py) / 8;
            return scale(g, ((u + v) % 2) ? 1.0f : 0.93f);
        });
    c.fillShape(
        0, 0, 256, 160,
        [&](float px, float py) { return sdRoundRect(px, py, x0 + 10, y0 + 8, x1 - 10, y0 + 30, 10); },
        [&](float, float) { return rgb(255, 255, 255); }, 0.10f);
}

}  // namespace

int blockSheetX(int kind)
{
    switch (kind) {
    case BlockStone: return 160;
    case BlockBomb: return 128;
    default: return 32 * kind;
    }
}

Rgb blockBaseColour(int kind)
{
    switch (kind) {
    case BlockStone: return StoneBase;
    case BlockBomb: return BombRim;
    default: return blockBase[kind];
    }
}

void drawBlockCell(Canvas& canvas, int x, int y, int kind)
{
    if (kind == BlockStone) {
        drawStone(canvas, float(x), float(y));
    } else if (kind == BlockBomb) {
        drawBomb(canvas, float(x), float(y));
    } else {
        drawTile(canvas, float(x), float(y), blockBase[kind], 0);
        drawSymbol(canvas, float(x), float(y), kind);
    }
}

Canvas blockSheet()
{
    Canvas c(192, 32);
    for (int kind = 0; kind < 6; ++kind)
        drawBlockCell(c, blockSheetX(kind), 0, kind);
    return c;
}

Canvas digitSheet() { return glyphSheet("0123456789", rgb(255, 212, 96)); }

Canvas letterSheet() { return glyphSheet("ABCDEFGHIJKLMNOPQRSTUVWXYZ", rgb(150, 222, 255)); }

Canvas gameOverBanner(bool withPrompt)
{
    Canvas c(256, 160);
    drawBannerPanel(c, rgb(150, 30, 56), rgb(70, 12, 40), rgb(236, 184, 84));
    TextStyle big;
    big.capHeight = 30;
    big.widthScale = 0.7f;
    big.stroke = 4.6f;
    big.outline = 2.0f;
    big.tracking = 2.0f;
    big.top = rgb(255, 250, 236);
    big.bottom = rgb(255, 178, 120);
    big.rim = rgb(30, 6, 16);
    big.shadowDx = 2, big.shadowDy = 3;
    drawTextCentred(c, "GAME OVER", 128, 46, big);
    if (!withPrompt) return c;
    TextStyle small;
    small.capHeight = 12;
    small.stroke = 2.2f;
    small.outline = 1.2f;
    small.tracking = 2.0f;
    small.top = small.bottom = rgb(255, 226, 190);
    small.rim = rgb(30, 6, 16);
    drawTextCentred(c, "PRESS Z", 128, 100, small);
    return c;
}

Canvas gameStartBanner()
{
    Canvas c(256, 160);
    drawBannerPanel(c, rgb(26, 120, 168), rgb(18, 56, 120), rgb(250, 226, 120));
    TextStyle small;
    small.capHeight = 13;
    small.stroke = 2.4f;
    small.outline = 1.2f;
    small.tracking = 3.0f;
    small.top = small.bottom = rgb(210, 240, 255);
    small.rim = rgb(6, 16, 40);
    drawTextCentred(c, "GAME START", 128, 40, small);
    TextStyle big;
    big.capHeight = 40;
    big.widthScale = 0.8f;
    big.stroke = 6.0f;
    big.outline = 2.4f;
    big.tracking = 3.0f;
    big.top = rgb(255, 255, 240);
    big.bottom = rgb(255, 214, 90);
    big.rim = rgb(8, 18, 44);
    big.shadowDx = 2, big.shadowDy = 3;
    drawTextCentred(c, "READY!", 128, 68, big);
    return c;
}

namespace {

// The pause panel's look: a large word and a small line under it.
Canvas panelWithWords(const char* word, const char* line)
{
    Canvas c(256, 160);
    drawBannerPanel(c, rgb(72, 64, 120), rgb(32, 28, 70), rgb(200, 206, 232));
    TextStyle big;
    big.capHeight = 36;
    big.widthScale = 0.75f;
    big.stroke = 5.4f;
    big.outline = 2.2f;
    big.tracking = 3.0f;
    big.top = rgb(255, 255, 255);
    big.bottom = rgb(196, 206, 255);
    big.rim = rgb(14, 10, 36);
    big.shadowDx = 2, big.shadowDy = 3;
    drawTextCentred(c, word, 128, 46, big);
    TextStyle small;
    small.capHeight = 12;
    small.stroke = 2.2f;
    small.outline = 1.2f;
    small.tracking = 2.0f;
    small.top = small.bottom = rgb(226, 230, 255);
    small.rim = rgb(14, 10, 36);
    drawTextCentred(c, line, 128, 104, small);
    return c;
}

}  // namespace

Canvas pausePanel() { return panelWithWords("PAUSED", "PRESS P"); }

// The same panel asking before a game is given up (modern controls' Q).
Canvas quitQuestionPanel() { return panelWithWords("QUIT?", "Z YES   ESC NO"); }

Canvas nameCursor()
{
    Canvas c(24, 5, rgb(255, 214, 64));
    for (int x = 0; x < 24; ++x) {
        c.blend(x, 0, rgb(255, 246, 170), 1);
        c.blend(x, 4, rgb(196, 128, 20), 1);
    }
    return c;
}

}  // namespace assetgen
