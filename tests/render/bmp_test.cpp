#include "render/surface.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

void put16(Bytes& b, std::size_t at, std::uint16_t v)
{
    b[at] = static_cast<unsigned char>(v);
    b[at + 1] = static_cast<unsigned char>(v >> 8);
}

void put32(Bytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

// A file of the one accepted shape: 24-bit, bottom-up, pixels at 54. The
// pixel bytes count up from 1 so that every byte is told apart.
Bytes validBmp(int width, int height)
{
    const std::size_t pixelBytes = static_cast<std::size_t>(width) * height * 3;
    Bytes b(54 + pixelBytes, 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, static_cast<std::uint32_t>(b.size()));
    put32(b, 10, 54);
    put32(b, 14, 40);
    put32(b, 18, static_cast<std::uint32_t>(width));
    put32(b, 22, static_cast<std::uint32_t>(height));
    put16(b, 26, 1);
    put16(b, 28, 24);
    put32(b, 34, static_cast<std::uint32_t>(pixelBytes));
    put32(b, 38, 2835);  // 72 dpi, kept verbatim
    put32(b, 42, 2835);
    for (std::size_t i = 0; i < pixelBytes; ++i)
        b[54 + i] = static_cast<unsigned char>(i + 1);
    return b;
}

std::string writeTemp(const std::string& name, const Bytes& bytes)
{
    const std::string path = testing::TempDir() + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return path;
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
}

void expectLoadedExactly(const Surface& s, const Bytes& file, int width, int height)
{
    ASSERT_FALSE(s.isEmpty());
    EXPECT_EQ(s.width(), width);
    EXPECT_EQ(s.height(), height);
    EXPECT_EQ(s.header().size, 40u);
    EXPECT_EQ(s.header().planes, 1);
    EXPECT_EQ(s.header().bitCount, 24);
    EXPECT_EQ(s.header().sizeImage, static_cast<std::uint32_t>(width * height * 3));
    EXPECT_EQ(s.header().xPelsPerMeter, 2835);
    EXPECT_EQ(s.header().yPelsPerMeter, 2835);
    const std::size_t n = static_cast<std::size_t>(width) * height * 3;
    ASSERT_EQ(s.byteCount(), n);
    EXPECT_EQ(Bytes(s.pixels(), s.pixels() + n), Bytes(file.begin() + 54, file.begin() + 54 + n));
}

struct Malformed {
    const char* what;
    Bytes bytes;
    // The reason the reader gives: the first check the bytes fail.
    const char* reason;
};

constexpr const char* Short = "shorter than the 54 header bytes";
constexpr const char* NoMagic = "not a BMP (no BM)";
constexpr const char* Offset = "pixel data not right after the headers";
constexpr const char* InfoSize = "header size is not 40";
constexpr const char* Width = "width out of range";
constexpr const char* Height = "height out of range (or top-down)";
constexpr const char* Planes = "planes is not 1";
constexpr const char* Bits = "not 24 bits per pixel";
constexpr const char* Compressed = "compressed";
constexpr const char* PastEnd = "pixel data past the end of the file";

std::vector<Malformed> malformedFiles()
{
    std::vector<Malformed> cases;
    const Bytes good = validBmp(8, 2);
    auto with = [&](const char* what, const char* reason, auto change) {
        Bytes b = good;
        change(b);
        cases.push_back({what, b, reason});
    };
    cases.push_back({"empty file", Bytes(), Short});
    cases.push_back({"one byte", Bytes(good.begin(), good.begin() + 1), Short});
    cases.push_back({"header cut at 53", Bytes(good.begin(), good.begin() + 53), Short});
    cases.push_back({"headers only", Bytes(good.begin(), good.begin() + 54), PastEnd});
    cases.push_back({"last pixel byte missing", Bytes(good.begin(), good.end() - 1), PastEnd});
    with("wrong magic", NoMagic, [](Bytes& b) {
        b[0] = 'M';
        b[1] = 'B';
    });
    with("half the magic", NoMagic, [](Bytes& b) { b[1] = 'A'; });
    with("offset 0", Offset, [](Bytes& b) { put32(b, 10, 0); });
    with("offset into the headers", Offset, [](Bytes& b) { put32(b, 10, 14); });
    with("offset after a colour table", Offset, [](Bytes& b) { put32(b, 10, 1078); });
    with("offset past the file", Offset, [](Bytes& b) { put32(b, 10, 0xffffffffu); });
    with("core header", InfoSize, [](Bytes& b) { put32(b, 14, 12); });
    with("v5 header", InfoSize, [](Bytes& b) { put32(b, 14, 124); });
    with("zero width", Width, [](Bytes& b) { put32(b, 18, 0); });
    with("negative width", Width, [](Bytes& b) { put32(b, 18, static_cast<std::uint32_t>(-8)); });
    with("INT32_MIN width", Width, [](Bytes& b) { put32(b, 18, 0x80000000u); });
    with("huge width", Width, [](Bytes& b) { put32(b, 18, 4100); });
    with("width not a multiple of 4", "width not a multiple of 4", [](Bytes& b) { put32(b, 18, 6); });
    with("zero height", Height, [](Bytes& b) { put32(b, 22, 0); });
    with("negative height (top-down)", Height,
         [](Bytes& b) { put32(b, 22, static_cast<std::uint32_t>(-2)); });
    with("INT32_MIN height", Height, [](Bytes& b) { put32(b, 22, 0x80000000u); });
    with("huge height", Height, [](Bytes& b) { put32(b, 22, 4097); });
    with("tiny file announcing the largest picture", PastEnd, [](Bytes& b) {
        put32(b, 18, 4096);
        put32(b, 22, 4096);
    });
    with("no planes", Planes, [](Bytes& b) { put16(b, 26, 0); });
    with("two planes", Planes, [](Bytes& b) { put16(b, 26, 2); });
    with("8-bit", Bits, [](Bytes& b) { put16(b, 28, 8); });
    with("32-bit", Bits, [](Bytes& b) { put16(b, 28, 32); });
    with("16-bit", Bits, [](Bytes& b) { put16(b, 28, 16); });
    with("RLE8 compression", Compressed, [](Bytes& b) { put32(b, 30, 1); });
    with("bit fields", Compressed, [](Bytes& b) { put32(b, 30, 3); });
    // Two faults at once: the one earlier in the file is named.
    with("32-bit top-down", Height, [](Bytes& b) {
        put32(b, 22, static_cast<std::uint32_t>(-2));
        put16(b, 28, 32);
    });
    return cases;
}

std::string text(const char* reason) { return reason == nullptr ? "(none)" : reason; }

}  // namespace

