#include "platform/key_bindings.h"

#include <cstddef>

namespace platform {

namespace {

struct Named {
    int code;
    const char* name;
};

// The named keys; letters, digits and F1..F12 are spelt out by rule.
const Named CapNames[] = {
    {CapLeft, "LEFT"},   {CapRight, "RIGHT"}, {CapUp, "UP"},
    {CapDown, "DOWN"},   {CapEscape, "ESC"},  {CapEnter, "ENTER"},
    {CapSpace, "SPACE"}, {CapTab, "TAB"},     {CapBackspace, "BACKSPACE"},
};

const Named ButtonNames[] = {
    {static_cast<int>(PadButton::A), "A"},
    {static_cast<int>(PadButton::B), "B"},
    {static_cast<int>(PadButton::X), "X"},
    {static_cast<int>(PadButton::Y), "Y"},
    {static_cast<int>(PadButton::Back), "BACK"},
    {static_cast<int>(PadButton::Start), "START"},
    {static_cast<int>(PadButton::LeftShoulder), "LB"},
    {static_cast<int>(PadButton::RightShoulder), "RB"},
};

int index(Key key) { return static_cast<int>(key); }

// Escape, Enter, Space and Backspace keep their keys and have no button.
bool fixedKey(Key key)
{
    return key == Key::Escape || key == Key::Enter || key == Key::Space || key == Key::Backspace;
}

// The shared rule of bindCap and bindButton over one of the two tables.
BindOutcome bind(std::array<int, KeyCount>& table, Key key, int code, bool choosable, bool rebindable)
{
    if (!choosable || !rebindable) return BindOutcome::Refused;
    int& mine = table[static_cast<std::size_t>(index(key))];
    if (mine == code) return BindOutcome::Bound;
    for (int& other : table) {
        if (&other == &mine || other != code) continue;
        other = mine;
        mine = code;
        return BindOutcome::Swapped;
    }
    mine = code;
    return BindOutcome::Bound;
}

}  // namespace

std::string keyCapName(int cap)
{
    if ((cap >= 'A' && cap <= 'Z') || (cap >= '0' && cap <= '9'))
        return std::string(1, static_cast<char>(cap));
    if (cap >= CapF1 && cap <= CapF12) return "F" + std::to_string(cap - CapF1 + 1);
    for (const Named& n : CapNames)
        if (n.code == cap) return n.name;
    return std::string();
}

int keyCapFromName(const std::string& name)
{
    for (int cap = 'A'; cap <= 'Z'; ++cap)
        if (name == keyCapName(cap)) return cap;
    for (int cap = '0'; cap <= '9'; ++cap)
        if (name == keyCapName(cap)) return cap;
    for (int cap = CapLeft; cap <= CapF12; ++cap)
        if (name == keyCapName(cap)) return cap;
    return NoCap;
}

std::string padButtonName(int button)
{
    for (const Named& n : ButtonNames)
        if (n.code == button) return n.name;
    return std::string();
}

int padButtonFromName(const std::string& name)
{
    for (const Named& n : ButtonNames)
        if (name == n.name) return n.code;
    return NoButton;
}

KeyBindings KeyBindings::defaults()
{
    KeyBindings b;
    b.caps = {CapLeft,   CapRight, CapUp, CapDown,    'Z',      'C',      'Q',         'P',
              CapEscape, 'M',      'O',   CapF1 + 10, CapEnter, CapSpace, CapBackspace};
    b.buttons.fill(NoButton);
    b.buttons[static_cast<std::size_t>(index(Key::Z))] = static_cast<int>(PadButton::A);
    b.buttons[static_cast<std::size_t>(index(Key::C))] = static_cast<int>(PadButton::B);
    b.buttons[static_cast<std::size_t>(index(Key::Q))] = static_cast<int>(PadButton::Back);
    b.buttons[static_cast<std::size_t>(index(Key::P))] = static_cast<int>(PadButton::Start);
    b.buttons[static_cast<std::size_t>(index(Key::O))] = static_cast<int>(PadButton::Y);
    return b;
}

bool KeyBindings::keyForCap(int cap, Key& key) const
{
    if (cap == NoCap) return false;
    for (int k = 0; k < KeyCount; ++k)
        if (caps[static_cast<std::size_t>(k)] == cap) {
            key = static_cast<Key>(k);
            return true;
        }
    return false;
}

bool KeyBindings::keyForButton(int button, Key& key) const
{
    if (button == NoButton) return false;
    for (int k = 0; k < KeyCount; ++k)
        if (buttons[static_cast<std::size_t>(k)] == button) {
            key = static_cast<Key>(k);
            return true;
        }
    return false;
}

bool capChoosable(int cap)
{
    return !keyCapName(cap).empty() && cap != CapEscape && cap != CapEnter && cap != CapSpace &&
           cap != CapBackspace;
}
bool buttonChoosable(int button) { return !padButtonName(button).empty(); }
bool keyRebindable(Key key) { return !fixedKey(key); }
bool buttonRebindable(Key key)
{
    return !fixedKey(key) && key != Key::Left && key != Key::Right && key != Key::Up && key != Key::Down;
}

BindOutcome bindCap(KeyBindings& bindings, Key key, int cap)
{
    return bind(bindings.caps, key, cap, capChoosable(cap), keyRebindable(key));
}

BindOutcome bindButton(KeyBindings& bindings, Key key, int button)
{
    return bind(bindings.buttons, key, button, buttonChoosable(button), buttonRebindable(key));
}

}  // namespace platform
