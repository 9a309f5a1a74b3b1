#include <algorithm>
#include <cmath>
#include <string>

#include "tools/assetgen/backgrounds.h"
#include "render/key_names_layout.h"
#include "game/options_view.h"
#include "tools/assetgen/pictures.h"
#include "tools/assetgen/stroke_font.h"

namespace assetgen {

namespace {

// Deep blue-violet cloth: over-and-under threads in a 16-pixel weave, kept
// low in contrast so that text and blocks stay the loudest things on screen.
Canvas wovenBackground(Rgb top, Rgb bottom)
{
    Canvas c(640, 480, top);
    for (int y = 0; y < 480; ++y) {
        const Rgb base = mix(top, bottom, y / 479.0f);
        for (int x = 0; x < 640; ++x) {
            const int u = x % 16, v = y % 16;
            const bool horizontalOver = ((x / 16) + (y / 16)) % 2 == 0;
            const bool onH = v >= 2 && v < 14, onV = u >= 2 && u < 14;
            float shade = 0.82f;  // the gaps between threads
            if (onH && (horizontalOver || !onV))
                shade = 0.94f + 0.1f * sinOf((v - 2 + 0.5f) / 12.0f * 3.14159265f);
            else if (onV)
                shade = 0.92f + 0.1f * sinOf((u - 2 + 0.5f) / 12.0f * 3.14159265f);
            c.blend(x, y, scale(base, shade), 1);
        }
    }
    return c;
}

}  // namespace

void drawPanel(Canvas& c, float x0, float y0, float x1, float y1, float opacity)
{
    c.fillShape(
        x0 - 2, y0 - 2, x1 + 2, y1 + 2,
        [&](float px, float py) {
            return sdRoundRect(px, py, x0 - 1.5f, y0 - 1.5f, x1 + 1.5f, y1 + 1.5f, 9.5f);
        },
        [&](float, float) { return rgb(120, 132, 196); }, 0.8f);
    c.fillShape(
        x0, y0, x1, y1, [&](float px, float py) { return sdRoundRect(px, py, x0, y0, x1, y1, 8); },
        [&](float, float py) { return mix(rgb(12, 14, 34), rgb(22, 18, 44), (py - y0) / (y1 - y0)); },
        opacity);
}

TextStyle labelStyle(float cap)
{
    TextStyle s;
    s.capHeight = cap;
    s.stroke = cap < 12 ? 1.7f : 2.3f;
    s.outline = 1.2f;
    s.tracking = cap < 12 ? 1.2f : 2.0f;
    s.top = rgb(255, 255, 255);
    s.bottom = rgb(176, 210, 255);
    s.rim = rgb(8, 8, 24);
    return s;
}

namespace {

// A sunken box for numbers: darker than a panel, no border highlight.
void drawInset(Canvas& c, float x0, float y0, float x1, float y1)
{
    c.fillShape(
        x0, y0, x1, y1, [&](float px, float py) { return sdRoundRect(px, py, x0, y0, x1, y1, 5); },
        [&](float, float py) { return mix(rgb(4, 4, 12), rgb(14, 16, 34), (py - y0) / (y1 - y0)); });
}

TextStyle headingStyle(float cap)
{
    TextStyle s;
    s.capHeight = cap;
    s.stroke = cap * 0.15f;
    s.outline = std::max(1.5f, cap * 0.055f);
    s.tracking = cap * 0.1f;
    s.top = rgb(255, 250, 220);
    s.bottom = rgb(255, 176, 64);
    s.rim = rgb(30, 12, 8);
    s.shadowDx = std::max(2.0f, cap * 0.05f);
    s.shadowDy = std::max(2.0f, cap * 0.07f);
    return s;
}

// A key top with a legend, for the help panel.
void drawKeycap(Canvas& c, float x, float y, const std::string& legend)
{
    const float w = 24, h = 22;
    c.fillShape(
        x, y, x + w, y + h + 3,
        [&](float px, float py) { return sdRoundRect(px, py, x, y + 2, x + w, y + h + 2, 5); },
        [&](float, float) { return rgb(40, 40, 60); });
    c.fillShape(
        x, y, x + w, y + h, [&](float px, float py) { return sdRoundRect(px, py, x, y, x + w, y + h, 5); },
        [&](float, float py) { return mix(rgb(236, 236, 246), rgb(170, 172, 196), (py - y) / h); });
    TextStyle s;
    s.capHeight = 11;
    s.stroke = 2.0f;
    s.outline = 0.0f;
    s.tracking = 0;
    s.top = s.bottom = rgb(24, 24, 44);
    drawTextCentred(c, legend, x + w / 2, y + 5.5f, s);
}

void drawKeyRow(Canvas& c, float y, const std::string& keys, const std::string& action)
{
    float x = 14;
    for (char k : keys) {
        drawKeycap(c, x, y, std::string(1, k));
        x += 28;
    }
    // A long action is narrowed to end inside the panel.
    constexpr float x0 = 78, room = 92;
    TextStyle style = labelStyle(11);
    const float width = textWidth(action, style);
    if (width > room) {
        style.widthScale *= room / width;
        style.tracking *= room / width;
    }
    drawText(c, action, x0, y + 5, style);
}

// A window onto the field: the exact well, with a bevelled frame outside it.
void drawWell(Canvas& c)
{
    const float x0 = 192, y0 = 48, x1 = 448, y1 = 432;
    c.fillShape(
        x0 - 7, y0 - 7, x1 + 7, y1 + 7,
        [&](float px, float py) { return sdRoundRect(px, py, x0 - 6, y0 - 6, x1 + 6, y1 + 6, 5); },
        [&](float px, float py) {
            const float t = ((px - x0) + (py - y0)) / 1280.0f;
            return mix(rgb(176, 184, 226), rgb(62, 64, 110), std::min(1.0f, t * 2));
        });
    c.fillShape(
        x0 - 4, y0 - 4, x1 + 4, y1 + 4,
        [&](float px, float py) { return sdRoundRect(px, py, x0 - 3, y0 - 3, x1 + 3, y1 + 3, 3); },
        [&](float, float) { return rgb(20, 20, 40); });
    for (int y = int(y0); y < int(y1); ++y)
        for (int x = int(x0); x < int(x1); ++x) {
            const int u = (x - int(x0)) % 32, v = (y - int(y0)) % 32;
            Rgb col = mix(rgb(12, 14, 30), rgb(20, 14, 36), (y - y0) / (y1 - y0));
            if (u == 0 || v == 0) col = mix(col, rgb(54, 60, 104), 0.5f);
            c.blend(x, y, col, 1);
        }
}

}  // namespace

namespace {

Canvas titleScreen(bool withKeys)
{
    Canvas c = wovenBackground(rgb(30, 36, 86), rgb(52, 22, 72));
    // A line of blocks above the name, as if a row were about to clear.
    const int pattern[8] = {BlockRed,  BlockGreen, BlockBlue,  BlockYellow,
                            BlockBomb, BlockBlue,  BlockStone, BlockRed};
    for (int i = 0; i < 8; ++i)
        drawBlockCell(c, 192 + 32 * i, 36, pattern[i]);
    // Falling pairs at the sides.
    drawBlockCell(c, 64, 200, BlockBlue);
    drawBlockCell(c, 64, 232, BlockYellow);
    drawBlockCell(c, 544, 176, BlockRed);
    drawBlockCell(c, 544, 208, BlockGreen);
    drawBlockCell(c, 96, 260, BlockStone);
    drawBlockCell(c, 512, 252, BlockBomb);

    TextStyle name = headingStyle(62);
    name.widthScale = 0.8f;
    name.top = rgb(255, 252, 230);
    name.bottom = rgb(255, 168, 52);
    drawTextCentred(c, "TESSALOOM", 320, 104, name);
    TextStyle sub = labelStyle(13);
    sub.tracking = 4;
    drawTextCentred(c, "A FALLING-PAIR PUZZLE", 320, 196, sub);

    // The menu: labels on the cursor rows (cursor at x 210, y 350 / 390 / 430).
    drawPanel(c, 196, 338, 444, 472, 0.7f);
    TextStyle item = labelStyle(22);
    item.stroke = 3.2f;
    item.outline = 1.6f;
    const char* labels[3] = {"START", "RANKING", "QUIT"};
    for (int i = 0; i < 3; ++i)
        drawText(c, labels[i], 254, 350 + 40 * i + 5, item);
    TextStyle hint = labelStyle(10);
    hint.bottom = rgb(220, 220, 240);
    if (withKeys) drawTextCentred(c, "^ _  CHOOSE     Z  DECIDE     Q  QUIT", 320, 306, hint);
    return c;
}

}  // namespace

Canvas titleBackground() { return titleScreen(true); }

Canvas rankingBackground()
{
    Canvas c = wovenBackground(rgb(26, 40, 80), rgb(50, 24, 70));
    drawTextCentred(c, "RANKING", 320, 28, headingStyle(40));
    TextStyle col = labelStyle(10);
    drawText(c, "NAME", 180, 90, col);
    drawText(c, "SCORE", 300, 90, col);
    const char* places[5] = {"1ST", "2ND", "3RD", "4TH", "5TH"};
    const Rgb medal[5] = {rgb(255, 206, 64), rgb(214, 222, 236), rgb(222, 140, 80), rgb(150, 160, 200),
                          rgb(150, 160, 200)};
    for (int i = 0; i < 5; ++i) {
        const float y = 110.0f + 60 * i;  // glyphs 34 high from here
        // Row stripe: names go at x 180..264, scores at 300..510.
        drawPanel(c, 64, y - 7, 576, y + 41, 0.75f);
        c.fillShape(
            66, y, 106, y + 40, [&](float px, float py) { return sdCircle(px, py, 86, y + 17, 13); },
            [&](float, float) { return scale(medal[i], 0.45f); });
        c.fillShape(
            66, y, 106, y + 40, [&](float px, float py) { return sdCircle(px, py, 86, y + 17, 11); },
            [&](float px, float py) {
                return mix(lighten(medal[i], 0.4f), medal[i], (py - y - 6) / 22 + (px - 76) / 60);
            });
        TextStyle p = labelStyle(20);
        p.top = lighten(medal[i], 0.5f);
        p.bottom = medal[i];
        p.stroke = 2.8f;
        drawText(c, places[i], 108, y + 7, p);
    }
    TextStyle foot = labelStyle(12);
    drawTextCentred(c, "Z  BACK TO TITLE", 320, 446, foot);
    return c;
}

// The keys as the game has always listed them.
const KeyRow DesignKeyRows[KeyRowCount] = {{"<>", "MOVE"}, {"_", "DROP"}, {"ZC", "TURN"}, {"Q", "QUIT"}};

Canvas gameBackground() { return gameBackground(DesignKeyRows); }

Canvas gameBackground(const KeyRow (&rows)[KeyRowCount])
{
    Canvas c = wovenBackground(rgb(28, 34, 80), rgb(46, 22, 66));
    drawWell(c);

    // Left panel: the keys and the rules in brief.
    drawPanel(c, 8, 12, 176, 468, 0.72f);
    TextStyle logo = headingStyle(17);
    logo.widthScale = 0.75f;
    drawTextCentred(c, "TESSALOOM", 92, 24, logo);
    TextStyle head = labelStyle(12);
    head.top = head.bottom = rgb(255, 214, 110);
    drawText(c, "KEYS", 16, 62, head);
    for (int i = 0; i < KeyRowCount; ++i)
        drawKeyRow(c, 84.0f + 30 * i, rows[i].keys, rows[i].action);
    drawText(c, "RULES", 16, 216, head);
    TextStyle small = labelStyle(9);
    small.widthScale = 0.75f;
    small.outline = 0.9f;
    small.tracking = 0.6f;
    for (int i = 0; i < 3; ++i)
        drawBlockCell(c, 16 + 32 * i, 236, BlockYellow);
    drawText(c, "3 IN A LINE CLEAR", 16, 274, small);
    drawBlockCell(c, 16, 300, BlockBomb);
    drawText(c, "CLEARS THE", 56, 304, small);
    drawText(c, "COLOUR BELOW", 56, 318, small);
    drawBlockCell(c, 16, 344, BlockStone);
    drawText(c, "BREAKS NEXT", 56, 348, small);
    drawText(c, "TO A CLEAR", 56, 362, small);
    drawText(c, "CHAINS SCORE", 16, 400, small);
    drawText(c, "MORE AND MORE!", 16, 414, small);

    // Right panel: score (digits x 462..629, y 85..119), next pair (cells at
    // (513, 185) and (545, 185)), level (digits end at 580, y 290) and the
    // cleared-block count (digits x 462..629, y 390..423). Labels sit above
    // the digit rows so numbers never cover them.
    drawPanel(c, 459, 52, 636, 128);
    drawText(c, "SCORE", 466, 60, head);
    drawInset(c, 460, 80, 633, 124);

    drawPanel(c, 497, 150, 593, 228);
    drawTextCentred(c, "NEXT", 545, 158, head);
    drawInset(c, 505, 178, 585, 224);

    drawPanel(c, 497, 256, 593, 332);
    drawTextCentred(c, "LEVEL", 545, 264, head);
    drawInset(c, 505, 285, 585, 328);

    drawPanel(c, 459, 356, 636, 432);
    drawText(c, "BLOCKS", 466, 364, head);
    drawInset(c, 460, 385, 633, 429);
    return c;
}

// The options screen: the title's cloth, a heading, and one row per entry
// (the game puts the bomb cursor at x 76 and the values at x 420).
namespace {

// A strip of a picture, whole width, rows y0 .. y0 + height.
Canvas strip(const Canvas& from, int y0, int height)
{
    Canvas c(from.width(), height, rgb(0, 0, 0));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < from.width(); ++x)
            c.blend(x, y, from.colourAt(x, y0 + y), 1.0f);
    return c;
}

TextStyle hintStyle()
{
    TextStyle s = labelStyle(10);
    s.bottom = rgb(220, 220, 240);
    return s;
}

Canvas optionsScreen(bool withFoot)
{
    Canvas c = wovenBackground(rgb(30, 36, 86), rgb(52, 22, 72));
    drawTextCentred(c, "OPTIONS", 320, 28, headingStyle(40));
    drawPanel(c, 64, 92, 576, 428, 0.72f);
    TextStyle item = labelStyle(18);
    item.stroke = 2.8f;
    const char* labels[9] = {"WINDOW SIZE",    "FULLSCREEN", "MUSIC VOLUME",
                             "EFFECTS VOLUME", "MUTE",       "CONTROLS",
                             "LANDING SHADOW", "KEYS",       "BACK"};
    for (int i = 0; i < 9; ++i)
        drawText(c, labels[i], 120, 100 + 36 * i + 9, item);
    if (withFoot)
        drawTextCentred(c, "^ _  CHOOSE    < >  CHANGE    Z  DECIDE    ESC  BACK", 320, 448, hintStyle());
    return c;
}

// The KEYS page: the options' cloth, a row per game key from y 84, 26
// pixels apart, the game drawing the keys at x 360 and the buttons at x 470
// (game/options_view.h).
Canvas keysScreen(bool withFoot)
{
    Canvas c = wovenBackground(rgb(30, 36, 86), rgb(52, 22, 72));
    drawTextCentred(c, "KEYS", 320, 10, headingStyle(36));
    drawPanel(c, 64, 78, 576, 428, 0.72f);
    TextStyle head = labelStyle(10);
    head.bottom = rgb(220, 220, 240);
    drawText(c, "KEY", 362, 62, head);
    drawText(c, "PAD", 472, 62, head);
    TextStyle item = labelStyle(13);
    const char* labels[13] = {
        "MOVE LEFT", "MOVE RIGHT", "UP",      "DOWN / FAST FALL", "TURN / DECIDE",     "TURN BACK", "QUIT",
        "PAUSE",     "MUTE",       "OPTIONS", "FULLSCREEN",       "RESET TO DEFAULTS", "BACK"};
    for (int i = 0; i < 13; ++i)
        drawText(c, labels[i], 120, 84 + 26 * i + 6, item);
    if (withFoot) drawTextCentred(c, "^ _  CHOOSE    Z  CHANGE    ESC  BACK", 320, 458, head);
    return c;
}

}  // namespace

