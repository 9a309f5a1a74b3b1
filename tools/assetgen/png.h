// A minimal PNG writer for the desktop icon: 8-bit RGBA, no interlace, the
// image data in stored (uncompressed) deflate blocks. Every viewer reads it,
// and the bytes are easy to check by hand.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace assetgen {

// The PNG chunk checksum (CRC-32, polynomial 0xEDB88320, as in zlib).
std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0);

// The zlib stream checksum (Adler-32) of data.
std::uint32_t adler32(const std::uint8_t* data, std::size_t size);

// A zlib stream holding data in stored deflate blocks of at most 65535
// bytes each (one empty final block for empty data).
std::vector<std::uint8_t> zlibStored(const std::vector<std::uint8_t>& data);

// The PNG file of a width x height picture given as straight (not
// premultiplied) R, G, B, A bytes, rows top-down. Empty when the sizes are
// not positive or rgba does not hold width x height x 4 bytes.
std::vector<std::uint8_t> encodePng(int width, int height, const std::vector<std::uint8_t>& rgba);

}  // namespace assetgen
