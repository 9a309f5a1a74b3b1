#include "render/bmp_file.h"

namespace {

void put16(std::string& b, std::uint32_t v)
{
    b.push_back(static_cast<char>(v & 0xff));
    b.push_back(static_cast<char>((v >> 8) & 0xff));
}

void put32(std::string& b, std::uint32_t v)
{
    put16(b, v & 0xffff);
    put16(b, v >> 16);
}

std::uint32_t paddedRowBytes(int width) { return (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u; }

}  // namespace

std::string bmpHeader(int width, int height)
{
    const std::uint32_t imageBytes = paddedRowBytes(width) * static_cast<std::uint32_t>(height);
    std::string b = "BM";
    put32(b, 54 + imageBytes);
    put32(b, 0);
    put32(b, 54);
    put32(b, 40);
    put32(b, static_cast<std::uint32_t>(width));
    put32(b, static_cast<std::uint32_t>(height));  // positive: rows bottom-up
    put16(b, 1);
    put16(b, 24);
    put32(b, 0);  // no compression
    put32(b, imageBytes);
    put32(b, 2835);  // 72 dpi
    put32(b, 2835);
    put32(b, 0);
    put32(b, 0);
    return b;
}

std::string encodeBmp(const std::uint8_t* pixels, int width, int height)
{
    if (width <= 0 || height <= 0 || !pixels) return std::string();
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    const std::string padding(paddedRowBytes(width) - rowBytes, '\0');
    std::string b = bmpHeader(width, height);
    b.reserve(b.size() + (rowBytes + padding.size()) * static_cast<std::size_t>(height));
    for (int row = 0; row < height; ++row) {
        b.append(reinterpret_cast<const char*>(pixels) + row * rowBytes, rowBytes);
        b += padding;
    }
    return b;
}
