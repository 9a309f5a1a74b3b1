// libFuzzer target for the strict BMP reader and the copies that draw what it
// loads, all in memory (fuzz_bmp_file covers the way through a file). The
// input is the file. The reader must accept exactly the one shape it
// promises, give a reason exactly when it rejects, and keep the pixels byte
// for byte. An accepted picture is then copied into a small surface, plain,
// keyed and blended, at a position taken from header bytes the reader
// ignores, and every destination pixel is checked against a per-pixel model
// of the clipping.
#include "render/surface.h"
#include "tools/fuzz/fuzz_support.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::uint32_t u32At(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::int32_t i32At(const std::uint8_t* p)
{
    std::int32_t v;
    const std::uint32_t u = u32At(p);
    std::memcpy(&v, &u, sizeof v);
    return v;
}

// The accepted shape, written out independently of the reader as one
// expression per field.
bool shapeIsAccepted(const std::uint8_t* d, std::size_t n)
{
    if (n < 54) return false;
    const std::int64_t w = i32At(d + 18);
    const std::int64_t h = i32At(d + 22);
    return d[0] == 'B' && d[1] == 'M' && u32At(d + 10) == 54 && u32At(d + 14) == 40 && w >= 1 && w <= 4096 &&
           w % 4 == 0 && h >= 1 && h <= 4096 && (d[26] | (d[27] << 8)) == 1 && (d[28] | (d[29] << 8)) == 24 &&
           u32At(d + 30) == 0 && static_cast<std::uint64_t>(n - 54) >= static_cast<std::uint64_t>(w * h * 3);
}

struct Rgb {
    std::uint8_t b, g, r;
    bool operator==(const Rgb& o) const { return b == o.b && g == o.g && r == o.r; }
};

FUZZ_MODEL Rgb pixelAt(const std::vector<std::uint8_t>& bytes, int width, int height, int x, int y)
{
    const std::size_t at = (static_cast<std::size_t>(height - 1 - y) * width + x) * 3;
    return Rgb{bytes[at], bytes[at + 1], bytes[at + 2]};
}

enum class Copy { Plain, Keyed, Blended };

struct Placement {
    int x, y, sx, sy, w, h, alpha;
};

// What a copy must leave in dest, pixel by pixel: a destination pixel (X, Y)
// takes source pixel (sx + X - x, sy + Y - y) when the offset lies inside the
// w x h rectangle and both pixels lie inside their surfaces. The source is
// read from a snapshot, so a copy within one surface behaves like memmove.
FUZZ_MODEL std::vector<std::uint8_t> expectedCopy(const std::vector<std::uint8_t>& src, int sw, int sh,
                                                  const std::vector<std::uint8_t>& dst, int dw, int dh,
                                                  const Placement& p, Copy kind, bool keyed, Rgb key)
{
    std::vector<std::uint8_t> out = dst;
    const int alpha = std::clamp(p.alpha, 0, 256);
    for (int Y = 0; Y < dh; ++Y) {
        for (int X = 0; X < dw; ++X) {
            const std::int64_t kx = static_cast<std::int64_t>(X) - p.x;
            const std::int64_t ky = static_cast<std::int64_t>(Y) - p.y;
            if (kx < 0 || kx >= p.w || ky < 0 || ky >= p.h) continue;
            const std::int64_t u = p.sx + kx;
            const std::int64_t v = p.sy + ky;
            if (u < 0 || u >= sw || v < 0 || v >= sh) continue;
            const Rgb s = pixelAt(src, sw, sh, static_cast<int>(u), static_cast<int>(v));
            if (kind != Copy::Plain && keyed && s == key) continue;
            const std::size_t at = (static_cast<std::size_t>(dh - 1 - Y) * dw + X) * 3;
            const std::uint8_t sb[3] = {s.b, s.g, s.r};
            for (int c = 0; c < 3; ++c) {
                if (kind == Copy::Blended && keyed) {
                    const int old = out[at + c];
                    out[at + c] = static_cast<std::uint8_t>(old + (((sb[c] - old) * alpha) >> 8));
                } else {
                    out[at + c] = sb[c];
                }
            }
        }
    }
    return out;
}

FUZZ_MODEL std::vector<std::uint8_t> pixelsOf(const Surface& s)
{
    return std::vector<std::uint8_t>(s.pixels(), s.pixels() + s.byteCount());
}

FUZZ_MODEL void restorePixels(Surface& s, const std::vector<std::uint8_t>& pixels)
{
    std::copy(pixels.begin(), pixels.end(), s.pixels());
}

bool runCopy(const Surface& src, Surface& dest, const Placement& p, Copy kind)
{
    switch (kind) {
    case Copy::Plain: return src.blit(dest, p.x, p.y, p.sx, p.sy, p.w, p.h);
    case Copy::Keyed: return src.blitKeyed(dest, p.x, p.y, p.sx, p.sy, p.w, p.h);
    case Copy::Blended: return src.blitBlended(dest, p.x, p.y, p.sx, p.sy, p.w, p.h, p.alpha);
    }
    return false;
}

// Bytes 2..9 (file size and reserved words) and 38..53 (resolution and
// colour counts) are ignored by the reader, so the fuzzer can steer the
// copies through them without changing what is loaded.
Placement placementFrom(const std::uint8_t* d)
{
    Placement p;
    const bool far = (d[9] & 1) != 0;
    p.x = far ? i32At(d + 38) : static_cast<std::int8_t>(d[2]);
    p.y = far ? i32At(d + 42) : static_cast<std::int8_t>(d[3]);
    p.sx = static_cast<std::int8_t>(d[4]);
    p.sy = static_cast<std::int8_t>(d[5]);
    p.w = (d[9] & 2) != 0 ? i32At(d + 46) : static_cast<std::int8_t>(d[6]);
    p.h = (d[9] & 2) != 0 ? i32At(d + 50) : static_cast<std::int8_t>(d[7]);
    p.alpha = static_cast<int>(d[8]) * 2 - 128;  // -128..382: both clamps get hit
    return p;
}

