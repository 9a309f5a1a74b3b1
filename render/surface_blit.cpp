// The three copies between Surfaces and the key-run table they walk.
#include "field/block.h"
#include "render/copy_run.h"
#include "render/surface.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

struct Surface::Clip {
    int x;   // destination column of the first pixel
    int y;   // destination picture row of the top row
    int sx;  // source column of the first pixel
    int sy;  // source picture row of the top row
    int w;
    int h;
};

namespace {

// One blended stretch of bytes. The arithmetic is the game's own
// (arithmetic shift, so -128 / 256 rounds to -1); written as a plain loop
// over bytes so the compiler can widen it into vector lanes.
void blendBytes(std::uint8_t* __restrict d, const std::uint8_t* __restrict s, std::size_t n, int alpha)
{
    for (std::size_t i = 0; i < n; ++i) {
        const int old = d[i];
        d[i] = static_cast<std::uint8_t>(old + (((s[i] - old) * alpha) >> 8));
    }
}

// Same-surface copies blend byte by byte, walking away from the bytes being
// written: forwards when dest lies before the source, backwards when after,
// so every source byte is read before it is overwritten.
void blendBytesOverlapping(std::uint8_t* d, const std::uint8_t* s, std::size_t n, int alpha)
{
    if (d > s) {
        for (std::size_t i = n; i-- > 0;) {
            const int old = d[i];
            d[i] = static_cast<std::uint8_t>(old + (((s[i] - old) * alpha) >> 8));
        }
        return;
    }
    for (std::size_t i = 0; i < n; ++i) {
        const int old = d[i];
        d[i] = static_cast<std::uint8_t>(old + (((s[i] - old) * alpha) >> 8));
    }
}

// Most keyed copies are the game's cells: their rows get moves of a fixed
// length, chosen once per copy instead of once per row.
constexpr std::size_t CellRowBytes = CellSize * 3;

// The opaque runs of one source row, [run, last), cut to the columns
// [begin, end): op(byte offset from begin, byte count) for each piece left.
template <class PieceOp>
inline void forEachCutRun(const KeyRun* run, const KeyRun* last, int begin, int end, PieceOp op)
{
    while (run != last && run->end <= begin)
        ++run;
    // Every run from here ends past begin, so what is left of it after the
    // cut is never empty while it starts before end.
    for (; run != last && run->first < end; ++run) {
        const int from = std::max(run->first, begin);
        const int to = std::min(run->end, end);
        op(static_cast<std::size_t>(from - begin) * 3, static_cast<std::size_t>(to - from) * 3);
    }
}

}  // namespace

// Clips on all four edges of both Surfaces. Worked in 64 bits so that no
// position, however far off, can overflow. False when nothing is left.
bool Surface::clipTo(const Surface& dest, int x, int y, int sourceX, int sourceY, int width, int height,
                     Clip& out) const
{
    long long dx = x, dy = y, sx = sourceX, sy = sourceY, w = width, h = height;
    if (dx < 0) {
        sx -= dx;
        w += dx;
        dx = 0;
    }
    if (sx < 0) {
        dx -= sx;
        w += sx;
        sx = 0;
    }
    if (dy < 0) {
        sy -= dy;
        h += dy;
        dy = 0;
    }
    if (sy < 0) {
        dy -= sy;
        h += sy;
        sy = 0;
    }
    w = std::min({w, this->width() - sx, dest.width() - dx});
    h = std::min({h, this->height() - sy, dest.height() - dy});
    if (w <= 0 || h <= 0) return false;
    out = Clip{static_cast<int>(dx), static_cast<int>(dy), static_cast<int>(sx),
               static_cast<int>(sy), static_cast<int>(w),  static_cast<int>(h)};
    return true;
}

