#include "render/surface.h"
#include "tests/render/pixels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <vector>

namespace {

// A picture whose every pixel tells where it came from.
void paintPattern(Surface& s, int seed)
{
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            setPixel(s, x, y, Rgb{seed + x, 100 + y, 7});
}

std::vector<std::uint8_t> bytesOf(const Surface& s)
{
    return std::vector<std::uint8_t>(s.pixels(), s.pixels() + s.byteCount());
}

}  // namespace

TEST(SurfaceLayout, FilledPixelsAreStoredBlueGreenRed)
{
    Surface s;
    ASSERT_TRUE(s.createFilled(2, 1, 1, 2, 3));
    EXPECT_EQ(bytesOf(s), (std::vector<std::uint8_t>{3, 2, 1, 3, 2, 1}));
    EXPECT_EQ(s.header().size, 40u);
    EXPECT_EQ(s.header().width, 2);
    EXPECT_EQ(s.header().height, 1);
    EXPECT_EQ(s.header().planes, 1);
    EXPECT_EQ(s.header().bitCount, 24);
    EXPECT_EQ(s.header().compression, 0u);
}

TEST(SurfaceLayout, BackBufferIsLightGreenEverywhere)
{
    Surface s;
    ASSERT_TRUE(s.createFilled(640, 480, 100, 255, 100));
    ASSERT_EQ(s.byteCount(), 640u * 480u * 3u);
    for (std::size_t i = 0; i < s.byteCount(); i += 3) {
        ASSERT_EQ(s.pixels()[i], 100);
        ASSERT_EQ(s.pixels()[i + 1], 255);
        ASSERT_EQ(s.pixels()[i + 2], 100);
    }
}

TEST(SurfaceLayout, EveryRowOfAnOddSizedFillHoldsTheColour)
{
    Surface s;
    ASSERT_TRUE(s.createFilled(5, 3, 7, 8, 9));
    std::vector<std::uint8_t> expected;
    for (int i = 0; i < 5 * 3; ++i)
        expected.insert(expected.end(), {9, 8, 7});
    EXPECT_EQ(bytesOf(s), expected);
    // Refilled smaller and in another colour: nothing of the old fill stays.
    ASSERT_TRUE(s.createFilled(1, 2, 1, 2, 3));
    EXPECT_EQ(bytesOf(s), (std::vector<std::uint8_t>{3, 2, 1, 3, 2, 1}));
}

TEST(SurfaceLayout, RowsAreBottomUpWithStrideWidthTimesThree)
{
    Surface s;
    ASSERT_TRUE(s.createFilled(4, 2, 0, 0, 0));
    EXPECT_EQ(s.pixelOffset(0, 0), 12u);  // top-left: start of memory row 1
    EXPECT_EQ(s.pixelOffset(0, 1), 0u);   // bottom-left
    setPixel(s, 0, 0, Rgb{9, 8, 7});
    EXPECT_EQ(s.pixels()[12], 7);
    EXPECT_EQ(s.pixels()[14], 9);
}

TEST(SurfaceLayout, SizesOutsideTheLimitGiveAnEmptySurface)
{
    Surface s;
    for (auto wh : std::vector<std::pair<int, int>>{
             {0, 1}, {1, 0}, {-4, 4}, {4, -4}, {4097, 4}, {4, 4097}, {INT_MIN, INT_MIN}}) {
        ASSERT_TRUE(s.createFilled(4, 4, 1, 1, 1));
        EXPECT_FALSE(s.createFilled(wh.first, wh.second, 1, 2, 3));
        EXPECT_TRUE(s.isEmpty());
        EXPECT_EQ(s.pixels(), nullptr);
        EXPECT_EQ(s.width(), 0);
    }
}

TEST(SurfaceLayout, ReleaseEmptiesAndIsHarmlessTwice)
{
    Surface s;
    s.release();
    ASSERT_TRUE(s.createFilled(4, 4, 0, 255, 0));
    s.buildKeyRuns(0, 255, 0);
    ASSERT_TRUE(s.hasKeyRuns());
    s.release();
    s.release();
    EXPECT_TRUE(s.isEmpty());
    EXPECT_FALSE(s.hasKeyRuns());
    EXPECT_EQ(s.header().size, 0u);
    EXPECT_EQ(s.keyRunCount(0), 0);
}