void checkCopies(const Surface& loaded, const std::uint8_t* d)
{
    const Placement p = placementFrom(d);
    const bool selfCopy = (d[9] & 4) != 0;
    const bool keyed = (d[9] & 8) != 0;
    // Key on the first pixel's colour, so pictures with any repetition have
    // both key and non-key pixels.
    const Rgb key = pixelAt(pixelsOf(loaded), loaded.width(), loaded.height(), 0, loaded.height() - 1);

    // One destination for the three copies, its first content restored
    // before each; one source unless the copies write into it.
    Surface src, dest;
    std::vector<std::uint8_t> destBefore;
    if (!selfCopy) {
        FUZZ_CHECK(dest.createFilled(13 + (d[9] >> 4), 7 + (d[8] & 7), d[51], d[52], d[53]));
        destBefore = pixelsOf(dest);
    }
    for (Copy kind : {Copy::Plain, Copy::Keyed, Copy::Blended}) {
        if (selfCopy || src.isEmpty()) {
            FUZZ_CHECK(src.loadBmpFromMemory(d, static_cast<std::size_t>(54) + loaded.byteCount()));
            if (keyed) {
                src.buildKeyRuns(key.r, key.g, key.b);
                FUZZ_CHECK(src.hasKeyRuns());
            }
        }
        if (selfCopy) {
            const std::vector<std::uint8_t> before = pixelsOf(src);
            const std::vector<std::uint8_t> want = expectedCopy(
                before, src.width(), src.height(), before, src.width(), src.height(), p, kind, keyed, key);
            FUZZ_CHECK(runCopy(src, src, p, kind));
            FUZZ_CHECK(pixelsOf(src) == want);
        } else {
            restorePixels(dest, destBefore);
            const std::vector<std::uint8_t> want = expectedCopy(pixelsOf(src), src.width(), src.height(),
                                                                destBefore, dest.width(), dest.height(), p,
                                                                kind, keyed, key);
            FUZZ_CHECK(runCopy(src, dest, p, kind));
            FUZZ_CHECK(pixelsOf(dest) == want);
            // The source is never written by a copy to another surface.
            FUZZ_CHECK(std::equal(src.pixels(), src.pixels() + src.byteCount(), d + 54));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Surface s;
    // A surface that held a picture must come out empty after a rejection.
    FUZZ_CHECK(s.createFilled(4, 4, 1, 2, 3));
    s.buildKeyRuns(1, 2, 3);
    const char* reason = "unset";
    const bool accepted = s.loadBmpFromMemory(data, size, &reason);
    FUZZ_CHECK(accepted == shapeIsAccepted(data, size));
    FUZZ_CHECK(accepted == (reason == nullptr));

    if (!accepted) {
        FUZZ_CHECK(reason[0] != '\0');
        FUZZ_CHECK(s.isEmpty());
        FUZZ_CHECK(s.width() == 0 && s.height() == 0 && s.byteCount() == 0);
        FUZZ_CHECK(!s.hasKeyRuns() && s.pixels() == nullptr);
        return 0;
    }

    FUZZ_CHECK(!s.hasKeyRuns());
    FUZZ_CHECK(s.width() >= 1 && s.width() <= SurfaceMaxSide && s.width() % 4 == 0);
    FUZZ_CHECK(s.height() >= 1 && s.height() <= SurfaceMaxSide);
    const std::size_t count = static_cast<std::size_t>(s.width()) * s.height() * 3;
    FUZZ_CHECK(s.byteCount() == count && 54 + count <= size);
    FUZZ_CHECK(std::equal(s.pixels(), s.pixels() + count, data + 54));
    FUZZ_CHECK(s.header().width == i32At(data + 18) && s.header().height == i32At(data + 22));
    FUZZ_CHECK(s.header().sizeImage == u32At(data + 34));

    // Key runs: every run lies inside its row, runs are ordered and apart,
    // and together they cover exactly the pixels not of the key colour.
    const Rgb key{data[54], data[55], data[56]};
    s.buildKeyRuns(key.r, key.g, key.b);
    FUZZ_CHECK(s.hasKeyRuns());
    for (int row = 0; row < s.height(); ++row) {
        const int n = s.keyRunCount(row);
        const KeyRun* runs = s.keyRunsOfRow(row);
        FUZZ_CHECK((n == 0) == (runs == nullptr));
        int covered = 0;
        for (int i = 0; i < n; ++i) {
            FUZZ_CHECK(runs[i].first < runs[i].end);
            FUZZ_CHECK(runs[i].first >= (i == 0 ? 0 : runs[i - 1].end + 1));
            FUZZ_CHECK(runs[i].end <= s.width());
            covered += runs[i].end - runs[i].first;
        }
        int notKey = 0;
        for (int x = 0; x < s.width(); ++x) {
            const std::uint8_t* px = s.pixels() + (static_cast<std::size_t>(row) * s.width() + x) * 3;
            notKey += !(px[0] == key.b && px[1] == key.g && px[2] == key.r);
        }
        FUZZ_CHECK(covered == notKey);
    }
    FUZZ_CHECK(s.keyRunCount(-1) == 0 && s.keyRunCount(s.height()) == 0);

    checkCopies(s, data);
    return 0;
}
