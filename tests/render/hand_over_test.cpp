// The hand-over to the window: the window reads the picture where it was
// drawn while drawing goes on in a second buffer. What the window gets must
// be exactly what was drawn, frame after frame: a picture that builds on the
// one before still finds it, and only a picture known to be the same is
// handed over as unchanged (the headless window checks every such claim).
#include "tests/render/sheets.h"

#include <cstdint>
#include <vector>

namespace {

class HandOver : public RendererTest {
protected:
    std::vector<std::uint8_t> shown() const { return headless::lastFrame().pixels; }
    // A copy of the back buffer as drawn, through a renderer of its own, so
    // that looking at it touches nothing of `renderer`.
    static std::vector<std::uint8_t> pixelsOf(Renderer& r)
    {
        const Surface& s = r.backBuffer();
        return std::vector<std::uint8_t>(s.pixels(), s.pixels() + s.byteCount());
    }
    void presentAndCheck()
    {
        ASSERT_TRUE(renderer.present());
        EXPECT_EQ(headless::falseUnchangedClaims(), 0);
    }
};

}  // namespace

TEST_F(HandOver, TheSameTitleFrameAfterFrameIsHandedOverAsTheSamePicture)
{
    for (int frame = 0; frame < 4; ++frame) {
        renderer.drawTitleBackground();
        renderer.drawMenuCursor(9);
        presentAndCheck();
    }
    EXPECT_EQ(headless::framesPresented(), 4);
    // The cursor moves: a new picture, with the cursor only where it is now.
    renderer.drawTitleBackground();
    renderer.drawMenuCursor(1);
    presentAndCheck();
    EXPECT_EQ(find(screen(), blockColour(4)).count, CellPixelsDrawn);  // the bomb cell
    EXPECT_EQ(shown(), pixelsOf(renderer));
}

TEST_F(HandOver, APictureWithoutABackgroundBuildsOnTheOneBefore)
{
    renderer.drawGameBackground();
    renderer.drawBlock(192, 48, 1, -1);
    presentAndCheck();
    // No background this time (a scene whose picture is missing draws so):
    // the block of the frame before is still there under the new one.
    renderer.drawBlock(224, 48, 2, -1);
    presentAndCheck();
    EXPECT_EQ(find(screen(), blockColour(1)).count, CellPixelsDrawn);
    EXPECT_EQ(find(screen(), blockColour(2)).count, CellPixelsDrawn);
    EXPECT_EQ(shown(), pixelsOf(renderer));
}

TEST_F(HandOver, BlendingTheSameCellTwiceWithoutACoverIsANewPicture)
{
    renderer.drawBlock(0, 0, 1, 128);
    presentAndCheck();
    const std::vector<std::uint8_t> once = shown();
    renderer.drawBlock(0, 0, 1, 128);
    presentAndCheck();
    EXPECT_NE(shown(), once);  // the second blend darkens the first
    EXPECT_EQ(shown(), pixelsOf(renderer));
}

TEST_F(HandOver, AFrameThatDrawsNothingKeepsThePictureAndAChangeByHandIsShown)
{
    renderer.drawGameBackground();
    presentAndCheck();
    presentAndCheck();  // nothing drawn: the same picture
    EXPECT_EQ(headless::framesPresented(), 2);
    // Pixels changed by hand are a new picture, even with no copy.
    renderer.backBuffer().pixels()[0] ^= 0xFF;
    presentAndCheck();
    EXPECT_EQ(shown(), pixelsOf(renderer));
    // So is a picture loaded anew into a slot the same copies read.
    makeSheet(
        renderer.image(SlotGameBg), 640, 480, 1, [](int) { return TitleColour; }, false);
    renderer.drawGameBackground();
    presentAndCheck();
    EXPECT_EQ(find(screen(), GameBgColour).count, 0);
    EXPECT_EQ(shown(), pixelsOf(renderer));
}

