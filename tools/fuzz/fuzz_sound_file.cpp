// libFuzzer target for the way a sound comes from a file: the input is
// written to a file in a private directory on a memory file system and read
// back with platform::readFile under a cap taken from the input; the bytes
// read must be the file's first bytes up to the cap, and the strict check of
// them must say what it says of the same bytes in memory. The check itself
// is fuzz_wav's; this one stays small.
#include "platform/files.h"
#include "platform/wav_check.h"
#include "tools/fuzz/fuzz_support.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string g_path;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    g_path = fuzz::makeScratchDir("sound") + "/input.wav";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::writeFile(g_path, data, size);
    // Caps both under and over the input's length, 0 included.
    const std::size_t cap = size == 0 ? 0 : (data[size - 1] & 1) ? size + data[0] : data[0] * 17u;
    std::vector<unsigned char> bytes = {1, 2, 3};
    FUZZ_CHECK(platform::readFile(g_path, bytes, cap));
    const std::size_t kept = std::min(size, cap);
    FUZZ_CHECK(bytes.size() == kept);
    FUZZ_CHECK(kept == 0 || std::memcmp(bytes.data(), data, kept) == 0);

    const char* fileReason = "unset";
    const char* memoryReason = "unset";
    const bool accepted = platform::checkWav(bytes.data(), bytes.size(), &fileReason);
    FUZZ_CHECK(platform::checkWav(data, kept, &memoryReason) == accepted);
    FUZZ_CHECK(accepted == (fileReason == nullptr));
    FUZZ_CHECK(accepted || std::strcmp(fileReason, memoryReason) == 0);
    return 0;
}
