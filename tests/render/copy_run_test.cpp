// A run of pixels is copied whole, every byte of it and nothing around it,
// on the wide path and on the portable one (WebAssembly's).
#include "render/copy_run.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using CopyFn = void (*)(std::uint8_t*, const std::uint8_t*, std::size_t);

void expectWholeRuns(CopyFn copy)
{
    constexpr std::size_t Guard = 16;
    for (std::size_t n = 3; n <= 3 * 640; ++n) {
        std::vector<std::uint8_t> src(n), dst(n + 2 * Guard, 0xEE);
        for (std::size_t i = 0; i < n; ++i)
            src[i] = static_cast<std::uint8_t>(i * 7 + 1);
        copy(dst.data() + Guard, src.data(), n);
        for (std::size_t i = 0; i < n; ++i)
            ASSERT_EQ(dst[Guard + i], src[i]) << "run of " << n << " bytes, byte " << i;
        for (std::size_t i = 0; i < Guard; ++i) {
            ASSERT_EQ(dst[i], 0xEE) << "run of " << n << " bytes wrote before it";
            ASSERT_EQ(dst[Guard + n + i], 0xEE) << "run of " << n << " bytes wrote past it";
        }
    }
}

// Runs begin anywhere in a row (a cell at x = 513 starts at byte 1539),
// so lengths on either side of each change of move width are copied
// between every pair of byte offsets, and both paths must give the same.
void expectRunsFromAnyOffset(CopyFn copy)
{
    const std::size_t lengths[] = {3,  4,  7,  8,  9,  15, 16,  17,  31,  32,
                                   33, 63, 64, 65, 78, 96, 127, 128, 129, 200};
    std::vector<std::uint8_t> src(256 + 16);
    for (std::size_t i = 0; i < src.size(); ++i)
        src[i] = static_cast<std::uint8_t>(i * 13 + 5);
    for (std::size_t n : lengths)
        for (std::size_t from = 0; from < 16; ++from)
            for (std::size_t to = 0; to < 16; ++to) {
                std::vector<std::uint8_t> dst(256 + 32, 0xEE);
                copy(dst.data() + to, src.data() + from, n);
                for (std::size_t i = 0; i < dst.size(); ++i) {
                    const bool inside = i >= to && i < to + n;
                    ASSERT_EQ(dst[i], inside ? src[from + i - to] : 0xEE)
                        << n << " bytes from offset " << from << " to offset " << to << ", byte " << i;
                }
            }
}

TEST(CopyRun, EveryLengthIsCopiedWholeOnTheWidePath)
{
    expectWholeRuns(copyRun);
    expectRunsFromAnyOffset(copyRun);
}

TEST(CopyRun, EveryLengthIsCopiedWholeWithoutSse2)
{
    expectWholeRuns(copyRunPortable);
    expectRunsFromAnyOffset(copyRunPortable);
}

}  // namespace
