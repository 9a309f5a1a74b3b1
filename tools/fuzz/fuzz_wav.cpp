// libFuzzer target for the strict check of sound bytes, in memory. The input
// is the file. The check must agree with a model written here another way
// (list the chunks first, judge them after), give a reason exactly when it
// refuses, and place an accepted data chunk inside the input, after its own
// "data" header, holding whole frames.
#include "platform/wav_check.h"
#include "tools/fuzz/fuzz_support.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::uint64_t le(const std::uint8_t* p, int bytes)
{
    std::uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

struct Chunk {
    std::string id;
    std::uint64_t body, size;
};

struct Expected {
    bool accepted = false;
    platform::WavLayout layout;
};

Expected model(const std::uint8_t* d, std::size_t n)
{
    Expected e;
    if (n < 12 || std::memcmp(d, "RIFF", 4) != 0) return e;
    const std::uint64_t end = 8 + le(d + 4, 4);
    if (end > n || end < 12 || std::memcmp(d + 8, "WAVE", 4) != 0) return e;

    std::vector<Chunk> chunks;
    for (std::uint64_t at = 12; at < end;) {
        if (at + 8 > end) return e;
        const Chunk c{std::string(reinterpret_cast<const char*>(d + at), 4), at + 8, le(d + at + 4, 4)};
        if (c.body + c.size > end) return e;
        chunks.push_back(c);
        if (c.id == "data") break;
        at = c.body + c.size + c.size % 2;
    }
    if (chunks.empty() || chunks.back().id != "data") return e;
    const Chunk& data = chunks.back();
    int formats = 0;
    const Chunk* fmt = nullptr;
    for (const Chunk& c : chunks)
        if (c.id == "fmt ") {
            ++formats;
            fmt = &c;
        }
    if (formats != 1 || fmt->size < 16) return e;

    const std::uint8_t* f = d + fmt->body;
    const std::uint64_t tag = le(f, 2), channels = le(f + 2, 2), rate = le(f + 4, 4), byteRate = le(f + 8, 4),
                        block = le(f + 12, 2), bits = le(f + 14, 2);
    const bool good = tag == 1 && (channels == 1 || channels == 2) && rate >= 8000 && rate <= 192000 &&
                      bits == 16 && block == channels * 2 && byteRate == rate * block && data.size > 0 &&
                      data.size % block == 0;
    if (!good) return e;
    e.accepted = true;
    e.layout.channels = static_cast<int>(channels);
    e.layout.bitsPerSample = 16;
    e.layout.sampleRate = static_cast<std::uint32_t>(rate);
    e.layout.dataOffset = static_cast<std::size_t>(data.body);
    e.layout.dataBytes = static_cast<std::size_t>(data.size);
    return e;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const char* reason = "unset";
    platform::WavLayout layout;
    const bool accepted = platform::checkWav(data, size, &reason, &layout);
    FUZZ_CHECK(accepted == (reason == nullptr));
    FUZZ_CHECK(accepted || reason[0] != '\0');
    FUZZ_CHECK(platform::checkWav(data, size, nullptr) == accepted);

    const Expected want = model(data, size);
    FUZZ_CHECK(accepted == want.accepted);
    if (!accepted) return 0;

    FUZZ_CHECK(layout.dataOffset >= 12 + 8 + 16 + 8);
    FUZZ_CHECK(layout.dataBytes > 0 && layout.dataOffset + layout.dataBytes <= size);
    FUZZ_CHECK(std::memcmp(data + layout.dataOffset - 8, "data", 4) == 0);
    FUZZ_CHECK(le(data + layout.dataOffset - 4, 4) == layout.dataBytes);
    FUZZ_CHECK(layout.dataBytes % (static_cast<std::size_t>(layout.channels) * 2) == 0);
    FUZZ_CHECK(layout.channels == want.layout.channels);
    FUZZ_CHECK(layout.bitsPerSample == 16);
    FUZZ_CHECK(layout.sampleRate == want.layout.sampleRate);
    FUZZ_CHECK(layout.dataOffset == want.layout.dataOffset);
    FUZZ_CHECK(layout.dataBytes == want.layout.dataBytes);
    return 0;
}