Canvas optionsBackground() { return optionsScreen(true); }
Canvas keysBackground() { return keysScreen(true); }
// The game draws its own hint line over these when it names other keys.
Canvas optionsFootStrip() { return strip(optionsScreen(false), 445, 16); }
Canvas keysFootStrip() { return strip(keysScreen(false), 455, 16); }
Canvas titleKeysStrip() { return strip(titleScreen(false), 303, 16); }

Canvas hintWordSheet()
{
    Canvas c(96 * 5, 16);
    const char* words[5] = {"CHOOSE", "CHANGE", "DECIDE", "BACK", "QUIT"};
    for (int i = 0; i < 5; ++i)
        drawText(c, words[i], 96.0f * i + 2, 3, hintStyle());
    return c;
}

// What the last choice on the KEYS page did, one line each, centred.
Canvas keyWordSheet()
{
    Canvas c(320, 16 * 5);
    TextStyle w = labelStyle(10);
    w.top = rgb(255, 250, 220);
    w.bottom = rgb(255, 190, 90);
    const char* words[5] = {"PRESS A KEY OR A BUTTON", "KEY SET", "KEYS SWAPPED", "REFUSED  THAT KEY STAYS",
                            "DEFAULT KEYS BACK"};
    for (int i = 0; i < 5; ++i)
        drawTextCentred(c, words[i], 160, 16.0f * i + 3, w);
    return c;
}