bool Surface::blit(Surface& dest, int x, int y, int sourceX, int sourceY, int width, int height) const
{
    if (isEmpty() || dest.isEmpty()) return false;
    Clip c;
    if (!clipTo(dest, x, y, sourceX, sourceY, width, height, c)) return true;
    const std::size_t sStride = static_cast<std::size_t>(this->width()) * 3;
    const std::size_t dStride = static_cast<std::size_t>(dest.width()) * 3;
    const std::size_t rowBytes = static_cast<std::size_t>(c.w) * 3;
    // Bottom memory row of the rectangle in each Surface.
    const std::size_t sRow0 = static_cast<std::size_t>(this->height() - c.sy - c.h);
    const std::size_t dRow0 = static_cast<std::size_t>(dest.height() - c.y - c.h);
    const std::uint8_t* s = pixels_.data() + sRow0 * sStride + static_cast<std::size_t>(c.sx) * 3;
    std::uint8_t* d = dest.pixels_.data() + dRow0 * dStride + static_cast<std::size_t>(c.x) * 3;

    if (&dest == this) {
        // Overlapping rows: walk away from the side being written.
        const bool downwards = d > s;
        for (int k = 0; k < c.h; ++k) {
            const std::size_t j = static_cast<std::size_t>(downwards ? c.h - 1 - k : k);
            std::memmove(d + j * dStride, s + j * sStride, rowBytes);
        }
        return true;
    }
    if (rowBytes == sStride && rowBytes == dStride) {
        // Whole rows of both: one contiguous block (full-screen backgrounds).
        std::memcpy(d, s, rowBytes * static_cast<std::size_t>(c.h));
        return true;
    }
    for (int j = 0; j < c.h; ++j) {
        std::memcpy(d, s, rowBytes);
        s += sStride;
        d += dStride;
    }
    return true;
}

// The walk shared by the keyed copy and the blend: for each row of the
// clipped rectangle, each run of that source row cut to [begin, end), handed
// to `op` as destination, source and byte count. One instantiation per
// operation keeps each inner loop free of tests for the other.
template <class RunOp>
void Surface::walkRuns(Surface& dest, const Clip& c, RunOp op) const
{
    const std::size_t sStride = static_cast<std::size_t>(width()) * 3;
    const std::size_t dStride = static_cast<std::size_t>(dest.width()) * 3;
    const int sRow0 = height() - c.sy - c.h;
    // First pixel of the rectangle's bottom row in each Surface.
    const std::uint8_t* sBase = pixels_.data() + static_cast<std::size_t>(sRow0) * sStride +
                                static_cast<std::size_t>(c.sx) * 3;
    std::uint8_t* dBase = dest.pixels_.data() +
                          static_cast<std::size_t>(dest.height() - c.y - c.h) * dStride +
                          static_cast<std::size_t>(c.x) * 3;
    const KeyRun* runs = keyRuns_.data();
    const std::int32_t* rowStart = rowRunStart_.data() + sRow0;
    const int begin = c.sx;
    const int end = c.sx + c.w;
    const std::size_t rowBytes = static_cast<std::size_t>(c.w) * 3;
    // Within one Surface, walk away from the pixels being written: rows from
    // the top and, for a copy to the right within the same rows, the runs of
    // a row from the right, so no run reads pixels an earlier run wrote.
    if (&dest == this && dBase > sBase) {
        sBase += static_cast<std::size_t>(c.h - 1) * sStride;
        dBase += static_cast<std::size_t>(c.h - 1) * dStride;
        rowStart += c.h - 1;
        for (int k = 0; k < c.h; ++k, sBase -= sStride, dBase -= dStride, --rowStart) {
            const KeyRun* const first = runs + rowStart[0];
            for (const KeyRun* run = runs + rowStart[1]; run != first;) {
                --run;
                const int from = std::max(run->first, begin);
                const int to = std::min(run->end, end);
                if (from < to)
                    op(dBase + (from - begin) * 3, sBase + (from - begin) * 3,
                       static_cast<std::size_t>(to - from) * 3);
            }
        }
        return;
    }
    const RunSpan* span = blockRuns_.data() + static_cast<std::size_t>(sRow0) * blocksPerRow_ +
                          begin / RunBlock;
    const std::size_t spanStep = static_cast<std::size_t>(blocksPerRow_);
    const auto rows = [&](auto bytes) {
        for (const std::uint8_t* const sEnd = sBase + c.h * sStride; sBase != sEnd;
             sBase += sStride, dBase += dStride, span += spanStep) {
            if (span->opaqueTo >= end) {
                // Opaque across the rectangle: most rows of a cell.
                op(dBase, sBase, bytes);
                continue;
            }
            forEachCutRun(runs + span->first, runs + span->end, begin, end,
                          [&](std::size_t offset, std::size_t n) { op(dBase + offset, sBase + offset, n); });
        }
    };
    if (rowBytes == CellRowBytes)
        rows(std::integral_constant<std::size_t, CellRowBytes>{});
    else
        rows(rowBytes);
}