// A background cover puts back only what was drawn over it since the last
// cover: every picture must still equal the same copies on a fresh screen,
// whatever was drawn before (cells hanging off the edges, gaps, blends,
// several covers in one picture).
TEST_F(HandOver, ACoverOverEarlierCellsLeavesExactlyTheNewPicture)
{
    Surface& background = renderer.image(SlotGameBg);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            setPixel(background, x, y, Rgb{x & 0xFF, y & 0xFF, (x * 7 + y) & 0xFF});
    const Surface& sheet = renderer.image(SlotBlocks);
    struct Cell {
        int x, y, code, alpha;
    };
    const std::vector<std::vector<Cell>> frames = {
        {{192, 48, 1, -1}, {224, 48, 2, -1}, {288, 48, 3, -1}, {192, 80, 0, 128}},
        {{-10, -20, 1, -1}, {630, 470, 2, -1}, {300, 200, 4, 200}},
        {},
        {{0, 0, 5, -1}, {32, 0, 5, -1}, {0, 32, 5, -1}, {32, 32, 5, -1}, {100, 448, 0, -1}},
        {{192, 48, 3, -1}},
    };
    for (std::size_t f = 0; f < frames.size(); ++f) {
        Surface expected;
        ASSERT_TRUE(expected.createFilled(640, 480, 0, 0, 0));
        background.blit(expected, 0, 0, 0, 0, 640, 480);
        for (const Cell& c : frames[f]) {
            if (c.alpha < 0)
                sheet.blitKeyed(expected, c.x, c.y, (c.code < 4 ? c.code : 9 - c.code) * 32, 0, 32, 32);
            else
                sheet.blitBlended(expected, c.x, c.y, (c.code < 4 ? c.code : 9 - c.code) * 32, 0, 32, 32,
                                  c.alpha);
        }
        // Odd frames draw an unrelated picture first and cover it again.
        if (f % 2 == 1) {
            renderer.drawGameBackground();
            renderer.drawBlock(400, 300, 1, -1);
            renderer.drawBlock(10, 10, 2, 100);
        }
        renderer.drawGameBackground();
        for (const Cell& c : frames[f])
            renderer.drawBlock(c.x, c.y, c.code, c.alpha);
        presentAndCheck();
        EXPECT_EQ(shown(),
                  std::vector<std::uint8_t>(expected.pixels(), expected.pixels() + expected.byteCount()))
            << "frame " << f;
    }
}

// The put-back of a cover waits for the copies that reach it. Whatever
// follows the cover (cells on the well's grid and off it, over each other,
// blended, glyphs, opaque pictures, pictures hanging off the screen, a
// second cover, a look at the back buffer midway, a frame without a
// cover), every picture must equal the same copies done one after another
// on a screen that holds exactly the picture before.
TEST_F(HandOver, CopiesAfterACoverShowWhatTheyWouldOnAFreshScreen)
{
    Surface& background = renderer.image(SlotGameBg);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            setPixel(background, x, y, Rgb{(x * 3) & 0xFF, y & 0xFF, (x + 5 * y) & 0xFF});
    const Surface& blocks = renderer.image(SlotBlocks);
    const Surface& digits = renderer.image(SlotDigits);
    const Surface& cursor = renderer.image(SlotNameCursor);
    Surface other;
    makeSheet(other, 40, 20, 2, [](int i) { return Rgb{200, 100 + i, 50}; });

    std::uint32_t seed = 12345;
    const auto next = [&seed](int n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<std::uint32_t>(n));
    };
    Surface expected;
    ASSERT_TRUE(expected.createFilled(640, 480, 0, 0, 0));
    for (int frame = 0; frame < 60; ++frame) {
        const bool cover = frame % 7 != 3;
        if (cover) {
            background.blit(expected, 0, 0, 0, 0, 640, 480);
            renderer.drawGameBackground();
        }
        const int copies = next(14);
        for (int k = 0; k < copies; ++k) {
            // Most on or near a corner of the well's grid of cells and half
            // rows, where copies of one frame and the ones before keep
            // overlapping; the rest anywhere, over the screen's edges too.
            const int where = next(5);
            int x = FieldLeft + 32 * next(3), y = FieldTop + 16 * next(6);
            if (where == 3) {
                x = FieldLeft - 40 + next(140);
                y = FieldTop - 40 + next(140);
            } else if (where == 4) {
                x = next(720) - 40;
                y = next(560) - 40;
            }
            const int code = next(6);
            const int sheetX = (code < 4 ? code : 9 - code) * 32;
            switch (next(7)) {
            case 0:
            case 1:
            case 2:
                blocks.blitKeyed(expected, x, y, sheetX, 0, 32, 32);
                renderer.drawBlock(x, y, code, -1);
                break;
            case 3: {
                const int alpha = 1 + next(255);
                blocks.blitBlended(expected, x, y, sheetX, 0, 32, 32, alpha);
                renderer.drawBlock(x, y, code, alpha);
                break;
            }
            case 4:
                digits.blitKeyed(expected, x, y, 24 * code, 0, 24, 34);
                renderer.drawDigit(static_cast<char>('0' + code), x, y);
                break;
            case 5:
                cursor.blit(expected, x, y, 0, 0, cursor.width(), cursor.height());
                renderer.drawNameCursor(x, y);
                break;
            default: {
                const bool keyed = next(2) == 0;
                if (keyed)
                    other.blitKeyed(expected, x, y, 40 * (code % 2), 0, 40, 20);
                else
                    other.blit(expected, x, y, 40 * (code % 2), 0, 40, 20);
                renderer.drawOther(other, x, y, 40 * (code % 2), 0, 40, 20, keyed);
                break;
            }
            }
            if (next(40) == 0) {
                background.blit(expected, 0, 0, 0, 0, 640, 480);
                renderer.drawGameBackground();  // a second cover in one picture
            }
            if (next(60) == 0) {
                ASSERT_EQ(
                    pixelsOf(renderer),
                    std::vector<std::uint8_t>(expected.pixels(), expected.pixels() + expected.byteCount()))
                    << "frame " << frame << " midway";
            }
        }
        presentAndCheck();
        ASSERT_EQ(shown(),
                  std::vector<std::uint8_t>(expected.pixels(), expected.pixels() + expected.byteCount()))
            << "frame " << frame;
    }
}

