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

TEST(CopyRun, EveryLengthIsCopiedWholeOnTheWidePath) { expectWholeRuns(copyRun); }

TEST(CopyRun, EveryLengthIsCopiedWholeWithoutSse2) { expectWholeRuns(copyRunPortable); }

}  // namespace
