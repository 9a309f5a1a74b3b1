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
