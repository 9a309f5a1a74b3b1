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
