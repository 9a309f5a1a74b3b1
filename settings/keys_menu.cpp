#include "settings/keys_menu.h"

#include <algorithm>

namespace {

KeysStatus statusOf(platform::BindOutcome outcome)
{
    switch (outcome) {
    case platform::BindOutcome::Bound: return KeysStatus::Bound;
    case platform::BindOutcome::Swapped: return KeysStatus::Swapped;
    case platform::BindOutcome::Refused: break;
    }
    return KeysStatus::Refused;
}

}  // namespace

void KeysMenu::reset()
{
    cursor_ = 0;
    status_ = KeysStatus::None;
}

bool KeysMenu::moveCursor(int direction)
{
    const int next = std::clamp(cursor_ + direction, 0, RowCount - 1);
    if (next == cursor_) return false;
    cursor_ = next;
    status_ = KeysStatus::None;
    return true;
}

bool KeysMenu::decide(platform::KeyBindings& bindings)
{
    if (cursor_ == BackRow) return true;
    if (cursor_ == ResetRow) {
        bindings = platform::KeyBindings::defaults();
        status_ = KeysStatus::Reset;
    } else {
        status_ = KeysStatus::Waiting;
    }
    return false;
}

bool KeysMenu::pressed(platform::KeyBindings& bindings, int cap, int button)
{
    if (!waiting()) return true;
    const platform::Key key = RowKeys[cursor_];
    if (cap == platform::CapEscape) {
        status_ = KeysStatus::None;
    } else if (cap != platform::NoCap) {
        status_ = statusOf(platform::bindCap(bindings, key, cap));
    } else if (button != platform::NoButton) {
        status_ = statusOf(platform::bindButton(bindings, key, button));
    }
    return !waiting();
}