bool Surface::blitKeyed(Surface& dest, int x, int y, int sourceX, int sourceY, int width, int height) const
{
    if (!hasKeyRuns_) return blit(dest, x, y, sourceX, sourceY, width, height);
    if (isEmpty() || dest.isEmpty()) return false;
    Clip c;
    if (!clipTo(dest, x, y, sourceX, sourceY, width, height, c)) return true;
    if (&dest == this) {
        walkRuns(dest, c,
                 [](std::uint8_t* d, const std::uint8_t* s, std::size_t n) { std::memmove(d, s, n); });
    } else {
        walkRuns(dest, c, [](std::uint8_t* d, const std::uint8_t* s, std::size_t n) { copyRun(d, s, n); });
    }
    return true;
}

bool Surface::blitKeyedOver(Surface& dest, int x, int y, int sourceX, int sourceY, int width, int height,
                            const Surface& under) const
{
    if (isEmpty() || dest.isEmpty()) return false;
    Clip c;
    if (!clipTo(dest, x, y, sourceX, sourceY, width, height, c)) return true;
    if (!hasKeyRuns_ || &dest == this || &dest == &under || under.width() < dest.width() ||
        under.height() < dest.height()) {
        // No one pass for these: the two copies it stands for.
        under.blit(dest, c.x, c.y, c.x, c.y, c.w, c.h);
        blitKeyed(dest, x, y, sourceX, sourceY, width, height);
        return true;
    }
    const std::size_t sStride = static_cast<std::size_t>(this->width()) * 3;
    const std::size_t dStride = static_cast<std::size_t>(dest.width()) * 3;
    const std::size_t uStride = static_cast<std::size_t>(under.width()) * 3;
    const int sRow0 = this->height() - c.sy - c.h;
    const std::size_t column = static_cast<std::size_t>(c.x) * 3;
    // First pixel of the rectangle's bottom row in each Surface.
    const std::uint8_t* s = pixels_.data() + static_cast<std::size_t>(sRow0) * sStride +
                            static_cast<std::size_t>(c.sx) * 3;
    std::uint8_t* d = dest.pixels_.data() + static_cast<std::size_t>(dest.height() - c.y - c.h) * dStride +
                      column;
    const std::uint8_t* u = under.pixels_.data() +
                            static_cast<std::size_t>(under.height() - c.y - c.h) * uStride + column;
    const KeyRun* runs = keyRuns_.data();
    const int begin = c.sx;
    const int end = c.sx + c.w;
    const std::size_t rowBytes = static_cast<std::size_t>(c.w) * 3;
    const RunSpan* span = blockRuns_.data() + static_cast<std::size_t>(sRow0) * blocksPerRow_ +
                          begin / RunBlock;
    const std::size_t spanStep = static_cast<std::size_t>(blocksPerRow_);
    const auto rows = [&](auto bytes) {
        for (const std::uint8_t* const sEnd = s + c.h * sStride; s != sEnd;
             s += sStride, d += dStride, u += uStride, span += spanStep) {
            if (span->opaqueTo >= end) {
                copyRun(d, s, bytes);  // opaque across the rectangle
                continue;
            }
            // A row with key pixels: under's row, then the runs over it,
            // all while the row is in the cache (a cell has six such rows).
            copyRun(d, u, bytes);
            forEachCutRun(runs + span->first, runs + span->end, begin, end,
                          [&](std::size_t offset, std::size_t n) { copyRun(d + offset, s + offset, n); });
        }
    };
    if (rowBytes == CellRowBytes)
        rows(std::integral_constant<std::size_t, CellRowBytes>{});
    else
        rows(rowBytes);
    return true;
}

