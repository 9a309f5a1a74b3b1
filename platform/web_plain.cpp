#include "platform/web_plain.h"

#include "platform/platform.h"

#include <cstddef>
#include <cstring>

namespace platform {

int keyForCode(const char* code, bool alt)
{
    struct Pair {
        const char* code;
        Key key;
    };
    // Physical keys, so Z and C sit where they do on any layout.
    static const Pair Pairs[] = {
        {"ArrowLeft", Key::Left}, {"ArrowRight", Key::Right},
        {"ArrowUp", Key::Up},     {"ArrowDown", Key::Down},
        {"KeyZ", Key::Z},         {"KeyC", Key::C},
        {"KeyQ", Key::Q},         {"KeyP", Key::P},
        {"Escape", Key::Escape},  {"KeyM", Key::M},
        {"KeyO", Key::O},         {"F11", Key::Fullscreen},
        {"Space", Key::Space},    {"Backspace", Key::Backspace},
    };
    if (!code) return -1;
    for (const Pair& p : Pairs)
        if (std::strcmp(code, p.code) == 0) return static_cast<int>(p.key);
    if (isEnterCode(code)) return static_cast<int>(alt ? Key::Fullscreen : Key::Enter);
    return -1;
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