TEST(Blit, CopiesTheRectangleAndLeavesTheRestAlone)
{
    Surface src, dst;
    ASSERT_TRUE(src.createFilled(8, 6, 0, 0, 0));
    paintPattern(src, 10);
    ASSERT_TRUE(dst.createFilled(10, 10, 1, 2, 3));
    EXPECT_TRUE(src.blit(dst, 4, 5, 2, 1, 3, 2));
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            const bool inside = x >= 4 && x < 7 && y >= 5 && y < 7;
            const Rgb expected = inside ? pixelAt(src, x - 2, y - 4) : Rgb{1, 2, 3};
            ASSERT_EQ(pixelAt(dst, x, y), expected) << x << "," << y;
        }
    }
}

TEST(Blit, WholeRowsCopyTheWholePicture)
{
    Surface src, dst;
    ASSERT_TRUE(src.createFilled(16, 5, 0, 0, 0));
    paintPattern(src, 3);
    ASSERT_TRUE(dst.createFilled(16, 5, 9, 9, 9));
    EXPECT_TRUE(src.blit(dst, 0, 0, 0, 0, 16, 5));
    EXPECT_EQ(bytesOf(dst), bytesOf(src));
}

TEST(Blit, EmptySourceOrDestinationDrawsNothingAndFails)
{
    Surface empty, full;
    ASSERT_TRUE(full.createFilled(4, 4, 5, 5, 5));
    full.buildKeyRuns(0, 255, 0);
    const auto before = bytesOf(full);
    EXPECT_FALSE(empty.blit(full, 0, 0, 0, 0, 4, 4));
    EXPECT_FALSE(empty.blitKeyed(full, 0, 0, 0, 0, 4, 4));
    EXPECT_FALSE(empty.blitBlended(full, 0, 0, 0, 0, 4, 4, 128));
    EXPECT_FALSE(full.blit(empty, 0, 0, 0, 0, 4, 4));
    EXPECT_FALSE(full.blitKeyed(empty, 0, 0, 0, 0, 4, 4));
    EXPECT_FALSE(full.blitBlended(empty, 0, 0, 0, 0, 4, 4, 128));
    EXPECT_EQ(bytesOf(full), before);
}

TEST(Blend, FollowsTheShiftArithmeticIncludingItsRounding)
{
    struct Case {
        int source, old, alpha, expected;
    };
    const Case cases[] = {
        {200, 100, 128, 150},                   // 100 * 128 >> 8 = 50
        {100, 200, 128, 150},                   // -100 * 128 >> 8 = -50
        {0, 1, 128, 0},                         // -128 >> 8 rounds down to -1
        {255, 0, 256, 255},                     // full weight reproduces the source
        {0, 255, 256, 0},     {10, 20, 1, 19},  // -10 >> 8 = -1: even the faintest step moves down
        {20, 10, 1, 10},                        // +10 >> 8 = 0
        {77, 33, 0, 33},                        // no weight, no change
    };
    for (const Case& c : cases) {
        Surface src, dst;
        ASSERT_TRUE(src.createFilled(4, 1, c.source, c.source, c.source));
        src.buildKeyRuns(0, 255, 0);
        ASSERT_TRUE(dst.createFilled(4, 1, c.old, 0, 255));
        EXPECT_TRUE(src.blitBlended(dst, 0, 0, 0, 0, 4, 1, c.alpha));
        const Rgb p = pixelAt(dst, 3, 0);
        EXPECT_EQ(p[0], c.expected) << c.source << " over " << c.old << " at " << c.alpha;
        // Each channel mixes on its own.
        EXPECT_EQ(p[1], 0 + (((c.source - 0) * c.alpha) >> 8));
        EXPECT_EQ(p[2], 255 + (((c.source - 255) * c.alpha) >> 8));
    }
}

TEST(Blend, KeyPixelsStayOutAndASourceWithoutRunsIsCopiedOpaque)
{
    Surface src, dst;
    ASSERT_TRUE(src.createFilled(4, 1, 200, 200, 200));
    setPixel(src, 1, 0, KeyGreen);
    ASSERT_TRUE(dst.createFilled(4, 1, 100, 100, 100));
    // No runs yet: a plain copy, key green and alpha ignored.
    EXPECT_TRUE(src.blitBlended(dst, 0, 0, 0, 0, 4, 1, 128));
    EXPECT_EQ(pixelAt(dst, 0, 0), (Rgb{200, 200, 200}));
    EXPECT_EQ(pixelAt(dst, 1, 0), KeyGreen);

    src.buildKeyRuns(0, 255, 0);
    ASSERT_TRUE(dst.createFilled(4, 1, 100, 100, 100));
    EXPECT_TRUE(src.blitBlended(dst, 0, 0, 0, 0, 4, 1, 128));
    EXPECT_EQ(pixelAt(dst, 0, 0), (Rgb{150, 150, 150}));
    EXPECT_EQ(pixelAt(dst, 1, 0), (Rgb{100, 100, 100}));
    EXPECT_EQ(pixelAt(dst, 2, 0), (Rgb{150, 150, 150}));
}

