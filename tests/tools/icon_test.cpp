// The desktop icon: the PNG files the build writes for the icon theme are
// read back chunk by chunk with checksums computed here bit by bit, their
// stored deflate blocks unpacked, and their pixels compared with the block
// sheet the game draws from.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/tools/asset_files.h"
#include "tools/assetgen/icon.h"
#include "tools/assetgen/png.h"

using namespace assetgen;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Bit by bit, so a wrong table in the writer cannot hide here.
std::uint32_t slowCrc(const std::uint8_t* p, std::size_t n)
{
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
    }
    return ~c;
}

std::uint32_t big32(const Bytes& b, std::size_t at)
{
    return std::uint32_t(b[at]) << 24 | std::uint32_t(b[at + 1]) << 16 | std::uint32_t(b[at + 2]) << 8 |
           b[at + 3];
}

Bytes readAll(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// Unpacks a zlib stream made only of stored blocks; records failures and
// returns what it read so far.
Bytes unpackStored(const Bytes& z)
{
    Bytes out;
    if (z.size() < 6) {
        ADD_FAILURE() << "zlib stream too short";
        return out;
    }
    EXPECT_EQ(8, z[0] & 0x0F) << "not deflate";
    EXPECT_EQ(0, (z[0] * 256 + z[1]) % 31) << "header check";
    EXPECT_EQ(0, z[1] & 0x20) << "preset dictionary";
    std::size_t at = 2;
    for (bool last = false; !last;) {
        if (at + 5 > z.size()) {
            ADD_FAILURE() << "block header past the end";
            return out;
        }
        last = z[at] & 1;
        EXPECT_EQ(0, (z[at] >> 1) & 3) << "only stored blocks expected";
        const unsigned len = z[at + 1] | z[at + 2] << 8, nlen = z[at + 3] | z[at + 4] << 8;
        EXPECT_EQ(0xFFFFu, len ^ nlen) << "LEN and NLEN disagree";
        at += 5;
        if (at + len > z.size()) {
            ADD_FAILURE() << "block data past the end";
            return out;
        }
        out.insert(out.end(), z.begin() + at, z.begin() + at + len);
        at += len;
    }
    EXPECT_EQ(at + 4, z.size()) << "bytes after the checksum";
    if (at + 4 <= z.size()) {
        EXPECT_EQ(adler32(out.data(), out.size()), big32(z, at));
    }
    return out;
}

struct Picture {
    int width = 0;
    int height = 0;
    Bytes rgba;  // rows top-down
    int at(int x, int y, int channel) const { return rgba[(std::size_t(y) * width + x) * 4 + channel]; }
};

// Reads a PNG the way the icon writer makes them: IHDR, IDAT..., IEND, every
// CRC checked, 8-bit RGBA, filter 0 on every row.
Picture readPng(const Bytes& file)
{
    Picture p;
    const Bytes signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() < 8 || !std::equal(signature.begin(), signature.end(), file.begin())) {
        ADD_FAILURE() << "no PNG signature";
        return p;
    }
    std::vector<std::string> types;
    Bytes header, idat;
    for (std::size_t at = 8; at < file.size();) {
        if (at + 12 > file.size()) {
            ADD_FAILURE() << "chunk header past the end";
            return p;
        }
        const std::uint32_t len = big32(file, at);
        if (at + 12 + len > file.size()) {
            ADD_FAILURE() << "chunk data past the end";
            return p;
        }
        const std::string type(file.begin() + at + 4, file.begin() + at + 8);
        EXPECT_EQ(slowCrc(file.data() + at + 4, len + 4), big32(file, at + 8 + len)) << type;
        const Bytes data(file.begin() + at + 8, file.begin() + at + 8 + len);
        if (type == "IHDR") header = data;
        if (type == "IDAT") idat.insert(idat.end(), data.begin(), data.end());
        if (types.empty() || types.back() != type) types.push_back(type);
        at += 12 + len;
    }
    EXPECT_EQ((std::vector<std::string>{"IHDR", "IDAT", "IEND"}), types);
    if (header.size() != 13) {
        ADD_FAILURE() << "IHDR of " << header.size() << " bytes";
        return p;
    }
    p.width = static_cast<int>(big32(header, 0));
    p.height = static_cast<int>(big32(header, 4));
    EXPECT_EQ((Bytes{8, 6, 0, 0, 0}), Bytes(header.begin() + 8, header.end())) << "8-bit RGBA, no interlace";
    const Bytes raw = unpackStored(idat);
    const std::size_t row = std::size_t(p.width) * 4 + 1;
    if (raw.size() != row * p.height) {
        ADD_FAILURE() << "image data of " << raw.size() << " bytes";
        return p;
    }
    for (int y = 0; y < p.height; ++y) {
        EXPECT_EQ(0, raw[row * y]) << "filter of row " << y;
        p.rgba.insert(p.rgba.end(), raw.begin() + row * y + 1, raw.begin() + row * (y + 1));
    }
    return p;
}

