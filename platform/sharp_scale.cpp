#include "platform/sharp_scale.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

// a and b mixed, b by weight / 256; the X byte set.
std::uint32_t mix(std::uint32_t a, std::uint32_t b, std::uint32_t weight)
{
    const std::uint32_t keep = 256 - weight;
    const std::uint32_t redBlue = ((a & 0xFF00FFu) * keep + (b & 0xFF00FFu) * weight) >> 8 & 0xFF00FFu;
    const std::uint32_t green = ((a & 0xFF00u) * keep + (b & 0xFF00u) * weight) >> 8 & 0xFF00u;
    return 0xFF000000u | redBlue | green;
}


// a and b half and half, each channel rounded down: mix(a, b, 128) without
// multiplying.
std::uint32_t mean(std::uint32_t a, std::uint32_t b) { return (a & b) + (((a ^ b) & 0xFEFEFEFEu) >> 1); }

// 1.5x, the usual size on a desktop 1080 rows high: each 2 x 2 block of the
// picture becomes 3 x 3, the middle row and column mixed half and half, as
// sharpTaps has it, without its tables.
void scaleOneAndAHalf(const std::uint32_t* source, int width, int height, std::uint32_t* target, int pitch)
{
    for (int y = 0; y < height; y += 2) {
        const std::uint32_t* upper = source + static_cast<std::ptrdiff_t>(y) * width;
        const std::uint32_t* lower = upper + width;
        std::uint32_t* top = target + static_cast<std::ptrdiff_t>(y / 2 * 3) * pitch;
        std::uint32_t* middle = top + pitch;
        std::uint32_t* bottom = middle + pitch;
        for (int x = 0; x < width; x += 2, top += 3, middle += 3, bottom += 3) {
            const std::uint32_t a = upper[x] | 0xFF000000u, b = upper[x + 1] | 0xFF000000u;
            const std::uint32_t c = lower[x] | 0xFF000000u, d = lower[x + 1] | 0xFF000000u;
            const std::uint32_t ab = mean(a, b), cd = mean(c, d);
            top[0] = a;
            top[1] = ab;
            top[2] = b;
            middle[0] = mean(a, c);
            middle[1] = mean(ab, cd);
            middle[2] = mean(b, d);
            bottom[0] = c;
            bottom[1] = cd;
            bottom[2] = d;
        }
    }
}

}  // namespace

std::vector<SharpTap> sharpTaps(int sourceSize, int targetSize)
{
    std::vector<SharpTap> taps(static_cast<std::size_t>(std::max(0, targetSize)));
    if (sourceSize <= 0 || targetSize <= 0) return taps;
    // Each pixel repeated `whole` times makes a line `large` long; result
    // pixel o's centre lies at (o + 1/2) large / target - 1/2 on it, here
    // counted in steps of 1 / (2 target) to stay exact.
    const long long whole = (targetSize + sourceSize - 1) / sourceSize;
    const long long large = whole * sourceSize;
    const long long unit = 2LL * targetSize;
    for (int o = 0; o < targetSize; ++o) {
        const long long at = std::max(0LL, (2LL * o + 1) * large - targetSize);
        const long long left = std::min(at / unit, large - 1);
        const long long right = std::min(left + 1, large - 1);
        const long long weight = ((at - left * unit) * 256 + targetSize) / unit;
        SharpTap& t = taps[static_cast<std::size_t>(o)];
        t.first = static_cast<int>(left / whole);
        // Within one repeated pixel, or as good as on one side: no mixing.
        if (right / whole != left / whole && weight > 0) {
            if (weight >= 256)
                t.first = static_cast<int>(right / whole);
            else
                t.weight = static_cast<int>(weight);
        }
    }
    return taps;
}

// One row of the picture widened to the target's width: every column takes
// its first pixel, then the few mixed ones are mixed. Two plain loops cost
// less than one that asks at each pixel.
void SharpScaler::widen(const std::uint32_t* from, std::uint32_t* to) const
{
    const int width = static_cast<int>(firsts_.size());
    const int* first = firsts_.data();
    for (int x = 0; x < width; ++x)
        to[x] = from[first[x]];
    for (const MixedColumn& m : mixed_)
        to[m.at] = mix(from[m.first], from[m.first + 1], static_cast<std::uint32_t>(m.weight));
}

void SharpScaler::scale(const std::uint32_t* source, int sourceWidth, int sourceHeight, std::uint32_t* target,
                        int targetWidth, int targetHeight, int targetPitch)
{
    if (sourceWidth % 2 == 0 && sourceHeight % 2 == 0 && 2 * targetWidth == 3 * sourceWidth &&
        2 * targetHeight == 3 * sourceHeight) {
        scaleOneAndAHalf(source, sourceWidth, sourceHeight, target, targetPitch);
        return;
    }
    if (sourceWidth != sourceWidth_ || targetWidth != targetWidth_) {
        firsts_.clear();
        mixed_.clear();
        const std::vector<SharpTap> columns = sharpTaps(sourceWidth, targetWidth);
        for (int x = 0; x < targetWidth; ++x) {
            const SharpTap t = columns[static_cast<std::size_t>(x)];
            firsts_.push_back(t.first);
            if (t.weight) mixed_.push_back(MixedColumn{x, t.first, t.weight});
        }
        line_.assign(static_cast<std::size_t>(targetWidth), 0);
        sourceWidth_ = sourceWidth;
        targetWidth_ = targetWidth;
    }
    if (sourceHeight != sourceHeight_ || targetHeight != targetHeight_) {
        rows_ = sharpTaps(sourceHeight, targetHeight);
        sourceHeight_ = sourceHeight;
        targetHeight_ = targetHeight;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(targetWidth) * sizeof(std::uint32_t);
    // A row of the result that takes one of the picture's rows unmixed is
    // that row widened, made once and copied to its repeats; a mixed row
    // mixes the two widened rows around it.
    int widened = -1;  // the picture's row whose widened copy is at `last`
    const std::uint32_t* last = nullptr;
    for (int y = 0; y < targetHeight; ++y) {
        const SharpTap t = rows_[static_cast<std::size_t>(y)];
        std::uint32_t* out = target + static_cast<std::ptrdiff_t>(y) * targetPitch;
        const std::uint32_t* row = source + static_cast<std::ptrdiff_t>(t.first) * sourceWidth;
        if (t.weight == 0) {
            if (widened == t.first)
                std::memcpy(out, last, rowBytes);
            else
                widen(row, out);
            widened = t.first;
            last = out;
            continue;
        }
        // The upper row widened (kept from the row before when it is there),
        // the lower one into the work line, then both mixed in place.
        if (widened == t.first)
            std::memcpy(out, last, rowBytes);
        else
            widen(row, out);
        widen(row + sourceWidth, line_.data());
        for (int x = 0; x < targetWidth; ++x)
            out[x] = mix(out[x], line_[static_cast<std::size_t>(x)], static_cast<std::uint32_t>(t.weight));
        widened = t.first + 1;
        last = line_.data();
    }
}

}  // namespace platform
