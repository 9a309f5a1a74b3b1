// A picture in memory: 24-bit pixels stored blue, green, red, rows bottom-up
// (memory row 0 is the bottom row of the picture), stride exactly width x 3.
// The back buffer and every loaded sheet are Surfaces. Copies between them
// clip to both Surfaces on all four edges; the keyed copies walk a key-run
// table built once per sheet, so drawing does no per-pixel key test and
// allocates nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The 40-byte info header of a 24-bit picture, field for field as a BMP file
// stores it after its 14-byte file header.
struct BitmapInfoHeader {
    std::uint32_t size = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t planes = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t sizeImage = 0;
    std::int32_t xPelsPerMeter = 0;
    std::int32_t yPelsPerMeter = 0;
    std::uint32_t clrUsed = 0;
    std::uint32_t clrImportant = 0;
};

// A rectangle of pixels, y counted down from the top.
struct PixelRect {
    int x;
    int y;
    int width;
    int height;
};

// One stretch of non-key pixels of one memory row: columns [first, end).
struct KeyRun {
    std::int32_t first;
    std::int32_t end;
};

// The one BMP shape the game reads: file header and info header, then the
// pixels at this offset.
constexpr std::size_t BmpHeaderBytes = 54;
// Largest width or height accepted from a file or by createFilled.
constexpr int SurfaceMaxSide = 4096;
// Largest picture file loadBmp reads: the game's largest pictures (640 x 480)
// take 0.9 MiB, so this holds them with plenty of room.
constexpr std::size_t PictureFileMaxBytes = 8u << 20;

class Surface {
public:
    Surface() = default;
    virtual ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    // Replaces the content with width x height pixels of one colour (each
    // channel's low 8 bits). False, and the Surface left empty, when a side
    // is outside 1..SurfaceMaxSide.
    bool createFilled(int width, int height, int red, int green, int blue);

    // Replaces the content with the picture of a BMP file. Only one shape is
    // accepted: "BM", pixel data at offset 54, info header size 40, width
    // 1..4096 and a multiple of 4, height 1..4096 (bottom-up), 1 plane,
    // 24 bits, no compression, and every pixel byte present in the file.
    // Anything else (or a missing file) gives false and an empty Surface.
    // The header is checked before anything is allocated. Only a regular
    // file of at most PictureFileMaxBytes is read; anything else counts as
    // missing, and nothing waits on a FIFO or reads a device without end.
    // When reason is given it receives a short text naming the check the
    // file failed, or null: after success, and when the file was missing
    // or unreadable (no fault of its bytes; callers stay silent then).
    bool loadBmp(const std::string& path, const char** reason = nullptr);
    // The same reader over bytes already in memory; every rejection here
    // has a reason.
    bool loadBmpFromMemory(const unsigned char* bytes, std::size_t size, const char** reason = nullptr);

    // Frees pixels and key runs; the Surface is then as after construction.
    void release();
    // Exchanges everything with other: pixels, size and key runs.
    void swap(Surface& other) noexcept;

    bool isEmpty() const { return pixels_.empty(); }
    int width() const { return header_.width; }
    int height() const { return header_.height; }
    // Null when empty.
    std::uint8_t* pixels() { return pixels_.empty() ? nullptr : pixels_.data(); }
    const std::uint8_t* pixels() const { return pixels_.empty() ? nullptr : pixels_.data(); }
    std::size_t byteCount() const { return pixels_.size(); }
    const BitmapInfoHeader& header() const { return header_; }
    // Byte offset of picture pixel (x, y), y counted down from the top.
    std::size_t pixelOffset(int x, int y) const
    {
        return (static_cast<std::size_t>(height() - 1 - y) * width() + x) * 3;
    }

    // Copies the rectangle (sourceX, sourceY, width, height) of this Surface
    // to (x, y) of dest, clipped to both Surfaces. False, with nothing drawn,
    // when either Surface is empty; true otherwise, even when nothing of the
    // rectangle is left after clipping.
    bool blit(Surface& dest, int x, int y, int sourceX, int sourceY, int width, int height) const;
    // As blit, but only the pixels covered by key runs; without key runs it
    // is a plain blit.
    bool blitKeyed(Surface& dest, int x, int y, int sourceX, int sourceY, int width, int height) const;
    // As blitKeyed, but each covered pixel is mixed into dest with weight
    // alpha / 256 (alpha held to 0..256): new = old + (((src - old) * alpha) >> 8).
    // Without key runs it is a plain blit and alpha is ignored.
    bool blitBlended(Surface& dest, int x, int y, int sourceX, int sourceY, int width, int height,
                     int alpha) const;

    // As blitKeyed over a destination that should show `under` beneath the
    // rectangle: every pixel of the clipped rectangle is written once, the
    // key pixels from under at the same place. The same pixels as copying
    // that part of under first and this keyed over it.
    bool blitKeyedOver(Surface& dest, int x, int y, int sourceX, int sourceY, int width, int height,
                       const Surface& under) const;
    // The part of dest that a copy of this rectangle to (x, y) writes, after
    // clipping to both Surfaces. False when nothing is left.
    bool landingArea(const Surface& dest, int x, int y, int sourceX, int sourceY, int width, int height,
                     PixelRect& out) const;

    // Builds the key-run table for the key colour: every maximal stretch of
    // pixels of another colour in a memory row becomes one run. Does nothing
    // on an empty Surface.
    void buildKeyRuns(int red, int green, int blue);
    bool hasKeyRuns() const { return hasKeyRuns_; }
    // The runs of one memory row (bottom-up index); 0 and null outside.
    int keyRunCount(int memoryRow) const;
    const KeyRun* keyRunsOfRow(int memoryRow) const;

private:
    struct Clip;
    bool clipTo(const Surface& dest, int x, int y, int sourceX, int sourceY, int width, int height,
                Clip& out) const;
    template <class RunOp>
    void walkRuns(Surface& dest, const Clip& c, RunOp op) const;

    BitmapInfoHeader header_;
    std::vector<std::uint8_t> pixels_;
    bool hasKeyRuns_ = false;
    // All runs of all rows in one array; the runs of memory row r are
    // keyRuns_[rowRunStart_[r] .. rowRunStart_[r + 1]).
    std::vector<KeyRun> keyRuns_;
    std::vector<std::int32_t> rowRunStart_;
    // Where a copy starting at column c of memory row r begins its walk:
    // blockRuns_[r * blocksPerRow + c / RunBlock] holds the row's first run
    // ending past the block's first column (so at most a few runs of that
    // one block lie between it and c), the row's end, and how far the row
    // is free of key pixels from the block's first column on: a copy
    // ending there copies the row whole without looking at its runs.
    static constexpr int RunBlock = 16;
    struct RunSpan {
        std::int32_t first;
        std::int32_t end;
        std::int32_t opaqueTo;
    };
    int blocksPerRow_ = 0;
    std::vector<RunSpan> blockRuns_;
};