TEST(KeyRuns, EachStretchOfOtherColoursIsOneRunPerRow)
{
    Surface s;
    ASSERT_TRUE(s.createFilled(8, 4, 1, 1, 1));
    // Picture row 0 is memory row 3, and so on.
    fillRect(s, 0, 0, 8, 1, KeyGreen);  // all key: no runs
    setPixel(s, 0, 1, KeyGreen);        // key, then colour to the row's end
    setPixel(s, 3, 1, KeyGreen);
    setPixel(s, 2, 2, KeyGreen);        // colour at both ends
    setPixel(s, 5, 2, Rgb{0, 255, 1});  // near-green is not key
                                        // picture row 3 has no key pixels
    s.buildKeyRuns(0, 255, 0);
    ASSERT_TRUE(s.hasKeyRuns());

    EXPECT_EQ(s.keyRunCount(3), 0);
    EXPECT_EQ(s.keyRunsOfRow(3), nullptr);

    ASSERT_EQ(s.keyRunCount(2), 2);
    EXPECT_EQ(s.keyRunsOfRow(2)[0].first, 1);
    EXPECT_EQ(s.keyRunsOfRow(2)[0].end, 3);
    EXPECT_EQ(s.keyRunsOfRow(2)[1].first, 4);
    EXPECT_EQ(s.keyRunsOfRow(2)[1].end, 8);  // ends exactly at the width

    ASSERT_EQ(s.keyRunCount(1), 2);
    EXPECT_EQ(s.keyRunsOfRow(1)[0].first, 0);
    EXPECT_EQ(s.keyRunsOfRow(1)[0].end, 2);
    EXPECT_EQ(s.keyRunsOfRow(1)[1].first, 3);
    EXPECT_EQ(s.keyRunsOfRow(1)[1].end, 8);

    ASSERT_EQ(s.keyRunCount(0), 1);
    EXPECT_EQ(s.keyRunsOfRow(0)[0].first, 0);
    EXPECT_EQ(s.keyRunsOfRow(0)[0].end, 8);

    EXPECT_EQ(s.keyRunCount(-1), 0);
    EXPECT_EQ(s.keyRunCount(4), 0);
}

TEST(KeyRuns, RebuildingReplacesTheTableAndAnEmptySurfaceGetsNone)
{
    Surface s;
    s.buildKeyRuns(0, 255, 0);
    EXPECT_FALSE(s.hasKeyRuns());
    ASSERT_TRUE(s.createFilled(4, 1, 0, 255, 0));
    s.buildKeyRuns(0, 255, 0);
    EXPECT_EQ(s.keyRunCount(0), 0);
    s.buildKeyRuns(9, 9, 9);  // another key: the whole row is colour
    EXPECT_EQ(s.keyRunCount(0), 1);
}

TEST(BlitKeyed, CornersOfAKeyedCellLeaveTheDestinationAlone)
{
    Surface sheet, dst;
    ASSERT_TRUE(sheet.createFilled(32, 32, 50, 60, 70));
    for (int x : {0, 31})
        for (int y : {0, 31})
            setPixel(sheet, x, y, KeyGreen);
    sheet.buildKeyRuns(0, 255, 0);
    ASSERT_TRUE(dst.createFilled(40, 40, 1, 2, 3));
    EXPECT_TRUE(sheet.blitKeyed(dst, 4, 4, 0, 0, 32, 32));
    const Found drawn = find(dst, Rgb{50, 60, 70});
    EXPECT_EQ(drawn.count, 32 * 32 - 4);
    EXPECT_EQ(drawn.left, 4);
    EXPECT_EQ(drawn.top, 4);
    EXPECT_EQ(drawn.right, 36);
    EXPECT_EQ(drawn.bottom, 36);
    for (int x : {4, 35})
        for (int y : {4, 35})
            EXPECT_EQ(pixelAt(dst, x, y), (Rgb{1, 2, 3}));
}

