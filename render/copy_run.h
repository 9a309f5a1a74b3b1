// Copies one run of pixels between different Surfaces. Runs are short (a
// cell row is 96 bytes, a glyph row less), so a call into the library memcpy
// costs more than the copy: wide moves from both ends, overlapping in the
// middle, do it inline and without a loop up to 128 bytes, so a cell row and
// its corner rows take the same branch. n is at least 3. The portable moves
// serve where there is no SSE2 (WebAssembly) and must give the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

inline void copyRunPortable(std::uint8_t* d, const std::uint8_t* s, std::size_t n)
{
    if (n >= 8) {
        // Every 8 bytes of a long run, not only its two ends.
        const std::uint8_t* const last = s + n - 8;
        std::uint8_t* const lastD = d + n - 8;
        std::uint64_t word;
        while (s < last) {
            std::memcpy(&word, s, 8);
            std::memcpy(d, &word, 8);
            s += 8;
            d += 8;
        }
        std::memcpy(&word, last, 8);
        std::memcpy(lastD, &word, 8);
    } else if (n >= 4) {
        std::uint32_t head, tail;
        std::memcpy(&head, s, 4);
        std::memcpy(&tail, s + n - 4, 4);
        std::memcpy(d, &head, 4);
        std::memcpy(d + n - 4, &tail, 4);
    } else {
        for (std::size_t i = 0; i < n; ++i)
            d[i] = s[i];
    }
}

#if defined(__SSE2__)
// The first k and the last k 16-byte blocks of a run of 16 k .. 32 k bytes;
// all loads come before the stores, though the Surfaces never overlap.
template <int K>
inline void copyRunEnds(std::uint8_t* d, const std::uint8_t* s, std::size_t n)
{
    __m128i head[K], tail[K];
    for (int i = 0; i < K; ++i) {
        head[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 16 * i));
        tail[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + n - 16 * (K - i)));
    }
    for (int i = 0; i < K; ++i) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 16 * i), head[i]);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + n - 16 * (K - i)), tail[i]);
    }
}
#endif

inline void copyRun(std::uint8_t* d, const std::uint8_t* s, std::size_t n)
{
#if defined(__SSE2__)
    if (n >= 16) {
        if (n <= 32) return copyRunEnds<1>(d, s, n);
        if (n <= 64) return copyRunEnds<2>(d, s, n);
        if (n <= 128) return copyRunEnds<4>(d, s, n);
        const std::uint8_t* const last = s + n - 16;
        std::uint8_t* const lastD = d + n - 16;
        while (s < last) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d),
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(s)));
            s += 16;
            d += 16;
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(lastD),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(last)));
        return;
    }
#endif
    copyRunPortable(d, s, n);
}
