#include "tools/assetgen/overlays.h"

#include <cmath>
#include <string>

#include "render/overlay_layout.h"
#include "tools/assetgen/backgrounds.h"
#include "tools/assetgen/pictures.h"
#include "tools/assetgen/stroke_font.h"

namespace assetgen {

using namespace overlay;

namespace {

// The part of an opaque picture at (x, y), w x h.
Canvas cut(const Canvas& from, int x, int y, int w, int h)
{
    Canvas c(w, h, rgb(0, 0, 0));
    c.draw(from, -x, -y);
    return c;
}

// Warm glyphs with a dark rim: they read on dark cells and bright blocks.
// The rim is wide enough that no block under them, the white marks on the
// blocks included, comes within three pixels of the light strokes.
TextStyle chainStyle()
{
    TextStyle s;
    s.capHeight = 16;
    s.widthScale = 0.62f;
    s.stroke = 2.8f;
    s.outline = 3.2f;
    s.tracking = 1.5f;
    s.top = rgb(255, 255, 236);
    s.bottom = rgb(255, 176, 56);
    s.rim = rgb(24, 8, 4);
    return s;
}

// A pill of gold with a dark rim, for words that must stand out.
void drawGoldPill(Canvas& c, float x0, float y0, float x1, float y1, float r)
{
    c.fillShape(
        x0, y0, x1, y1, [&](float px, float py) { return sdRoundRect(px, py, x0, y0, x1, y1, r); },
        [&](float, float) { return rgb(40, 12, 8); });
    c.fillShape(
        x0, y0, x1, y1,
        [&](float px, float py) {
            return sdRoundRect(px, py, x0 + 1.5f, y0 + 1.5f, x1 - 1.5f, y1 - 1.5f, r - 1.5f);
        },
        [&](float, float py) { return mix(rgb(255, 240, 160), rgb(236, 150, 36), (py - y0) / (y1 - y0)); });
    c.fillShape(
        x0, y0, x1, y1,
        [&](float px, float py) {
            return sdRoundRect(px, py, x0 + 4, y0 + 2.5f, x1 - 4, y0 + (y1 - y0) * 0.45f, r * 0.6f);
        },
        [&](float, float) { return rgb(255, 255, 255); }, 0.25f);
}

TextStyle darkWordStyle(float cap)
{
    TextStyle s;
    s.capHeight = cap;
    s.stroke = cap < 12 ? 2.1f : 2.7f;
    s.outline = 0;
    s.tracking = 1.5f;
    s.top = s.bottom = rgb(92, 14, 30);
    return s;
}

// A ring along a rounded rectangle: dark, then light inside the dark.
void drawRing(Canvas& c, float x0, float y0, float x1, float y1, float r, Rgb light, float halfWidth)
{
    const auto ring = [=](float px, float py) { return std::fabs(sdRoundRect(px, py, x0, y0, x1, y1, r)); };
    c.fillShape(
        x0 - 4, y0 - 4, x1 + 4, y1 + 4, [&](float px, float py) { return ring(px, py) - halfWidth - 1.2f; },
        [&](float, float) { return rgb(16, 12, 24); });
    c.fillShape(
        x0 - 4, y0 - 4, x1 + 4, y1 + 4, [&](float px, float py) { return ring(px, py) - halfWidth; },
        [&](float, float) { return light; });
}

}  // namespace

Canvas chainWord()
{
    Canvas c(ChainWordWidth, ChainGlyphHeight);
    drawTextCentred(c, "CHAIN", ChainWordWidth / 2.0f, 5, chainStyle());
    return c;
}

Canvas chainDigits()
{
    const std::string glyphs = "0123456789+";
    Canvas c(ChainGlyphWidth * ChainGlyphCount, ChainGlyphHeight);
    TextStyle s = chainStyle();
    s.top = rgb(255, 255, 255);
    s.bottom = rgb(255, 220, 90);
    for (int i = 0; i < ChainGlyphCount; ++i)
        drawTextCentred(c, std::string(1, glyphs[i]), ChainGlyphWidth * (i + 0.5f), 5, s);
    return c;
}

Canvas levelUpBadge()
{
    Canvas c(LevelUpWidth, LevelUpHeight);
    drawGoldPill(c, 1, 1, LevelUpWidth - 1, LevelUpHeight - 1, 15);
    drawTextCentred(c, "LEVEL UP!", LevelUpWidth / 2.0f, 10, darkWordStyle(14));
    return c;
}

Canvas promptPatch()
{
    return cut(gameOverBanner(false), PromptPatchX, PromptPatchY, PromptPatchWidth, PromptPatchHeight);
}

Canvas recordRibbon()
{
    Canvas c(RecordRibbonWidth, RecordRibbonHeight);
    drawGoldPill(c, 1, 2, RecordRibbonWidth - 1, RecordRibbonHeight - 2, 9);
    drawTextCentred(c, "NEW HIGH SCORE", RecordRibbonWidth / 2.0f, 9, darkWordStyle(13));
    return c;
}

Canvas namePanel()
{
    Canvas c(NamePanelWidth, NamePanelHeight);
    const float w = NamePanelWidth, h = NamePanelHeight;
    drawPanel(c, 2, 2, w - 2, h - 2, 1.0f);
    TextStyle head = labelStyle(11);
    head.top = rgb(255, 240, 190);
    head.bottom = rgb(255, 196, 90);
    const float centre = w / 2;  // the middle letter's centre
    drawTextCentred(c, "ENTER YOUR NAME", centre, 7, head);
    // A sunken slot behind each letter (the letters stand at panel x 34,
    // 84 and 134, y 28, the cursor 40 pixels lower).
    for (int i = 0; i < 3; ++i) {
        const float x = 34.0f + 50 * i, y = 28;
        c.fillShape(
            x - 3, y - 3, x + 28, y + 48,
            [&](float px, float py) { return sdRoundRect(px, py, x - 2, y - 2, x + 26, y + 46, 4); },
            [&](float, float py) { return mix(rgb(2, 2, 8), rgb(10, 10, 26), (py - y) / 48); });
    }
    TextStyle keys = labelStyle(9);
    keys.widthScale = 0.75f;
    keys.tracking = 0.8f;
    drawText(c, "^_ LETTER", 14, 84, keys);
    const char* move = "<> MOVE";
    drawText(c, move, w - 14 - textWidth(move, keys), 84, keys);
    drawTextCentred(c, "Z SAVE", centre, 102, keys);
    return c;
}

Canvas nameFrame()
{
    Canvas c(NameFrameWidth, NameFrameHeight);
    drawRing(c, 2.5f, 2.5f, NameFrameWidth - 2.5f, NameFrameHeight - 2.5f, 5, rgb(255, 248, 200), 1.1f);
    return c;
}

Canvas playKeyPanel()
{
    const KeyRow rows[KeyRowCount] = {{"<>", "MOVE"}, {"_", "FAST FALL"}, {"ZC", "TURN"}, {"Q", "QUIT"}};
    return cut(gameBackground(rows), KeyPanelX, KeyPanelY, KeyPanelWidth, KeyPanelHeight);
}

Canvas moreKeyPanel()
{
    Canvas c = cut(gameBackground(), MoreKeysX, MoreKeysY, MoreKeysWidth, MoreKeysHeight);
    TextStyle key = labelStyle(9);
    key.widthScale = 0.75f;
    key.outline = 0.9f;
    key.tracking = 0.6f;
    key.top = key.bottom = rgb(255, 214, 110);  // the panel's heading colour
    TextStyle action = key;
    action.top = rgb(255, 255, 255);
    action.bottom = rgb(176, 210, 255);
    // Two lines, the keys in gold before what they do.
    const auto item = [&](const char* keys, const char* does, float x, float y) {
        drawText(c, keys, x, y, key);
        const float at = x + textWidth(keys, key) + 5;
        drawText(c, does, at, y, action);
        return at + textWidth(does, action) + 9;
    };
    item("M", "SOUND", item("P", "PAUSE", 4, 4) + 8, 4);
    item("F11", "FULLSCREEN", 4, 20);
    return c;
}

Canvas soundNotice()
{
    Canvas c(SoundNoticeWidth, 2 * SoundNoticeHeight);
    TextStyle s = labelStyle(12);
    const char* words[2] = {"SOUND OFF", "SOUND ON"};
    for (int i = 0; i < 2; ++i) {
        const float y = float(SoundNoticeHeight * i);
        drawPanel(c, 2, y + 2, SoundNoticeWidth - 2, y + SoundNoticeHeight - 2, 0.92f);
        drawTextCentred(c, words[i], SoundNoticeWidth / 2.0f, y + 9, s);
    }
    return c;
}

Canvas nameKeyPanel()
{
    const KeyRow rows[KeyRowCount] = {{"^_", "LETTER"}, {"<>", "MOVE"}, {"Z", "SAVE"}, {"Q", "QUIT"}};
    return cut(gameBackground(rows), KeyPanelX, KeyPanelY, KeyPanelWidth, KeyPanelHeight);
}

Canvas landingShadow()
{
    Canvas c(192, 32);
    for (int kind = 0; kind < 6; ++kind) {
        const float x = float(blockSheetX(kind));
        drawRing(c, x + 3, 3, x + 29, 29, 6, lighten(blockBaseColour(kind), 0.2f), 1.3f);
    }
    return c;
}

}  // namespace assetgen
