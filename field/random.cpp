#include "field/random.h"

namespace {
// Per thread: blocks are made on the frame thread only, but tests and tools
// may run fields on other threads without disturbing each other.
thread_local std::uint32_t randomState = 1;
}  // namespace

void seedBlockRandom(std::uint32_t seed) { randomState = seed; }

int nextBlockRandom()
{
    // Unsigned 32-bit arithmetic wraps as the reference sequence expects.
    randomState = randomState * 1103515245u + 12345u;
    return static_cast<int>((randomState / 65536u) % 32768u);
}