TEST(BlitKeyed, RunsAreCutToTheSourceRectangle)
{
    Surface sheet, dst;
    ASSERT_TRUE(sheet.createFilled(12, 1, 0, 0, 0));
    paintPattern(sheet, 10);
    setPixel(sheet, 0, 0, KeyGreen);  // one run [1, 12)
    sheet.buildKeyRuns(0, 255, 0);
    ASSERT_TRUE(dst.createFilled(12, 1, 1, 1, 1));
    // Starts in the middle of the run and stops before its end.
    EXPECT_TRUE(sheet.blitKeyed(dst, 0, 0, 4, 0, 5, 1));
    for (int x = 0; x < 12; ++x) {
        const Rgb expected = x < 5 ? pixelAt(sheet, x + 4, 0) : Rgb{1, 1, 1};
        EXPECT_EQ(pixelAt(dst, x, 0), expected) << x;
    }
}

// A sheet whose rows hold many runs of every length, from one pixel to
// wider than the copies' 128-byte moves: row 0 all key, row 1 no key at
// all, row 2 runs only at its start and end, rows 3.. runs and gaps of
// lengths 1, 2, 3, ... growing down the sheet.
constexpr int RunSheetWidth = 150, RunSheetHeight = 8;
void makeRunSheet(Surface& sheet)
{
    ASSERT_TRUE(sheet.createFilled(RunSheetWidth, RunSheetHeight, 0, 0, 0));
    paintPattern(sheet, 3);
    fillRect(sheet, 0, 0, RunSheetWidth, 1, KeyGreen);
    for (int x = 5; x < RunSheetWidth - 7; ++x)
        setPixel(sheet, x, 2, KeyGreen);
    for (int y = 3; y < RunSheetHeight; ++y) {
        int x = 0, length = 1;
        for (bool key = y % 2 == 0; x < RunSheetWidth; key = !key, x += length, length += y - 2)
            if (key) fillRect(sheet, x, y, std::min(length, RunSheetWidth - x), 1, KeyGreen);
    }
    sheet.buildKeyRuns(0, 255, 0);
}

// Cuts of every odd width, and of a cell's, start and end in runs, in gaps
// and on their edges, and hang over the destination's sides. Keyed and
// blended copies must touch exactly the model's pixels.
TEST(BlitKeyed, CutsThroughManyRunsMatchAPixelModel)
{
    constexpr int W = RunSheetWidth, H = RunSheetHeight;
    Surface sheet;
    makeRunSheet(sheet);
    const Rgb background{90, 91, 92};
    const int sources[] = {0, 1, 4, 5, 6, 15, 16, 17, 31, 32, 33, 37, 47, 48, 70, 99, 143};
    const int widths[] = {1, 3, 5, 11, 32, 33, 45, 63, 149};
    const int places[] = {-20, 0, 9, 40};
    for (int mode = 1; mode <= 2; ++mode)
        for (int sx : sources)
            for (int w : widths)
                for (int x : places) {
                    Surface dst;
                    ASSERT_TRUE(dst.createFilled(64, H + 2, background[0], background[1], background[2]));
                    const bool ok = mode == 1 ? sheet.blitKeyed(dst, x, 1, sx, 0, w, H)
                                              : sheet.blitBlended(dst, x, 1, sx, 0, w, H, 77);
                    ASSERT_TRUE(ok);
                    for (int Y = 0; Y < dst.height(); ++Y)
                        for (int X = 0; X < dst.width(); ++X) {
                            Rgb expected = background;
                            const int px = sx + X - x, py = Y - 1;
                            if (X >= x && X < x + w && px < W && py >= 0 && py < H &&
                                pixelAt(sheet, px, py) != KeyGreen) {
                                const Rgb s = pixelAt(sheet, px, py);
                                for (int k = 0; k < 3; ++k)
                                    expected[k] = mode == 1
                                                      ? s[k]
                                                      : background[k] + (((s[k] - background[k]) * 77) >> 8);
                            }
                            ASSERT_EQ(pixelAt(dst, X, Y), expected)
                                << "mode " << mode << " from " << sx << " width " << w << " at " << x
                                << " pixel " << X << "," << Y;
                        }
                }
}

