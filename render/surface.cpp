#include "render/surface.h"

#include "platform/files.h"

#include <cstring>
#include <utility>

namespace {

std::uint16_t readU16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::uint32_t readU32(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::int32_t readI32(const unsigned char* p)
{
    // Two's complement by value, without relying on an unsigned-to-signed
    // conversion of an out-of-range value.
    const std::uint32_t u = readU32(p);
    return u <= 0x7fffffffu ? static_cast<std::int32_t>(u) : -static_cast<std::int32_t>(~u) - 1;
}

// Checks the header of a file of fileSize bytes starting at h, one field a
// line in file order, and fills info when the file has the one accepted
// shape. Returns null then, or a short reason for the first check that
// failed. Nothing may be allocated before this has passed.
const char* parseBmpHeader(const unsigned char* h, std::uint64_t fileSize, BitmapInfoHeader& info)
{
    if (fileSize < BmpHeaderBytes) return "shorter than the 54 header bytes";
    if (h == nullptr) return "no bytes";
    if (h[0] != 'B' || h[1] != 'M') return "not a BMP (no BM)";
    if (readU32(h + 10) != BmpHeaderBytes) return "pixel data not right after the headers";
    info.size = readU32(h + 14);
    if (info.size != 40) return "header size is not 40";
    info.width = readI32(h + 18);
    if (info.width < 1 || info.width > SurfaceMaxSide) return "width out of range";
    if (info.width % 4 != 0) return "width not a multiple of 4";  // rows then need no padding
    info.height = readI32(h + 22);
    if (info.height < 1 || info.height > SurfaceMaxSide) return "height out of range (or top-down)";
    info.planes = readU16(h + 26);
    if (info.planes != 1) return "planes is not 1";
    info.bitCount = readU16(h + 28);
    if (info.bitCount != 24) return "not 24 bits per pixel";
    info.compression = readU32(h + 30);
    if (info.compression != 0) return "compressed";
    info.sizeImage = readU32(h + 34);
    info.xPelsPerMeter = readI32(h + 38);
    info.yPelsPerMeter = readI32(h + 42);
    info.clrUsed = readU32(h + 46);
    info.clrImportant = readU32(h + 50);
    const std::uint64_t pixelBytes = static_cast<std::uint64_t>(info.width) *
                                     static_cast<std::uint64_t>(info.height) * 3u;
    if (fileSize - BmpHeaderBytes < pixelBytes) return "pixel data past the end of the file";
    return nullptr;
}

std::size_t pixelBytesOf(const BitmapInfoHeader& info)
{
    return static_cast<std::size_t>(info.width) * static_cast<std::size_t>(info.height) * 3u;
}

}  // namespace

Surface::~Surface() = default;

bool Surface::createFilled(int width, int height, int red, int green, int blue)
{
    release();
    if (width < 1 || width > SurfaceMaxSide || height < 1 || height > SurfaceMaxSide) {
        return false;
    }
    header_.size = 40;
    header_.width = width;
    header_.height = height;
    header_.planes = 1;
    header_.bitCount = 24;
    const std::uint8_t triple[3] = {static_cast<std::uint8_t>(blue), static_cast<std::uint8_t>(green),
                                    static_cast<std::uint8_t>(red)};
    pixels_.resize(pixelBytesOf(header_));
    // The first row pixel by pixel, every other row a copy of it: the back
    // buffer is filled so before the first frame, where time counts.
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    for (std::size_t i = 0; i < rowBytes; i += 3) {
        pixels_[i] = triple[0];
        pixels_[i + 1] = triple[1];
        pixels_[i + 2] = triple[2];
    }
    for (std::size_t at = rowBytes; at < pixels_.size(); at += rowBytes)
        std::memcpy(pixels_.data() + at, pixels_.data(), rowBytes);
    return true;
}

bool Surface::loadBmpFromMemory(const unsigned char* bytes, std::size_t size, const char** reason)
{
    release();
    BitmapInfoHeader info;
    const char* why = parseBmpHeader(bytes, size, info);
    if (reason != nullptr) *reason = why;
    if (why != nullptr) return false;
    const std::size_t count = pixelBytesOf(info);
    pixels_.assign(bytes + BmpHeaderBytes, bytes + BmpHeaderBytes + count);
    header_ = info;
    return true;
}

bool Surface::loadBmp(const std::string& path, const char** reason)
{
    release();
    if (reason != nullptr) *reason = nullptr;
    std::vector<unsigned char> bytes;
    const platform::ReadResult read =
        platform::readFile(path, bytes, PictureFileMaxBytes, platform::OverCap::Reject);
    // Too large is the file's own fault, like bad bytes; a file that is not
    // there, or is not a regular file, is silently missing.
    if (read.status == platform::ReadResult::TooLarge && reason != nullptr)
        *reason = "larger than the picture file cap";
    if (!read) return false;
    return loadBmpFromMemory(bytes.data(), bytes.size(), reason);
}

void Surface::swap(Surface& other) noexcept
{
    std::swap(header_, other.header_);
    pixels_.swap(other.pixels_);
    std::swap(hasKeyRuns_, other.hasKeyRuns_);
    keyRuns_.swap(other.keyRuns_);
    rowRunStart_.swap(other.rowRunStart_);
    std::swap(blocksPerRow_, other.blocksPerRow_);
    blockRuns_.swap(other.blockRuns_);
}

void Surface::release()
{
    // Swapping with empty vectors hands the memory back, unlike clear().
    std::vector<std::uint8_t>().swap(pixels_);
    std::vector<KeyRun>().swap(keyRuns_);
    std::vector<std::int32_t>().swap(rowRunStart_);
    std::vector<RunSpan>().swap(blockRuns_);
    blocksPerRow_ = 0;
    header_ = BitmapInfoHeader();
    hasKeyRuns_ = false;
}