TEST(BmpReader, AValidFileLoadsByteExact)
{
    const Bytes file = validBmp(8, 2);
    Surface s;
    ASSERT_TRUE(s.loadBmpFromMemory(file.data(), file.size()));
    expectLoadedExactly(s, file, 8, 2);
    // The bottom row comes first in the file and first in memory.
    EXPECT_EQ(s.pixels()[0], 1);
    EXPECT_EQ(s.pixels()[23], 24);
}

TEST(BmpReader, BytesAfterThePixelsAreIgnored)
{
    Bytes file = validBmp(4, 3);
    file.resize(file.size() + 10, 0xee);
    Surface s;
    ASSERT_TRUE(s.loadBmpFromMemory(file.data(), file.size()));
    expectLoadedExactly(s, file, 4, 3);
}

TEST(BmpReader, EveryOtherShapeIsRejectedWithAnEmptySurface)
{
    for (const Malformed& m : malformedFiles()) {
        Surface s;
        ASSERT_TRUE(s.createFilled(4, 4, 1, 2, 3));
        s.buildKeyRuns(0, 255, 0);
        EXPECT_FALSE(s.loadBmpFromMemory(m.bytes.data(), m.bytes.size())) << m.what;
        EXPECT_TRUE(s.isEmpty()) << m.what;
        EXPECT_EQ(s.width(), 0) << m.what;
        EXPECT_FALSE(s.hasKeyRuns()) << m.what;
    }
}

