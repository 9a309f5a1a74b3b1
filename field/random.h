// The generator behind block colours: the C standard's example linear
// congruential generator, one state per thread. Using our own rather than the
// C library's rand() keeps colours the same on every libc, so a game seeded
// from the (headless) clock is reproducible.
#pragma once

#include <cstdint>

constexpr int BlockRandomMax = 32767;

// Restarts the sequence of the calling thread from `seed`.
void seedBlockRandom(std::uint32_t seed);

// The next value of the calling thread's sequence, 0..BlockRandomMax.
int nextBlockRandom();