// Values in the headings' warm colours, so they stand apart from the names.
Canvas optionValueSheet()
{
    Canvas c(848, 24);
    TextStyle v = labelStyle(16);
    v.stroke = 2.6f;
    v.top = rgb(255, 250, 220);
    v.bottom = rgb(255, 190, 90);
    const char* words[5] = {"AUTO", "ON", "OFF", "CLASSIC", "MODERN"};
    for (int i = 0; i < 5; ++i)
        drawText(c, words[i], 128.0f * i + 2, 3, v);
    const std::string glyphs = "0123456789X%.";
    for (int k = 0; k < 13; ++k)
        drawTextCentred(c, glyphs.substr(k, 1), 640 + 16.0f * k + 8, 3, v);
    return c;
}

Canvas keyNameSheet()
{
    using namespace keyNames;
    Canvas c(CellWidth * CellCount, CellHeight);
    TextStyle name = labelStyle(10);
    name.bottom = rgb(220, 220, 240);
    const auto cell = [&](int k, const std::string& text) {
        drawText(c, text, CellWidth * k + InkX, 3, name);
    };
    for (int k = 0; k < 26; ++k)
        cell(k, std::string(1, static_cast<char>('A' + k)));
    for (int k = 0; k < 10; ++k)
        cell(FirstDigit + k, std::string(1, static_cast<char>('0' + k)));
    for (int k = 0; k < NamedCount; ++k)
        cell(FirstNamed + k, NamedLabels[k]);
    for (int k = 0; k < ButtonCount; ++k)
        cell(FirstButton + k, ButtonLabels[k]);
    return c;
}

// What each control style does, one line each, below the last row.
Canvas controlsNotes()
{
    Canvas c(optionsLayout::NoteWidth, 2 * optionsLayout::NoteHeight);
    TextStyle note = labelStyle(7);
    note.stroke = 1.6f;
    note.outline = 1.0f;
    note.tracking = 1.5f;
    note.bottom = rgb(200, 204, 236);
    drawText(c, "CLASSIC: HELD ARROWS REPEAT AT ONCE", 2, 4, note);
    drawText(c, "MODERN: A TAP MOVES ONE COLUMN, UP DROPS, Q ASKS", 2, optionsLayout::NoteHeight + 4, note);
    return c;
}

Canvas optionsHint()
{
    Canvas c(128, 16);
    TextStyle hint = labelStyle(10);
    hint.bottom = rgb(220, 220, 240);
    drawText(c, "O  OPTIONS", 2, 3, hint);
    return c;
}

}  // namespace assetgen
