// A strict look at a sound file's bytes before they go to the mixer: only
// the shape the game's own sounds have gets through, everything else is
// turned away with a short reason, the way the picture reader does it.
// Plain C++, no audio library: the tests and the fuzz target call it alone.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// Where the samples are and how they are laid out.
struct WavLayout {
    int channels = 0;
    int bitsPerSample = 0;
    std::uint32_t sampleRate = 0;
    std::size_t dataOffset = 0;  // first sample byte
    std::size_t dataBytes = 0;   // a whole number of frames, never 0
};

// Accepted sample rates, in Hz.
constexpr std::uint32_t WavMinRate = 8000;
constexpr std::uint32_t WavMaxRate = 192000;

// True for a RIFF "WAVE" file of plain PCM, 16 bits, mono or stereo, at a
// rate in WavMinRate..WavMaxRate, whose RIFF chunk lies within the bytes.
// Chunks are walked in file order, sizes counted in 64 bits, odd sizes
// padded by one byte; chunks other than "fmt " and "data" are skipped, and
// the first "data" chunk ends the walk. "fmt " must come first of the two
// and appear once; "data" must fit inside the RIFF chunk, hold at least one
// frame and a whole number of them. A file cut short inside its data is
// refused, not played in part: the game's sounds are written whole, so a
// short one is damaged. Bytes after the RIFF chunk are ignored.
// On success fills layout (when given) and sets *reason to null; otherwise
// sets *reason (when given) to a short text naming the first failed check.
bool checkWav(const unsigned char* bytes, std::size_t size, const char** reason, WavLayout* layout = nullptr);

// The same check for a sound played from its file: head holds the first
// `available` bytes of a file of fileSize bytes. Every bound is the file's
// size, so a file that checkWav takes whole passes here too, and the other
// way round, as long as everything before the first sample is in head;
// when it is not, the file is refused ("chunks before the samples longer
// than the part read").
bool checkWavHeader(const unsigned char* head, std::size_t available, std::uint64_t fileSize,
                    const char** reason, WavLayout* layout = nullptr);

}  // namespace platform