// A picture drawn off the grid the put-back keeps covers parts of its
// squares: the rest of each must still be put back. The back buffer of the
// third frame is the one the first frame's block was drawn in.
TEST_F(HandOver, APictureOffThePutBackGridLeavesNoOlderPixelsBeside)
{
    Surface panel;
    makeSheet(
        panel, 40, 20, 1,
        [](int) {
            return Rgb{1, 2, 250};
        },
        false);
    renderer.drawGameBackground();
    renderer.drawBlock(FieldLeft, FieldTop, 1, -1);
    presentAndCheck();
    renderer.drawGameBackground();
    presentAndCheck();
    renderer.drawGameBackground();
    renderer.drawOther(panel, FieldLeft + 5, FieldTop, 0, 0, 40, 20, false);  // opaque
    renderer.drawDigit('2', FieldLeft + 9, FieldTop + 20);                    // keyed
    presentAndCheck();
    EXPECT_EQ(find(screen(), blockColour(1)).count, 0);
    expectAt(Rgb{1, 2, 250}, FieldLeft + 5, FieldTop, 40, 20, 40 * 20 - 4);  // green corners, copied
    expectGlyph(digitColour(2), FieldLeft + 9, FieldTop + 20);
}

// A back buffer too wide to owe its put-back square by square puts the
// held parts back at the cover, with the same pictures as a result.
TEST_F(HandOver, AVeryWideScreenPutsBackAtTheCover)
{
    ASSERT_TRUE(renderer.createBackBuffer(1100, 64, 0, 0, 0));
    Surface& background = renderer.image(SlotGameBg);
    ASSERT_TRUE(background.createFilled(1100, 64, 0, 0, 0));
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 1100; ++x)
            setPixel(background, x, y, Rgb{x & 0xFF, (x >> 8) * 40, y});
    const Surface& blocks = renderer.image(SlotBlocks);
    for (int frame = 0; frame < 4; ++frame) {
        Surface expected;
        ASSERT_TRUE(expected.createFilled(1100, 64, 0, 0, 0));
        background.blit(expected, 0, 0, 0, 0, 1100, 64);
        const int x = 1000 - 300 * frame;
        blocks.blitKeyed(expected, x, 16, 32, 0, 32, 32);
        renderer.drawGameBackground();
        renderer.drawBlock(x, 16, 1, -1);
        presentAndCheck();
        ASSERT_EQ(shown(),
                  std::vector<std::uint8_t>(expected.pixels(), expected.pixels() + expected.byteCount()))
            << "frame " << frame;
    }
}
