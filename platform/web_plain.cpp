#include "platform/web_plain.h"

#include "platform/key_bindings.h"
#include "platform/platform.h"

#include <cstddef>
#include <cstring>

namespace platform {

int capForEvent(const char* code, const char* key)
{
    if (!code) return NoCap;
    struct Named {
        const char* code;
        int cap;
    };
    static const Named Names[] = {
        {"ArrowLeft", CapLeft},      {"ArrowRight", CapRight}, {"ArrowUp", CapUp},
        {"ArrowDown", CapDown},      {"Escape", CapEscape},    {"Enter", CapEnter},
        {"NumpadEnter", CapEnter},   {"Space", CapSpace},      {"Tab", CapTab},
        {"Backspace", CapBackspace},
    };
    for (const Named& n : Names)
        if (std::strcmp(code, n.code) == 0) return n.cap;
    if (code[0] == 'F' && code[1] >= '1' && code[1] <= '9') {
        const int f = code[2] == '\0' ? code[1] - '0'
                                      : (code[3] == '\0' ? (code[1] - '0') * 10 + code[2] - '0' : 0);
        if (f >= 1 && f <= 12) return CapF1 + f - 1;
    }
    if (std::strncmp(code, "Digit", 5) == 0 && code[5] >= '0' && code[5] <= '9' && code[6] == '\0')
        return code[5];
    if (std::strncmp(code, "Key", 3) != 0 || code[3] < 'A' || code[3] > 'Z' || code[4] != '\0') return NoCap;
    const unsigned char typed = key && key[0] && !key[1] ? static_cast<unsigned char>(key[0]) : 0;
    if (typed >= 'a' && typed <= 'z') return typed - 'a' + 'A';
    if (typed >= 'A' && typed <= 'Z') return typed;
    // A key typing no ASCII character has no Latin letter on it.
    if (typed == 0 && (!key || static_cast<unsigned char>(key[0]) >= 0x80)) return code[3];
    return NoCap;
}

int keyForEvent(const char* code, const char* key, bool alt, const KeyBindings& bindings)
{
    const int cap = capForEvent(code, key);
    if (alt && cap == CapEnter) return static_cast<int>(Key::Fullscreen);
    Key bound;
    return bindings.keyForCap(cap, bound) ? static_cast<int>(bound) : -1;
}

bool isEnterCode(const char* code)
{
    return code && (std::strcmp(code, "Enter") == 0 || std::strcmp(code, "NumpadEnter") == 0);
}

char letterForKey(const char* key, bool modified)
{
    // One ASCII letter and nothing else: "a" types, "ArrowLeft" does not.
    if (!key || modified || key[0] == '\0' || key[1] != '\0') return 0;
    const char c = key[0];
    if (c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
    return c >= 'A' && c <= 'Z' ? c : 0;
}

void toCanvasRgba(const std::uint8_t* bgr, int width, int height, std::vector<std::uint8_t>& out)
{
    const std::size_t w = static_cast<std::size_t>(width);
    out.resize(w * static_cast<std::size_t>(height) * 4);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* src = bgr + static_cast<std::size_t>(height - 1 - y) * w * 3;
        std::uint8_t* dst = out.data() + static_cast<std::size_t>(y) * w * 4;
        for (std::size_t x = 0; x < w; ++x, src += 3, dst += 4) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
            dst[3] = 255;
        }
    }
}

}  // namespace platform
