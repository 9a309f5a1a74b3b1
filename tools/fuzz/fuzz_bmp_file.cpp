// libFuzzer target for the way a picture comes from a file: the input is
// written to a file in a private directory on a memory file system and
// loaded with Surface::loadBmp, which must give exactly what the reader over
// memory gives for the same bytes: the verdict, the reason and the pixels.
// The parsing itself is fuzz_bmp's; this one stays small and checks the
// file path around it.
#include "render/surface.h"
#include "tools/fuzz/fuzz_support.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace {

std::string g_path;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    g_path = fuzz::makeScratchDir("bmp") + "/input.bmp";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::writeFile(g_path, data, size);
    Surface fromFile, fromMemory;
    FUZZ_CHECK(fromFile.createFilled(4, 4, 1, 2, 3));
    const char* fileReason = "unset";
    const char* memoryReason = "unset";
    const bool accepted = fromFile.loadBmp(g_path, &fileReason);
    FUZZ_CHECK(fromMemory.loadBmpFromMemory(data, size, &memoryReason) == accepted);
    // The file is there, so a rejection is the bytes' fault and has a reason.
    FUZZ_CHECK((fileReason == nullptr) == accepted);
    FUZZ_CHECK(accepted || std::strcmp(fileReason, memoryReason) == 0);
    FUZZ_CHECK(fromFile.isEmpty() == !accepted);
    FUZZ_CHECK(fromFile.width() == fromMemory.width() && fromFile.height() == fromMemory.height());
    FUZZ_CHECK(fromFile.byteCount() == fromMemory.byteCount());
    FUZZ_CHECK(fromFile.byteCount() == 0 ||
               std::memcmp(fromFile.pixels(), fromMemory.pixels(), fromFile.byteCount()) == 0);
    return 0;
}
