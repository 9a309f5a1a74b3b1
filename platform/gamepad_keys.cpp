#include "platform/gamepad_keys.h"

#include <algorithm>

namespace platform {

namespace {

// Which way one stick axis leans, given which way it leaned before.
int leanOf(int value, int before)
{
    if (value <= -StickPushedAt) return -1;
    if (value >= StickPushedAt) return 1;
    if (before < 0 && value <= -StickLetGoBelow) return -1;
    if (before > 0 && value >= StickLetGoBelow) return 1;
    return 0;
}

}  // namespace

void PadState::setButton(PadButton button, bool down)
{
    const std::uint32_t bit = std::uint32_t{1} << static_cast<int>(button);
    buttons_ = down ? (buttons_ | bit) : (buttons_ & ~bit);
}

void PadState::setAxis(PadAxis axis, int value)
{
    int& lean = axis == PadAxis::LeftX ? leanX_ : leanY_;
    lean = leanOf(value, lean);
}

KeyMask PadState::heldKeys(const KeyBindings& bindings) const
{
    KeyMask held = 0;
    const auto buttonHeld = [this](PadButton b) { return (buttons_ >> static_cast<int>(b) & 1u) != 0; };
    // The D-pad is always the arrows.
    const struct {
        PadButton button;
        Key key;
    } DPad[] = {{PadButton::DPadUp, Key::Up},
                {PadButton::DPadDown, Key::Down},
                {PadButton::DPadLeft, Key::Left},
                {PadButton::DPadRight, Key::Right}};
    for (const auto& d : DPad)
        if (buttonHeld(d.button)) held |= keyBit(d.key);
    for (int k = 0; k < KeyCount; ++k) {
        const int button = bindings.buttons[static_cast<std::size_t>(k)];
        if (button != NoButton && buttonHeld(static_cast<PadButton>(button)))
            held |= keyBit(static_cast<Key>(k));
    }
    if (leanX_ < 0) held |= keyBit(Key::Left);
    if (leanX_ > 0) held |= keyBit(Key::Right);
    if (leanY_ < 0) held |= keyBit(Key::Up);
    if (leanY_ > 0) held |= keyBit(Key::Down);
    return held;
}

void GamepadKeys::attach(int pad)
{
    if (!find(pad)) pads_.push_back(Pad{pad, PadState{}});
}

void GamepadKeys::detach(int pad)
{
    pads_.erase(std::remove_if(pads_.begin(), pads_.end(), [pad](const Pad& p) { return p.id == pad; }),
                pads_.end());
    sync();
}

void GamepadKeys::detachAll()
{
    pads_.clear();
    sync();
}

void GamepadKeys::button(int pad, PadButton button, bool down)
{
    if (PadState* state = find(pad)) {
        state->setButton(button, down);
        sync();
    }
}

void GamepadKeys::axis(int pad, PadAxis axis, int value)
{
    if (PadState* state = find(pad)) {
        state->setAxis(axis, value);
        sync();
    }
}

void GamepadKeys::setBindings(const KeyBindings& bindings)
{
    bindings_ = bindings;
    sync();
}

PadState* GamepadKeys::find(int pad)
{
    for (Pad& p : pads_)
        if (p.id == pad) return &p.state;
    return nullptr;
}

void GamepadKeys::sync()
{
    KeyMask held = 0;
    for (const Pad& p : pads_)
        held |= p.state.heldKeys(bindings_);
    for (int k = 0; k < KeyCount; ++k) {
        const KeyMask bit = keyBit(static_cast<Key>(k));
        if ((held & bit) && !(held_ & bit)) latches_[k].keyDown(false, KeySource::Gamepad);
        if (!(held & bit) && (held_ & bit)) latches_[k].keyUp(KeySource::Gamepad);
    }
    held_ = held;
}

}  // namespace platform
