#include "platform/gamepad_keys.h"

#include <algorithm>

namespace platform {

namespace {

Key keyOf(PadButton button)
{
    switch (button) {
    case PadButton::A: return Key::Z;
    case PadButton::B: return Key::C;
    case PadButton::Y: return Key::O;
    case PadButton::Back: return Key::Q;
    case PadButton::Start: return Key::P;
    case PadButton::DPadUp: return Key::Up;
    case PadButton::DPadDown: return Key::Down;
    case PadButton::DPadLeft: return Key::Left;
    case PadButton::DPadRight: return Key::Right;
    }
    return Key::Z;
}

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
    const KeyMask bit = keyBit(keyOf(button));
    buttons_ = down ? (buttons_ | bit) : (buttons_ & ~bit);
}

void PadState::setAxis(PadAxis axis, int value)
{
    int& lean = axis == PadAxis::LeftX ? leanX_ : leanY_;
    lean = leanOf(value, lean);
}

KeyMask PadState::heldKeys() const
{
    KeyMask held = buttons_;
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
        held |= p.state.heldKeys();
    for (int k = 0; k < KeyCount; ++k) {
        const KeyMask bit = keyBit(static_cast<Key>(k));
        if ((held & bit) && !(held_ & bit)) latches_[k].keyDown(false, KeySource::Gamepad);
        if (!(held & bit) && (held_ & bit)) latches_[k].keyUp(KeySource::Gamepad);
    }
    held_ = held;
}

}  // namespace platform
