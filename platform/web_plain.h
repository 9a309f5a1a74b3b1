// The browser platform's plain parts, apart from Emscripten so that the
// native tests check them: which key a physical key code is, and the back
// buffer turned into the canvas's pixels.
#pragma once

#include <cstdint>
#include <vector>

namespace platform {

struct KeyBindings;

// The cap (KeyCap) of a KeyboardEvent: a letter key by the letter the
// layout types on it (its key), or by its place (its code, "KeyZ") when
// that is no ASCII character (a Cyrillic letter, say); digits and named
// keys by their place. NoCap for a key the game has no name for.
int capForEvent(const char* code, const char* key);

// The Key (as an int) that a KeyboardEvent stands for under bindings, -1
// for a key the game ignores. With alt, Enter is the fullscreen key.
int keyForEvent(const char* code, const char* key, bool alt, const KeyBindings& bindings);
// Whether the code is one of the two Enter keys: their key-up lets go of
// Enter and fullscreen both, whatever the modifiers are by then.
bool isEnterCode(const char* code);

// The letter 'A'..'Z' a KeyboardEvent.key types (what the layout prints),
// 0 for anything else or when Ctrl, Alt or Meta (modified) is held.
char letterForKey(const char* key, bool modified);

// Blue-green-red rows, bottom-up, stride width x 3, into red-green-blue-
// alpha rows, top-down, opaque: what a canvas takes. out is resized.
void toCanvasRgba(const std::uint8_t* bgr, int width, int height, std::vector<std::uint8_t>& out);

}  // namespace platform
