// Writing the one BMP shape the game reads: 24-bit, uncompressed,
// bottom-up, pixel data right after the 54 header bytes.
#pragma once

#include <cstdint>
#include <string>

// The 54 header bytes of a width x height file whose rows are padded to
// four bytes (no padding when width is a multiple of 4, the only width
// loadBmp accepts).
std::string bmpHeader(int width, int height);

// A whole file from pixels laid out as a Surface holds them (blue, green,
// red; rows bottom-up; stride width x 3). Empty when a side is not positive.
std::string encodeBmp(const std::uint8_t* pixels, int width, int height);