std::string iconFile(int size)
{
    const std::string n = std::to_string(size);
    return assetPath("icons/hicolor/" + n + "x" + n + "/apps/net.tessaloom.tessaloom.png");
}

}  // namespace

TEST(Icon, ChecksumsMatchTheirPublishedCheckValues)
{
    const std::string nine = "123456789", wiki = "Wikipedia";
    EXPECT_EQ(0xCBF43926u, crc32(reinterpret_cast<const std::uint8_t*>(nine.data()), nine.size()));
    EXPECT_EQ(0x11E60398u, adler32(reinterpret_cast<const std::uint8_t*>(wiki.data()), wiki.size()));
    EXPECT_EQ(1u, adler32(nullptr, 0));
    // Carried over a split the same as in one piece.
    const auto* p = reinterpret_cast<const std::uint8_t*>(nine.data());
    EXPECT_EQ(0xCBF43926u, crc32(p + 4, 5, crc32(p, 4)));
}

TEST(Icon, StoredBlocksHoldAtMost65535BytesAndOnlyTheLastIsFinal)
{
    Bytes data(2 * 65535 + 10);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i * 7 + (i >> 9));
    const Bytes z = zlibStored(data);
    ASSERT_EQ(2 + 3 * 5 + data.size() + 4, z.size());
    EXPECT_EQ(0, z[2]);                    // first block, not final
    EXPECT_EQ(0, z[2 + 5 + 65535]);        // second block, not final
    EXPECT_EQ(1, z[2 + 2 * (5 + 65535)]);  // third block, final
    EXPECT_EQ(10, z[2 + 2 * (5 + 65535) + 1]);
    EXPECT_EQ(data, unpackStored(z));

    // Empty data still makes one final block.
    EXPECT_EQ((Bytes{0x78, 0x01, 1, 0, 0, 0xFF, 0xFF, 0, 0, 0, 1}), zlibStored({}));
}

TEST(Icon, WriterRefusesSizesThatDoNotMatchThePixels)
{
    EXPECT_TRUE(encodePng(0, 1, {}).empty());
    EXPECT_TRUE(encodePng(2, 2, Bytes(15)).empty());
    EXPECT_TRUE(encodePng(-1, -1, Bytes(4)).empty());
    const Bytes rgba = {255, 0, 0, 255, 0,  0,  255, 128, 1,  2,  3,  0,
                        9,   8, 7, 6,   10, 20, 30,  40,  50, 60, 70, 80};
    const Picture p = readPng(encodePng(3, 2, rgba));
    EXPECT_EQ(3, p.width);
    EXPECT_EQ(2, p.height);
    EXPECT_EQ(rgba, p.rgba);
}

TEST(Icon, ShrinkingAveragesCoverageWithoutDarkeningTheColour)
{
    Canvas c(4, 4);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            c.blend(x, y, rgb(200, 40, 20), 1.0f);
    c.blend(2, 0, rgb(0, 0, 250), 1.0f);  // one of four pixels of the top-right quarter
    const Canvas half = resample(c, 2, 2);
    EXPECT_FLOAT_EQ(1.0f, half.coverageAt(0, 0));
    EXPECT_NEAR(200, half.colourAt(0, 0).r, 0.01);
    EXPECT_FLOAT_EQ(0.25f, half.coverageAt(1, 0));
    EXPECT_NEAR(250, half.colourAt(1, 0).b, 0.01);  // straight colour: not a quarter as bright
    EXPECT_FLOAT_EQ(0.0f, half.coverageAt(0, 1));
    const Bytes rgba = toRgba(half);
    EXPECT_EQ((Bytes{0, 0, 250, 64}), Bytes(rgba.begin() + 4, rgba.begin() + 8));
    EXPECT_EQ((Bytes{0, 0, 0, 0}), Bytes(rgba.begin() + 8, rgba.begin() + 12));
}