bool Surface::landingArea(const Surface& dest, int x, int y, int sourceX, int sourceY, int width, int height,
                          PixelRect& out) const
{
    Clip c;
    if (isEmpty() || dest.isEmpty() || !clipTo(dest, x, y, sourceX, sourceY, width, height, c)) return false;
    out = PixelRect{c.x, c.y, c.w, c.h};
    return true;
}

bool Surface::blitBlended(Surface& dest, int x, int y, int sourceX, int sourceY, int width, int height,
                          int alpha) const
{
    if (!hasKeyRuns_) return blit(dest, x, y, sourceX, sourceY, width, height);
    if (isEmpty() || dest.isEmpty()) return false;
    Clip c;
    if (!clipTo(dest, x, y, sourceX, sourceY, width, height, c)) return true;
    alpha = std::clamp(alpha, 0, 256);
    if (alpha == 0) return true;  // weight 0 leaves every pixel as it was
    if (&dest == this) {
        walkRuns(dest, c, [alpha](std::uint8_t* d, const std::uint8_t* s, std::size_t n) {
            blendBytesOverlapping(d, s, n, alpha);
        });
    } else {
        walkRuns(dest, c, [alpha](std::uint8_t* d, const std::uint8_t* s, std::size_t n) {
            blendBytes(d, s, n, alpha);
        });
    }
    return true;
}

void Surface::buildKeyRuns(int red, int green, int blue)
{
    if (isEmpty()) return;
    const std::uint8_t kb = static_cast<std::uint8_t>(blue);
    const std::uint8_t kg = static_cast<std::uint8_t>(green);
    const std::uint8_t kr = static_cast<std::uint8_t>(red);
    const int w = width();
    const int h = height();
    keyRuns_.clear();
    rowRunStart_.assign(static_cast<std::size_t>(h) + 1, 0);
    for (int row = 0; row < h; ++row) {
        rowRunStart_[static_cast<std::size_t>(row)] = static_cast<std::int32_t>(keyRuns_.size());
        const std::uint8_t* p = pixels_.data() + static_cast<std::size_t>(row) * w * 3;
        int start = -1;
        for (int col = 0; col < w; ++col, p += 3) {
            const bool key = p[0] == kb && p[1] == kg && p[2] == kr;
            if (!key && start < 0) {
                start = col;
            } else if (key && start >= 0) {
                keyRuns_.push_back(KeyRun{start, col});
                start = -1;
            }
        }
        if (start >= 0) keyRuns_.push_back(KeyRun{start, w});
    }
    rowRunStart_[static_cast<std::size_t>(h)] = static_cast<std::int32_t>(keyRuns_.size());
    blocksPerRow_ = (w + RunBlock - 1) / RunBlock;
    blockRuns_.assign(static_cast<std::size_t>(h) * blocksPerRow_, RunSpan{0, 0, 0});
    for (int row = 0; row < h; ++row) {
        std::int32_t run = rowRunStart_[static_cast<std::size_t>(row)];
        const std::int32_t last = rowRunStart_[static_cast<std::size_t>(row) + 1];
        for (int block = 0; block < blocksPerRow_; ++block) {
            const int column = block * RunBlock;
            while (run != last && keyRuns_[static_cast<std::size_t>(run)].end <= column)
                ++run;
            const KeyRun* r = run != last ? &keyRuns_[static_cast<std::size_t>(run)] : nullptr;
            const int opaqueTo = r != nullptr && r->first <= column ? r->end : column;
            blockRuns_[static_cast<std::size_t>(row) * blocksPerRow_ + block] = RunSpan{run, last, opaqueTo};
        }
    }
    hasKeyRuns_ = true;
}

int Surface::keyRunCount(int memoryRow) const
{
    if (!hasKeyRuns_ || memoryRow < 0 || memoryRow >= height()) return 0;
    return rowRunStart_[static_cast<std::size_t>(memoryRow) + 1] -
           rowRunStart_[static_cast<std::size_t>(memoryRow)];
}

const KeyRun* Surface::keyRunsOfRow(int memoryRow) const
{
    if (keyRunCount(memoryRow) == 0) return nullptr;
    return keyRuns_.data() + rowRunStart_[static_cast<std::size_t>(memoryRow)];
}
