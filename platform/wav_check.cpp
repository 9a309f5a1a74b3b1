#include "platform/wav_check.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

constexpr std::uint64_t RiffHeaderBytes = 12;  // "RIFF", size, "WAVE"
constexpr std::uint64_t ChunkHeaderBytes = 8;  // id, size
constexpr std::uint32_t FmtMinBytes = 16;
constexpr std::uint16_t FormatPcm = 1;
constexpr int SampleBytes = 2;  // 16 bits, the only depth accepted

std::uint16_t readU16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::uint32_t readU32(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool isId(const unsigned char* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

// The fields of a "fmt " chunk body, one check a line in file order; the
// checks that tie fields together come after the last of them is read.
const char* checkFormat(const unsigned char* f, std::uint64_t bodySize, WavLayout& out)
{
    if (bodySize < FmtMinBytes) return "fmt chunk shorter than 16 bytes";
    if (readU16(f) != FormatPcm) return "not plain PCM";
    out.channels = readU16(f + 2);
    if (out.channels != 1 && out.channels != 2) return "not mono or stereo";
    out.sampleRate = readU32(f + 4);
    if (out.sampleRate < WavMinRate || out.sampleRate > WavMaxRate) return "sample rate out of range";
    const std::uint32_t byteRate = readU32(f + 8);
    const std::uint16_t blockAlign = readU16(f + 12);
    out.bitsPerSample = readU16(f + 14);
    if (out.bitsPerSample != SampleBytes * 8) return "not 16 bits per sample";
    if (blockAlign != out.channels * SampleBytes) return "block size is not one frame";
    if (byteRate != static_cast<std::uint64_t>(out.sampleRate) * blockAlign)
        return "byte rate does not match the sample rate";
    return nullptr;
}

// The walk over a file of `size` bytes of which the first `available` are
// in b: every bound is the file's, and a read past `available` is refused.
const char* check(const unsigned char* b, std::size_t available, std::uint64_t size, WavLayout& out)
{
    if (size < RiffHeaderBytes) return "shorter than a RIFF header";
    if (b == nullptr) return "no bytes";
    if (available < RiffHeaderBytes) return "header not read";
    if (!isId(b, "RIFF")) return "not RIFF";
    const std::uint64_t riffEnd = ChunkHeaderBytes + readU32(b + 4);
    if (riffEnd > size) return "RIFF chunk past the end of the file";
    if (riffEnd < RiffHeaderBytes) return "RIFF chunk too small for its WAVE id";
    if (!isId(b + 8, "WAVE")) return "not WAVE";

    bool haveFormat = false;
    std::uint64_t at = RiffHeaderBytes;
    // An odd chunk last in the RIFF chunk may lack its pad byte: at then
    // lands one past the end, which ends the walk like landing on it.
    while (at < riffEnd) {
        if (riffEnd - at < ChunkHeaderBytes) return "chunk header past the end of the RIFF chunk";
        if (at + ChunkHeaderBytes > available) return "chunks before the samples longer than the part read";
        const unsigned char* chunk = b + at;
        const std::uint64_t body = at + ChunkHeaderBytes;
        const std::uint64_t bodySize = readU32(chunk + 4);
        if (bodySize > riffEnd - body) return "chunk past the end of the RIFF chunk";
        if (isId(chunk, "fmt ")) {
            if (haveFormat) return "two fmt chunks";
            if (body + bodySize > available) return "chunks before the samples longer than the part read";
            if (const char* why = checkFormat(b + body, bodySize, out)) return why;
            haveFormat = true;
        } else if (isId(chunk, "data")) {
            if (!haveFormat) return "data chunk before the fmt chunk";
            if (bodySize == 0) return "no samples";
            if (bodySize % (static_cast<std::uint64_t>(out.channels) * SampleBytes) != 0)
                return "data not a whole number of frames";
            out.dataOffset = static_cast<std::size_t>(body);
            out.dataBytes = static_cast<std::size_t>(bodySize);
            return nullptr;
        }
        at = body + bodySize + (bodySize & 1);
    }
    return haveFormat ? "no data chunk" : "no fmt chunk";
}

}  // namespace

bool checkWav(const unsigned char* bytes, std::size_t size, const char** reason, WavLayout* layout)
{
    WavLayout found;
    const char* why = check(bytes, size, size, found);
    if (reason != nullptr) *reason = why;
    if (why != nullptr) return false;
    if (layout != nullptr) *layout = found;
    return true;
}

bool checkWavHeader(const unsigned char* head, std::size_t available, std::uint64_t fileSize,
                    const char** reason, WavLayout* layout)
{
    WavLayout found;
    const char* why =
        check(head, static_cast<std::size_t>(std::min<std::uint64_t>(available, fileSize)), fileSize, found);
    if (reason != nullptr) *reason = why;
    if (why != nullptr) return false;
    if (layout != nullptr) *layout = found;
    return true;
}

}  // namespace platform
