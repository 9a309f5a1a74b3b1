// Inputs the BMP fuzz target found or reached, kept so their paths stay
// covered: a keyed copy within one picture that read pixels it had already
// written, and rejection paths the header tests do not spell out.
#include "render/surface.h"

#include "tests/render/pixels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// Minimised fuzz input: a 12 x 1 picture whose first pixel colour, used as
// the key, recurs. Its unchecked header bytes 2..9 asked for a keyed copy of
// the picture onto itself, 8 x 2 from column 1 to column 3.
const Bytes SelfCopyRepro = {0x42, 0x4d, 0x03, 0x00, 0x01, 0x00, 0x08, 0x02, 0x96, 0x0c, 0x36, 0x00, 0x00,
                             0x00, 0x28, 0x00, 0x00, 0x00, 0x0c, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00,
                             0x01, 0x00, 0x18, 0x00, 0x00, 0x00, 0x00, 0x00, 0x48, 0xc8, 0xff, 0x00, 0xff,
                             0x70, 0x28, 0xc8, 0x77, 0x28, 0xc8, 0xff, 0x00, 0xff, 0x85, 0x28, 0xc8, 0x8c,
                             0x28, 0xc8, 0xff, 0x00, 0xff, 0x9a, 0x28, 0xc8, 0x00, 0x00, 0x00, 0x00, 0x00,
                             0xff, 0x1c, 0x28, 0xc8, 0xff, 0x00, 0xff, 0x5b, 0x28, 0xc8, 0x62, 0x28, 0xc8,
                             0x8c, 0x28, 0xc8, 0xff, 0x00, 0xff, 0x9a, 0x28, 0xc8, 0xa1, 0x28, 0xc8};

// The picture a copy within one surface must leave: the same copy made
// from a snapshot of the source, pixel by pixel (y down from the top).
Bytes copiedFromSnapshot(const Surface& s, int x, int y, int sx, int sy, int w, int h, bool keyed,
                         const Rgb& key, int alpha)
{
    Surface snapshot, out;
    EXPECT_TRUE(snapshot.createFilled(s.width(), s.height(), 0, 0, 0));
    EXPECT_TRUE(out.createFilled(s.width(), s.height(), 0, 0, 0));
    std::copy(s.pixels(), s.pixels() + s.byteCount(), snapshot.pixels());
    std::copy(s.pixels(), s.pixels() + s.byteCount(), out.pixels());
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            const int u = sx + i, v = sy + j, X = x + i, Y = y + j;
            if (u < 0 || v < 0 || u >= s.width() || v >= s.height()) continue;
            if (X < 0 || Y < 0 || X >= s.width() || Y >= s.height()) continue;
            const Rgb src = pixelAt(snapshot, u, v);
            if (keyed && src == key) continue;
            Rgb mixed = src;
            if (alpha < 256) {
                const Rgb old = pixelAt(out, X, Y);
                for (int c = 0; c < 3; ++c)
                    mixed[c] = old[c] + (((src[c] - old[c]) * alpha) >> 8);
            }
            setPixel(out, X, Y, mixed);
        }
    }
    return Bytes(out.pixels(), out.pixels() + out.byteCount());
}

Bytes pixelsOf(const Surface& s) { return Bytes(s.pixels(), s.pixels() + s.byteCount()); }