TEST(Icon, WholeNumberEnlargementKeepsPixelsSharp)
{
    Canvas c(2, 1);
    c.blend(0, 0, rgb(10, 20, 30), 1.0f);
    c.blend(1, 0, rgb(90, 80, 70), 0.5f);
    const Canvas big = resample(c, 8, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool left = x < 4;
            EXPECT_FLOAT_EQ(left ? 1.0f : 0.5f, big.coverageAt(x, y)) << x << "," << y;
            EXPECT_NEAR(left ? 10 : 90, big.colourAt(x, y).r, 0.01) << x << "," << y;
        }
}

TEST(Icon, BuildWritesEveryThemeSizeAsValidRgbaPng)
{
    for (int size : IconSizes) {
        SCOPED_TRACE(size);
        const Bytes file = readAll(iconFile(size));
        ASSERT_FALSE(file.empty()) << iconFile(size);
        const Picture p = readPng(file);
        ASSERT_EQ(size, p.width);
        ASSERT_EQ(size, p.height);
        // The four quarters, weighted by alpha, lean to their block's colour:
        // red, green / blue, yellow from the top.
        double sum[4][3] = {};
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const int q = (y < size / 2 ? 0 : 2) + (x < size / 2 ? 0 : 1);
                for (int ch = 0; ch < 3; ++ch)
                    sum[q][ch] += p.at(x, y, ch) * p.at(x, y, 3);
            }
        EXPECT_GT(sum[0][0], 1.2 * std::max(sum[0][1], sum[0][2])) << "red";
        EXPECT_GT(sum[1][1], 1.2 * std::max(sum[1][0], sum[1][2])) << "green";
        EXPECT_GT(sum[2][2], 1.2 * std::max(sum[2][0], sum[2][1])) << "blue";
        EXPECT_GT(std::min(sum[3][0], sum[3][1]), 1.2 * sum[3][2]) << "yellow";
        // The rounded corners are see-through (at 16 pixels a corner pixel
        // also takes in some of the rim), the middle of a block is not.
        EXPECT_GE(size < 32 ? 127 : 0, p.at(0, 0, 3));
        EXPECT_GE(size < 32 ? 127 : 0, p.at(size - 1, size - 1, 3));
        EXPECT_EQ(255, p.at(size / 4, size / 4, 3));
    }
}

TEST(Icon, DrawnSizeIsTheBlockSheetTransparentWhereItIsKeyed)
{
    const Picture p = readPng(readAll(iconFile(64)));
    ASSERT_EQ(64, p.width);
    Surface sheet;
    ASSERT_TRUE(sheet.loadBmp(assetPath("Graphics/PuzzleBlock.bmp")));
    const int sheetX[4] = {0, 32, 64, 96};  // red, green, blue, yellow
    int keyed = 0;
    for (int q = 0; q < 4; ++q)
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const int ix = (q % 2) * 32 + x, iy = (q / 2) * 32 + y;
                const bool key = isKey(sheet, sheetX[q] + x, y);
                keyed += key;
                if (key) {
                    ASSERT_LT(p.at(ix, iy, 3), 128) << ix << "," << iy;
                    continue;
                }
                ASSERT_GE(p.at(ix, iy, 3), 128) << ix << "," << iy;
                const Colour c = colourAt(sheet, sheetX[q] + x, y);
                for (int ch = 0; ch < 3; ++ch)
                    ASSERT_NEAR(c[ch], p.at(ix, iy, ch), 1) << ix << "," << iy;
            }
    EXPECT_GT(keyed, 4 * 4);  // at least the rounded corners
}