TEST(BmpReader, NoBytesAtAllIsRejected)
{
    Surface s;
    EXPECT_FALSE(s.loadBmpFromMemory(nullptr, 0));
    EXPECT_FALSE(s.loadBmpFromMemory(nullptr, 100));
    EXPECT_TRUE(s.isEmpty());
}

TEST(BmpFile, AValidFileOnDiskLoadsByteExact)
{
    const Bytes file = validBmp(12, 5);
    const std::string path = writeTemp("render_valid.bmp", file);
    Surface s;
    ASSERT_TRUE(s.loadBmp(path));
    expectLoadedExactly(s, file, 12, 5);
    std::remove(path.c_str());
}

TEST(BmpFile, MalformedFilesOnDiskAreRejected)
{
    int n = 0;
    for (const Malformed& m : malformedFiles()) {
        const std::string path = writeTemp("render_bad_" + std::to_string(n++) + ".bmp", m.bytes);
        Surface s;
        ASSERT_TRUE(s.createFilled(4, 4, 1, 2, 3));
        EXPECT_FALSE(s.loadBmp(path)) << m.what;
        EXPECT_TRUE(s.isEmpty()) << m.what;
        std::remove(path.c_str());
    }
}

TEST(BmpFile, AMissingFileOrADirectoryLeavesTheSurfaceEmpty)
{
    Surface s;
    ASSERT_TRUE(s.createFilled(4, 4, 1, 2, 3));
    EXPECT_FALSE(s.loadBmp(testing::TempDir() + "no_such_picture.bmp"));
    EXPECT_TRUE(s.isEmpty());
    ASSERT_TRUE(s.createFilled(4, 4, 1, 2, 3));
    EXPECT_FALSE(s.loadBmp(testing::TempDir()));
    EXPECT_TRUE(s.isEmpty());
}

TEST(BmpReader, EachRejectionNamesTheFirstCheckTheBytesFail)
{
    for (const Malformed& m : malformedFiles()) {
        Surface s;
        const char* reason = nullptr;
        EXPECT_FALSE(s.loadBmpFromMemory(m.bytes.data(), m.bytes.size(), &reason)) << m.what;
        EXPECT_EQ(text(reason), m.reason) << m.what;
    }
    Surface s;
    const char* reason = "stale";
    EXPECT_FALSE(s.loadBmpFromMemory(nullptr, 100, &reason));
    EXPECT_EQ(text(reason), "no bytes");
}

TEST(BmpReader, AnAcceptedPictureHasNoReason)
{
    const Bytes file = validBmp(4, 1);
    Surface s;
    const char* reason = "stale";
    ASSERT_TRUE(s.loadBmpFromMemory(file.data(), file.size(), &reason));
    EXPECT_EQ(reason, nullptr);
    reason = "stale";
    const std::string path = writeTemp("render_reason_ok.bmp", file);
    ASSERT_TRUE(s.loadBmp(path, &reason));
    EXPECT_EQ(reason, nullptr);
    std::remove(path.c_str());
}

TEST(BmpFile, AFileOnDiskIsRejectedForTheSameReasonAsItsBytes)
{
    int n = 0;
    for (const Malformed& m : malformedFiles()) {
        const std::string path = writeTemp("render_why_" + std::to_string(n++) + ".bmp", m.bytes);
        Surface s;
        const char* reason = nullptr;
        EXPECT_FALSE(s.loadBmp(path, &reason)) << m.what;
        EXPECT_EQ(text(reason), m.reason) << m.what;
        std::remove(path.c_str());
    }
}

TEST(BmpFile, AFileThatCannotBeReadHasNoReason)
{
    // Nothing was wrong with any bytes: the caller stays silent about these.
    Surface s;
    const char* reason = "stale";
    EXPECT_FALSE(s.loadBmp(testing::TempDir() + "no_such_picture.bmp", &reason));
    EXPECT_EQ(reason, nullptr);
    reason = "stale";
    EXPECT_FALSE(s.loadBmp(testing::TempDir(), &reason));
    EXPECT_EQ(reason, nullptr);
}