// A keyed copy over what should be another picture writes each pixel once:
// the same as putting that picture back under the rectangle and copying
// keyed over it, for every cut, at every edge, with the picture beneath
// larger than the destination (its own row length), and in the cases that
// fall back to the two copies.
TEST(BlitKeyedOver, EqualsThePictureBeneathThenTheKeyedCopy)
{
    Surface sheet, under;
    makeRunSheet(sheet);
    ASSERT_TRUE(under.createFilled(70, 13, 0, 0, 0));
    paintPattern(under, 60);
    const int sources[] = {0, 4, 5, 16, 33, 99, 143};
    const int widths[] = {1, 5, 32, 45, 149};
    const int places[] = {-20, -1, 0, 9, 40, 63};
    for (int sx : sources)
        for (int w : widths)
            for (int x : places)
                for (int y : {-3, 0, 4}) {
                    Surface expected, dst;
                    ASSERT_TRUE(expected.createFilled(64, 10, 1, 2, 3));
                    ASSERT_TRUE(dst.createFilled(64, 10, 1, 2, 3));
                    PixelRect area{};
                    if (sheet.landingArea(expected, x, y, sx, 0, w, RunSheetHeight, area))
                        under.blit(expected, area.x, area.y, area.x, area.y, area.width, area.height);
                    sheet.blitKeyed(expected, x, y, sx, 0, w, RunSheetHeight);
                    ASSERT_TRUE(sheet.blitKeyedOver(dst, x, y, sx, 0, w, RunSheetHeight, under));
                    ASSERT_EQ(bytesOf(dst), bytesOf(expected))
                        << "from " << sx << " width " << w << " at " << x << "," << y;
                }
    // Beneath smaller than the destination, and a copy within one picture.
    Surface small, dst, expected;
    ASSERT_TRUE(small.createFilled(20, 5, 9, 9, 9));
    ASSERT_TRUE(dst.createFilled(64, 10, 1, 2, 3));
    ASSERT_TRUE(expected.createFilled(64, 10, 1, 2, 3));
    small.blit(expected, 10, 2, 10, 2, 40, 8);
    sheet.blitKeyed(expected, 10, 2, 20, 0, 40, 8);
    ASSERT_TRUE(sheet.blitKeyedOver(dst, 10, 2, 20, 0, 40, 8, small));
    EXPECT_EQ(bytesOf(dst), bytesOf(expected));
    Surface self, selfExpected;
    makeRunSheet(self);
    makeRunSheet(selfExpected);
    under.blit(selfExpected, 30, 1, 30, 1, 32, 6);
    selfExpected.blitKeyed(selfExpected, 30, 1, 2, 0, 32, 6);
    ASSERT_TRUE(self.blitKeyedOver(self, 30, 1, 2, 0, 32, 6, under));
    EXPECT_EQ(bytesOf(self), bytesOf(selfExpected));
}

TEST(BlitKeyedOver, NothingLeftAfterClippingDrawsNothingAndEmptyPicturesFail)
{
    Surface sheet, under, dst, empty;
    makeRunSheet(sheet);
    ASSERT_TRUE(under.createFilled(64, 10, 5, 5, 5));
    ASSERT_TRUE(dst.createFilled(64, 10, 1, 2, 3));
    const auto before = bytesOf(dst);
    EXPECT_TRUE(sheet.blitKeyedOver(dst, 64, 0, 0, 0, 32, 8, under));
    EXPECT_TRUE(sheet.blitKeyedOver(dst, 0, -8, 0, 0, 32, 8, under));
    EXPECT_TRUE(sheet.blitKeyedOver(dst, 0, 0, RunSheetWidth, 0, 32, 8, under));
    EXPECT_EQ(bytesOf(dst), before);
    PixelRect area{};
    EXPECT_FALSE(sheet.landingArea(dst, 64, 0, 0, 0, 32, 8, area));
    EXPECT_FALSE(sheet.blitKeyedOver(empty, 0, 0, 0, 0, 32, 8, under));
    EXPECT_FALSE(empty.blitKeyedOver(dst, 0, 0, 0, 0, 32, 8, under));
    // Cut on the left and at the bottom: the area is what is written.
    ASSERT_TRUE(sheet.landingArea(dst, -5, 6, 0, 0, 32, 8, area));
    EXPECT_EQ(area.x, 0);
    EXPECT_EQ(area.y, 6);
    EXPECT_EQ(area.width, 27);
    EXPECT_EQ(area.height, 4);
}

TEST(BlitKeyed, WithoutRunsEveryPixelIsCopiedKeyGreenIncluded)
{
    Surface sheet, dst;
    ASSERT_TRUE(sheet.createFilled(4, 4, 0, 255, 0));
    ASSERT_TRUE(dst.createFilled(4, 4, 1, 1, 1));
    EXPECT_TRUE(sheet.blitKeyed(dst, 0, 0, 0, 0, 4, 4));
    EXPECT_EQ(find(dst, KeyGreen).count, 16);
}

