// The sharp scale: whole factors repeat pixels exactly; other factors mix
// colours only where a result pixel falls across two of the picture's.
#include "platform/sharp_scale.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using platform::SharpScaler;
using platform::SharpTap;
using platform::sharpTaps;

namespace {

constexpr std::uint32_t Opaque = 0xFF000000u;

std::vector<std::uint32_t> scaled(const std::vector<std::uint32_t>& picture, int width, int height,
                                  int toWidth, int toHeight)
{
    std::vector<std::uint32_t> out(static_cast<std::size_t>(toWidth * toHeight), 0);
    SharpScaler().scale(picture.data(), width, height, out.data(), toWidth, toHeight, toWidth);
    return out;
}

TEST(SharpScale, WholeFactorsRepeatEachPixelUnmixed)
{
    for (int source : {1, 7, 480, 640})
        for (int factor = 1; factor <= 4; ++factor) {
            const std::vector<SharpTap> taps = sharpTaps(source, source * factor);
            for (int o = 0; o < source * factor; ++o) {
                ASSERT_EQ(taps[o].first, o / factor) << source << " x" << factor << " at " << o;
                ASSERT_EQ(taps[o].weight, 0) << source << " x" << factor << " at " << o;
            }
        }
}

TEST(SharpScale, OtherFactorsMixAtMostOnePixelAtEachEdgeAndOnlyNeighbours)
{
    // Over every size from 1x to 4x of a short line: the source pixels come
    // in order, each mixed pixel lies across an edge, and no edge gets more
    // than one mixed pixel.
    const int source = 10;
    for (int target = source; target <= 4 * source; ++target) {
        const std::vector<SharpTap> taps = sharpTaps(source, target);
        std::vector<int> mixedAt(source, 0);
        int before = 0;
        for (int o = 0; o < target; ++o) {
            const SharpTap t = taps[o];
            ASSERT_GE(t.first, before) << target << " at " << o;
            ASSERT_LE(t.first, t.weight ? source - 2 : source - 1) << target << " at " << o;
            ASSERT_LT(t.weight, 256);
            if (t.weight) ++mixedAt[t.first];
            before = t.first;
        }
        for (int e = 0; e < source; ++e)
            EXPECT_LE(mixedAt[e], 1) << target << " edge " << e;
        EXPECT_EQ(taps[0].first, 0);
        EXPECT_EQ(taps[target - 1].first, source - 1);
    }
}

TEST(SharpScale, OneAndAHalfMakesThreePixelsOfTwoTheMiddleOneHalfAndHalf)
{
    // Four columns of one row: 0 .. 3 become 0, mix, 1, 2, mix, 3; the
    // rows do the same, so the middle row of three mixes the rows around it.
    const std::uint32_t a = Opaque | 0xFF0000u, b = Opaque | 0x00FF00u, c = Opaque | 0x0000FEu,
                        d = Opaque | 0x204060u;
    const std::vector<std::uint32_t> row = scaled({a, b, c, d}, 4, 1, 6, 1);
    const std::vector<std::uint32_t> expected = {a, Opaque | 0x7F7F00u, b, c, Opaque | 0x1020AFu, d};
    EXPECT_EQ(row, expected);
    const std::vector<std::uint32_t> square = scaled({a, b, c, d}, 2, 2, 3, 3);
    EXPECT_EQ(square[0], a);
    EXPECT_EQ(square[2], b);
    EXPECT_EQ(square[6], c);
    EXPECT_EQ(square[8], d);
    EXPECT_EQ(square[3], Opaque | 0x7F007Fu);  // a over c
    EXPECT_EQ(square[7], Opaque | 0x1020AFu);  // c beside d
    EXPECT_EQ(square[4], Opaque | 0x474F57u);  // all four, mixed by rows of mixes
}

TEST(SharpScale, AWholeFactorCopiesThePictureExactlyAndFillsOnlyTheTargetRows)
{
    const int w = 5, h = 3;
    std::vector<std::uint32_t> picture;
    for (int k = 0; k < w * h; ++k)
        picture.push_back(Opaque | static_cast<std::uint32_t>(k * 0x0B1D07));
    // A pitch wider than the rows: what lies beyond them stays.
    const int pitch = 2 * w + 3;
    std::vector<std::uint32_t> out(static_cast<std::size_t>(pitch * 2 * h), 7);
    SharpScaler().scale(picture.data(), w, h, out.data(), 2 * w, 2 * h, pitch);
    for (int y = 0; y < 2 * h; ++y) {
        for (int x = 0; x < 2 * w; ++x)
            ASSERT_EQ(out[y * pitch + x], picture[(y / 2) * w + x / 2]) << x << ", " << y;
        for (int x = 2 * w; x < pitch; ++x)
            ASSERT_EQ(out[y * pitch + x], 7u);
    }
}

}  // namespace

namespace {

// Each channel of a and b mixed, b by weight / 256, rounded down.
std::uint32_t mixed(std::uint32_t a, std::uint32_t b, int weight)
{
    std::uint32_t out = Opaque;
    for (int shift = 0; shift < 24; shift += 8) {
        const int p = static_cast<int>(a >> shift & 0xFF), q = static_cast<int>(b >> shift & 0xFF);
        out |= static_cast<std::uint32_t>((p * (256 - weight) + q * weight) >> 8) << shift;
    }
    return out;
}

TEST(SharpScale, EveryPixelIsWhatTheTapsSayColumnsFirstAtEverySize)
{
    // The scaler reuses widened rows and has its own way for 1.5x; each
    // pixel must still be the taps' mix of the picture.
    std::uint32_t seed = 12345;
    const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    const int sizes[][4] = {{640, 480, 960, 720}, {640, 480, 1412, 1059}, {10, 6, 23, 13},
                            {10, 6, 15, 9},       {9, 7, 13, 10},         {4, 4, 11, 5}};
    for (const auto& z : sizes) {
        const int w = z[0], h = z[1], tw = z[2], th = z[3];
        std::vector<std::uint32_t> picture(static_cast<std::size_t>(w * h));
        for (auto& p : picture)
            p = Opaque | (next() >> 8);
        const std::vector<std::uint32_t> out = scaled(picture, w, h, tw, th);
        const std::vector<SharpTap> columns = sharpTaps(w, tw), rows = sharpTaps(h, th);
        const auto widened = [&](int y, const SharpTap& c) {
            const std::uint32_t* row = &picture[static_cast<std::size_t>(y * w)];
            return c.weight ? mixed(row[c.first], row[c.first + 1], c.weight) : row[c.first];
        };
        int wrong = 0;
        for (int y = 0; y < th; ++y)
            for (int x = 0; x < tw; ++x) {
                const SharpTap r = rows[y], c = columns[x];
                const std::uint32_t want = r.weight
                                               ? mixed(widened(r.first, c), widened(r.first + 1, c), r.weight)
                                               : widened(r.first, c);
                wrong += out[static_cast<std::size_t>(y * tw + x)] != want;
            }
        EXPECT_EQ(wrong, 0) << w << "x" << h << " to " << tw << "x" << th;
    }
}

}  // namespace
