// Synthetic sprite sheets for the renderer tests: every cell or glyph is a
// solid colour of its own with key-green corners, so where a colour lands
// on the back buffer tells which cell was drawn and where.
#pragma once

#include "platform/headless.h"
#include "render/renderer.h"
#include "tests/render/pixels.h"

#include <gtest/gtest.h>

inline Rgb blockColour(int cell) { return Rgb{40 + 10 * cell, 10, 200}; }
inline Rgb digitColour(int digit) { return Rgb{5 + digit, 50, 60}; }
inline Rgb letterColour(int letter) { return Rgb{100 + letter, 70, 80}; }
const Rgb GameOverColour{11, 22, 33};
const Rgb GameStartColour{44, 55, 66};
const Rgb NameCursorColour{77, 88, 99};
const Rgb GameBgColour{3, 4, 5};
const Rgb TitleColour{6, 7, 8};
const Rgb RankBgColour{9, 10, 11};
const Rgb BackBufferFill{100, 255, 100};

constexpr int CellPixelsDrawn = 32 * 32 - 4;
constexpr int GlyphPixelsDrawn = 24 * 34 - 4;

// A sheet of `count` cells of w x h in one row; cell i has colour(i) and
// key-green corners. Keyed sheets get their key runs.
template <class ColourOf>
void makeSheet(Surface& sheet, int w, int h, int count, ColourOf colour, bool keyed = true)
{
    ASSERT_TRUE(sheet.createFilled(w * count, h, 0, 0, 0));
    for (int i = 0; i < count; ++i) {
        fillRect(sheet, w * i, 0, w, h, colour(i));
        setPixel(sheet, w * i, 0, KeyGreen);
        setPixel(sheet, w * i + w - 1, 0, KeyGreen);
        setPixel(sheet, w * i, h - 1, KeyGreen);
        setPixel(sheet, w * i + w - 1, h - 1, KeyGreen);
    }
    if (keyed) sheet.buildKeyRuns(0, 255, 0);
}

inline void makeAllSheets(Renderer& r)
{
    makeSheet(r.image(SlotBlocks), 32, 32, 6, blockColour);
    makeSheet(r.image(SlotDigits), 24, 34, 10, digitColour);
    makeSheet(r.image(SlotLetters), 24, 34, 26, letterColour);
    makeSheet(r.image(SlotGameOver), 256, 160, 1, [](int) { return GameOverColour; });
    makeSheet(r.image(SlotGameStart), 256, 160, 1, [](int) { return GameStartColour; });
    makeSheet(
        r.image(SlotNameCursor), 24, 5, 1, [](int) { return NameCursorColour; }, false);
    makeSheet(
        r.image(SlotGameBg), 640, 480, 1, [](int) { return GameBgColour; }, false);
    makeSheet(
        r.image(SlotTitle), 640, 480, 1, [](int) { return TitleColour; }, false);
    makeSheet(
        r.image(SlotRankBg), 320, 240, 1, [](int) { return RankBgColour; }, false);
}

// A renderer with a window, a light green back buffer and every sheet.
class RendererTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        headless::reset();
        renderer.attachWindow(platform::mainWindow());
        ASSERT_TRUE(renderer.createBackBuffer(640, 480, 100, 255, 100));
        makeAllSheets(renderer);
    }

    Surface& screen() { return renderer.backBuffer(); }

    // The colour covers exactly the w x h box at (x, y) with `count` pixels.
    void expectAt(const Rgb& colour, int x, int y, int w, int h, int count)
    {
        const Found f = find(screen(), colour);
        EXPECT_EQ(f.count, count);
        EXPECT_EQ(f.left, x);
        EXPECT_EQ(f.top, y);
        EXPECT_EQ(f.right, x + w);
        EXPECT_EQ(f.bottom, y + h);
    }
    void expectCell(const Rgb& colour, int x, int y) { expectAt(colour, x, y, 32, 32, CellPixelsDrawn); }
    void expectGlyph(const Rgb& colour, int x, int y) { expectAt(colour, x, y, 24, 34, GlyphPixelsDrawn); }
    // Nothing but the creation fill on the whole screen.
    void expectUntouched() { EXPECT_EQ(find(screen(), BackBufferFill).count, 640 * 480); }

    Renderer renderer;
};