// Every primitive, at positions hanging over each edge of either Surface,
// against a pixel-by-pixel model of what lies inside both.
TEST(Clipping, OnlyWhatLiesInsideBothSurfacesIsTouched)
{
    Surface src;
    ASSERT_TRUE(src.createFilled(6, 5, 0, 0, 0));
    paintPattern(src, 20);
    setPixel(src, 2, 2, KeyGreen);
    setPixel(src, 5, 0, KeyGreen);
    src.buildKeyRuns(0, 255, 0);
    const Rgb background{90, 90, 90};

    const int positions[] = {-7, -6, -3, -1, 0, 2, 5, 7, 8, 9};
    const int sourcePositions[] = {-3, -1, 0, 2, 5, 6};
    for (int mode = 0; mode < 3; ++mode) {
        for (int x : positions)
            for (int y : positions)
                for (int sx : sourcePositions)
                    for (int sy : sourcePositions) {
                        Surface dst;
                        ASSERT_TRUE(dst.createFilled(8, 8, background[0], background[1], background[2]));
                        const int w = 5, h = 4;
                        bool ok = false;
                        if (mode == 0) ok = src.blit(dst, x, y, sx, sy, w, h);
                        if (mode == 1) ok = src.blitKeyed(dst, x, y, sx, sy, w, h);
                        if (mode == 2) ok = src.blitBlended(dst, x, y, sx, sy, w, h, 128);
                        ASSERT_TRUE(ok);
                        for (int Y = 0; Y < 8; ++Y) {
                            for (int X = 0; X < 8; ++X) {
                                Rgb expected = background;
                                const int i = X - x, j = Y - y;
                                const int px = sx + i, py = sy + j;
                                if (i >= 0 && i < w && j >= 0 && j < h && px >= 0 && px < 6 && py >= 0 &&
                                    py < 5) {
                                    const Rgb s = pixelAt(src, px, py);
                                    if (mode == 0)
                                        expected = s;
                                    else if (s == KeyGreen)
                                        expected = background;
                                    else if (mode == 1)
                                        expected = s;
                                    else
                                        for (int k = 0; k < 3; ++k)
                                            expected[k] = background[k] +
                                                          (((s[k] - background[k]) * 128) >> 8);
                                }
                                ASSERT_EQ(pixelAt(dst, X, Y), expected)
                                    << "mode " << mode << " at " << x << "," << y << " from " << sx << ","
                                    << sy << " pixel " << X << "," << Y;
                            }
                        }
                    }
    }
}

TEST(Clipping, ExtremePositionsAndSizesDrawNothingAndDoNotOverflow)
{
    Surface src, dst;
    ASSERT_TRUE(src.createFilled(4, 4, 200, 0, 0));
    ASSERT_TRUE(dst.createFilled(4, 4, 1, 1, 1));
    src.buildKeyRuns(0, 255, 0);
    const auto before = bytesOf(dst);
    const int extremes[] = {INT_MIN, INT_MIN + 1, -4, 4, INT_MAX};
    for (int a : extremes)
        for (int b : extremes) {
            EXPECT_TRUE(src.blit(dst, a, b, 0, 0, 4, 4));
            EXPECT_TRUE(src.blitKeyed(dst, 0, 0, a, b, 4, 4));
            EXPECT_TRUE(src.blitBlended(dst, a, 0, 0, b, INT_MAX, INT_MAX, 128));
            EXPECT_TRUE(src.blit(dst, 0, 0, 0, 0, a < 0 ? a : 0, b < 0 ? b : 0));
        }
    EXPECT_EQ(bytesOf(dst), before);
    // A huge rectangle at the origin is cut to the picture.
    EXPECT_TRUE(src.blit(dst, 0, 0, 0, 0, INT_MAX, INT_MAX));
    EXPECT_EQ(find(dst, Rgb{200, 0, 0}).count, 16);
}

TEST(Blit, ACopyWithinOneSurfaceMovesThePictureIntact)
{
    for (int shift : {-2, -1, 1, 2}) {
        Surface s, reference;
        ASSERT_TRUE(s.createFilled(8, 8, 0, 0, 0));
        paintPattern(s, 30);
        ASSERT_TRUE(reference.createFilled(8, 8, 0, 0, 0));
        paintPattern(reference, 30);
        EXPECT_TRUE(s.blit(s, 3 + shift, 3 + shift, 3, 3, 3, 3));
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(pixelAt(s, 3 + shift + x, 3 + shift + y), pixelAt(reference, 3 + x, 3 + y))
                    << shift;
    }
}
