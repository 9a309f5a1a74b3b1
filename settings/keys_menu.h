// The options' KEYS page without its pictures: a row for each of the game's
// keys that can be given another keyboard key or controller button, then
// RESET and BACK. Z on a key's row waits for the next key or button
// pressed, which that game key then takes (swapped with the one that had
// it, or refused); Escape while waiting keeps what was there.
#pragma once

#include "platform/key_bindings.h"

enum class KeysStatus { None, Waiting, Bound, Swapped, Refused, Reset };

class KeysMenu {
public:
    // The game's keys in the page's order.
    static constexpr platform::Key RowKeys[] = {
        platform::Key::Left, platform::Key::Right, platform::Key::Up, platform::Key::Down,
        platform::Key::Z,    platform::Key::C,     platform::Key::Q,  platform::Key::P,
        platform::Key::M,    platform::Key::O,     platform::Key::Fullscreen,
    };
    static constexpr int KeyRows = static_cast<int>(sizeof RowKeys / sizeof RowKeys[0]);
    static constexpr int ResetRow = KeyRows;
    static constexpr int BackRow = KeyRows + 1;
    static constexpr int RowCount = KeyRows + 2;

    int cursor() const { return cursor_; }
    KeysStatus status() const { return status_; }
    bool waiting() const { return status_ == KeysStatus::Waiting; }
    // Each visit starts at the first row with nothing to report.
    void reset();

    // Up (-1) or down (+1), stopping at the ends; false when it did not move.
    bool moveCursor(int direction);

    // Z on the cursor's row: a key's row starts waiting, RESET gives every
    // key its default back. True on BACK: the page is to be left.
    bool decide(platform::KeyBindings& bindings);

    // While waiting: the keyboard key (a platform::KeyCap, NoCap for none)
    // or controller button (NoButton for none) pressed, taken as bindCap or
    // bindButton do; Escape ends the wait with nothing changed. False while
    // still waiting for one.
    bool pressed(platform::KeyBindings& bindings, int cap, int button);

private:
    int cursor_ = 0;
    KeysStatus status_ = KeysStatus::None;
};
