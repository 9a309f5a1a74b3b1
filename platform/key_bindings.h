// Which keyboard key and which controller button stand for each of the
// game's keys. Keyboard keys are named by what their caps print ("Z",
// "LEFT", "F11"): a letter is found where the player's layout prints it,
// so a binding means the same key on every Latin layout. The rules of
// choosing a new key live here, free of SDL, so that they can be tested.
#pragma once

#include "platform/platform.h"

#include <array>
#include <string>

namespace platform {

// A keyboard key by what its cap prints: 'A'..'Z' and '0'..'9' as
// themselves, the other keys the game knows from 128 on.
enum KeyCap : int {
    NoCap = 0,
    CapLeft = 128,
    CapRight,
    CapUp,
    CapDown,
    CapEscape,
    CapEnter,
    CapSpace,
    CapBackspace,
    CapTab,
    CapF1,
    CapF12 = CapF1 + 11,
};

// "Z", "7", "LEFT", "ESC", "F11"; empty for NoCap and anything else.
std::string keyCapName(int cap);
// The cap of a name as keyCapName writes it; NoCap for any other text.
int keyCapFromName(const std::string& name);

// The controller inputs the game reads. The D-pad and the left stick are
// always the arrows; the other buttons can be given to any key.
enum class PadButton {
    A,
    B,
    Y,
    Back,
    Start,
    DPadUp,
    DPadDown,
    DPadLeft,
    DPadRight,
    X,
    LeftShoulder,
    RightShoulder
};
constexpr int NoButton = -1;

// "A", "B", "X", "Y", "BACK", "START", "LB", "RB"; empty for the D-pad,
// NoButton and anything else.
std::string padButtonName(int button);
// The button of a name as padButtonName writes it; NoButton for any other.
int padButtonFromName(const std::string& name);

struct KeyBindings {
    std::array<int, KeyCount> caps;     // a KeyCap for each Key, NoCap for none
    std::array<int, KeyCount> buttons;  // a PadButton for each Key, NoButton for none

    // The keys printed on the game's screens (arrows, Z, C, Q, P, ESC, M,
    // O, F11, then Enter, Space, Backspace) and the buttons the manual names (A, B, Back, Start, Y).
    static KeyBindings defaults();
    bool operator==(const KeyBindings& o) const { return caps == o.caps && buttons == o.buttons; }
    bool operator!=(const KeyBindings& o) const { return !(*this == o); }

    // The game's key a cap or a button stands for; false for none.
    bool keyForCap(int cap, Key& key) const;
    bool keyForButton(int button, Key& key) const;
};

// Escape always leaves and cancels, so it can never be lost to another key;
// Enter is Alt+Enter's; Enter, Space and Backspace decide and type the name
// whatever the bindings. The D-pad is the arrows'.
bool capChoosable(int cap);
bool buttonChoosable(int button);
// Escape, Enter, Space and Backspace keep their keys; the arrows keep the
// D-pad and stick.
bool keyRebindable(Key key);
bool buttonRebindable(Key key);

// Giving key a new cap or button. A cap or button another key holds is
// swapped: that key takes over key's old one. One that can never be chosen
// (or a key that keeps its own) is refused and nothing changes.
enum class BindOutcome { Bound, Swapped, Refused };
BindOutcome bindCap(KeyBindings& bindings, Key key, int cap);
BindOutcome bindButton(KeyBindings& bindings, Key key, int button);

}  // namespace platform
