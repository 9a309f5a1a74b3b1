// The rules of giving the game's keys new keyboard keys and buttons.
#include "platform/key_bindings.h"

#include <gtest/gtest.h>

namespace {

using platform::BindOutcome;
using platform::Key;
using platform::KeyBindings;
using platform::PadButton;

int button(PadButton b) { return static_cast<int>(b); }
int capOf(const KeyBindings& b, Key k) { return b.caps[static_cast<std::size_t>(k)]; }
int buttonOf(const KeyBindings& b, Key k) { return b.buttons[static_cast<std::size_t>(k)]; }

TEST(KeyBindings, ChoosingANewKeyBindsSwapsOrRefuses)
{
    struct Case {
        const char* rule;
        bool pad;  // a controller button, else a keyboard key
        Key key;
        int code;
        BindOutcome outcome;
        // Afterwards: key holds `holds`; `other` holds `otherHolds`.
        int holds;
        Key other;
        int otherHolds;
    };
    const Case cases[] = {
        {"a free key is taken, the old one freed", false, Key::Z, 'K', BindOutcome::Bound, 'K', Key::C, 'C'},
        {"a key in use is swapped", false, Key::Z, 'Q', BindOutcome::Swapped, 'Q', Key::Q, 'Z'},
        {"an arrow can take a letter", false, Key::Left, 'A', BindOutcome::Bound, 'A', Key::Right,
         platform::CapRight},
        {"the same key again changes nothing", false, Key::P, 'P', BindOutcome::Bound, 'P', Key::M, 'M'},
        {"Escape is never given away", false, Key::Q, platform::CapEscape, BindOutcome::Refused, 'Q',
         Key::Escape, platform::CapEscape},
        {"Enter is Alt+Enter's", false, Key::Z, platform::CapEnter, BindOutcome::Refused, 'Z', Key::C, 'C'},
        {"Escape keeps its key", false, Key::Escape, 'E', BindOutcome::Refused, platform::CapEscape, Key::Z,
         'Z'},
        {"Space decides, never another key's", false, Key::Z, platform::CapSpace, BindOutcome::Refused, 'Z',
         Key::Space, platform::CapSpace},
        {"Backspace is the name entry's", false, Key::C, platform::CapBackspace, BindOutcome::Refused, 'C',
         Key::Backspace, platform::CapBackspace},
        {"Enter keeps its key", false, Key::Enter, 'E', BindOutcome::Refused, platform::CapEnter, Key::Z,
         'Z'},
        {"Space keeps its key", false, Key::Space, 'K', BindOutcome::Refused, platform::CapSpace, Key::Z,
         'Z'},
        {"Enter takes no button", true, Key::Enter, button(PadButton::X), BindOutcome::Refused,
         platform::NoButton, Key::Z, button(PadButton::A)},
        {"no key at all is refused", false, Key::Z, platform::NoCap, BindOutcome::Refused, 'Z', Key::C, 'C'},
        {"a free button is taken", true, Key::Z, button(PadButton::X), BindOutcome::Bound,
         button(PadButton::X), Key::C, button(PadButton::B)},
        {"a button in use is swapped", true, Key::Z, button(PadButton::B), BindOutcome::Swapped,
         button(PadButton::B), Key::C, button(PadButton::A)},
        {"a key without a button takes one from another", true, Key::M, button(PadButton::Y),
         BindOutcome::Swapped, button(PadButton::Y), Key::O, platform::NoButton},
        {"the D-pad stays the arrows'", true, Key::Z, button(PadButton::DPadUp), BindOutcome::Refused,
         button(PadButton::A), Key::Up, platform::NoButton},
        {"the arrows keep the D-pad", true, Key::Left, button(PadButton::X), BindOutcome::Refused,
         platform::NoButton, Key::Z, button(PadButton::A)},
    };
    for (const Case& c : cases) {
        KeyBindings b = KeyBindings::defaults();
        const BindOutcome outcome = c.pad ? platform::bindButton(b, c.key, c.code)
                                          : platform::bindCap(b, c.key, c.code);
        EXPECT_EQ(outcome, c.outcome) << c.rule;
        const auto of = c.pad ? buttonOf : capOf;
        EXPECT_EQ(of(b, c.key), c.holds) << c.rule;
        EXPECT_EQ(of(b, c.other), c.otherHolds) << c.rule;
        Key found;
        if (c.holds != platform::NoCap && c.holds != platform::NoButton) {
            ASSERT_TRUE(c.pad ? b.keyForButton(c.holds, found) : b.keyForCap(c.holds, found)) << c.rule;
            EXPECT_EQ(found, c.key) << c.rule;
        }
        if (outcome == BindOutcome::Refused) {
            EXPECT_EQ(b, KeyBindings::defaults()) << c.rule;
        }
    }
}

TEST(KeyBindings, EveryKeyNameReadsBackAndNoTwoKeysShareOne)
{
    for (int cap = 1; cap <= platform::CapF12; ++cap) {
        const std::string name = platform::keyCapName(cap);
        if (name.empty()) continue;
        EXPECT_EQ(platform::keyCapFromName(name), cap) << name;
    }
    EXPECT_EQ(platform::keyCapName(platform::CapF1 + 10), "F11");
    EXPECT_EQ(platform::keyCapFromName("z"), platform::NoCap);  // names are written in capitals
    EXPECT_EQ(platform::keyCapFromName("F13"), platform::NoCap);
    EXPECT_EQ(platform::padButtonFromName(platform::padButtonName(button(PadButton::Back))),
              button(PadButton::Back));
    EXPECT_EQ(platform::padButtonFromName("DPADUP"), platform::NoButton);

    const KeyBindings b = KeyBindings::defaults();
    for (int k = 0; k < platform::KeyCount; ++k) {
        Key found;
        ASSERT_TRUE(b.keyForCap(capOf(b, static_cast<Key>(k)), found));
        EXPECT_EQ(static_cast<int>(found), k);  // every default key is one key's alone
    }
}

}  // namespace