Bytes header(std::uint32_t offset, std::uint32_t info, std::int32_t width, std::int32_t height,
             std::uint16_t bits)
{
    Bytes b(54, 0);
    b[0] = 'B';
    b[1] = 'M';
    auto put = [&b](std::size_t at, std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            b[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    put(10, offset, 4);
    put(14, info, 4);
    put(18, static_cast<std::uint32_t>(width), 4);
    put(22, static_cast<std::uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, bits, 2);
    return b;
}

}  // namespace

TEST(BmpFuzzRegression, KeyedCopyWithinOnePictureToTheRightReadsTheOriginalPixels)
{
    Surface s;
    ASSERT_TRUE(s.loadBmpFromMemory(SelfCopyRepro.data(), SelfCopyRepro.size()));
    ASSERT_EQ(s.width(), 12);
    const Rgb key = pixelAt(s, 0, 0);
    s.buildKeyRuns(key[0], key[1], key[2]);
    ASSERT_GT(s.keyRunCount(0), 1);  // several runs in the one row
    const Bytes want = copiedFromSnapshot(s, 3, 0, 1, 0, 8, 2, true, key, 256);
    EXPECT_TRUE(s.blitKeyed(s, 3, 0, 1, 0, 8, 2));
    EXPECT_EQ(pixelsOf(s), want);
}

TEST(BmpFuzzRegression, BlendedCopyWithinOnePictureInEveryDirectionReadsTheOriginalPixels)
{
    // Magenta keys every third pixel, so each row has several short runs.
    for (int dx : {-3, -1, 1, 2, 4}) {
        for (int dy : {-1, 0, 1}) {
            for (int alpha : {128, 256}) {
                Surface s;
                ASSERT_TRUE(s.createFilled(12, 4, 0, 0, 0));
                for (int y = 0; y < 4; ++y)
                    for (int x = 0; x < 12; ++x)
                        setPixel(s, x, y, x % 3 == 0 ? Rgb{255, 0, 255} : Rgb{x * 20, y * 60, 7});
                s.buildKeyRuns(255, 0, 255);
                const Bytes want =
                    copiedFromSnapshot(s, 4 + dx, 1 + dy, 4, 1, 6, 2, true, Rgb{255, 0, 255}, alpha);
                EXPECT_TRUE(s.blitBlended(s, 4 + dx, 1 + dy, 4, 1, 6, 2, alpha));
                EXPECT_EQ(pixelsOf(s), want) << dx << "," << dy << " alpha " << alpha;
            }
        }
    }
}

TEST(BmpFuzzRegression, KeyedCopyWithinOnePictureOneRowUpOrDownIsExact)
{
    for (int dy : {-2, -1, 1, 2}) {
        Surface s;
        ASSERT_TRUE(s.createFilled(8, 6, 0, 0, 0));
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x)
                setPixel(s, x, y, (x + y) % 4 == 0 ? KeyGreen : Rgb{x * 30, y * 40, 90});
        s.buildKeyRuns(KeyGreen[0], KeyGreen[1], KeyGreen[2]);
        const Bytes want = copiedFromSnapshot(s, 2, 2 + dy, 1, 2, 6, 3, true, KeyGreen, 256);
        EXPECT_TRUE(s.blitKeyed(s, 2, 2 + dy, 1, 2, 6, 3));
        EXPECT_EQ(pixelsOf(s), want) << dy;
    }
}

TEST(BmpFuzzRegression, HeadersTheFuzzerReachedAreRejectedBeforeAnyPixelIsRead)
{
    struct Case {
        const char* what;
        Bytes bytes;
    };
    std::vector<Case> cases;
    // The largest picture announced by a file holding one pixel row: the
    // size check must be made in 64 bits, before anything is allocated.
    Bytes largest = header(54, 40, 4096, 4096, 24);
    largest.resize(54 + 4096 * 3, 0x11);
    cases.push_back({"4096 x 4096 with one row of pixels", largest});
    // Width and height whose product wraps in 32 bits to a small count.
    Bytes wraps = header(54, 40, 4096, 0x55556, 24);
    wraps.resize(54 + 24, 0);
    cases.push_back({"height past the limit whose byte count wraps", wraps});
    // Every field right except the one checked last.
    Bytes compressed = header(54, 40, 4, 1, 24);
    compressed[30] = 3;
    compressed.resize(54 + 12, 0);
    cases.push_back({"bit fields after an otherwise valid header", compressed});
    // Exactly one byte short of the announced pixels.
    Bytes oneShort = header(54, 40, 8, 2, 24);
    oneShort.resize(54 + 8 * 2 * 3 - 1, 0x22);
    cases.push_back({"one pixel byte short", oneShort});

    for (const Case& c : cases) {
        Surface s;
        ASSERT_TRUE(s.createFilled(4, 4, 9, 9, 9));
        EXPECT_FALSE(s.loadBmpFromMemory(c.bytes.data(), c.bytes.size())) << c.what;
        EXPECT_TRUE(s.isEmpty()) << c.what;
        EXPECT_EQ(s.byteCount(), 0u) << c.what;
    }
    // The boundary itself: with the missing byte supplied the file is good.
    oneShort.push_back(0x22);
    Surface s;
    EXPECT_TRUE(s.loadBmpFromMemory(oneShort.data(), oneShort.size()));
    EXPECT_EQ(s.byteCount(), 48u);
}
