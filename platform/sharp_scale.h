// A picture scaled by a factor that need not be whole, kept sharp: as if
// each pixel were first repeated by the next whole factor up, then the
// result scaled down smoothly to the size wanted. Only a pixel that falls
// across two of the picture's pixels mixes their colours (at 1.5x one
// column and one row in three); at a whole factor none does. Plain
// arithmetic on 32-bit X, R, G, B words, free of SDL so that it can be tested.
#pragma once

#include <cstdint>
#include <vector>

namespace platform {

// Where one row or column of the result takes its colour: the picture's
// row or column `first`, mixed with the next one by weight / 256.
struct SharpTap {
    int first = 0;
    int weight = 0;  // 0 .. 255
};

// The taps of every row or column of a result targetSize long from a
// picture sourceSize long (targetSize >= sourceSize > 0).
std::vector<SharpTap> sharpTaps(int sourceSize, int targetSize);

// Scales pictures of one size to another, keeping its tables and a line
// of work space from one picture to the next.
class SharpScaler {
public:
    // source: sourceWidth x sourceHeight words, rows top-down, packed;
    // target: targetWidth x targetHeight, each row targetPitch words apart.
    void scale(const std::uint32_t* source, int sourceWidth, int sourceHeight, std::uint32_t* target,
               int targetWidth, int targetHeight, int targetPitch);

private:
    struct MixedColumn {
        int at, first, weight;
    };
    void widen(const std::uint32_t* from, std::uint32_t* to) const;

    int sourceWidth_ = 0, sourceHeight_ = 0, targetWidth_ = 0, targetHeight_ = 0;
    std::vector<int> firsts_;  // each column's first pixel
    std::vector<MixedColumn> mixed_;
    std::vector<SharpTap> rows_;
    std::vector<std::uint32_t> line_;
};

}  // namespace platform
