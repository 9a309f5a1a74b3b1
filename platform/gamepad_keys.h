// Game controllers as the game's keys, free of SDL so that the rules can be
// tested: the D-pad and the left stick read as the arrows, the other buttons
// as the bindings say (by default A as Z, B as C, Start as P (pause), Back
// as Q, Y as O (options)). The SDL side feeds the
// controllers' button and stick changes in; the keys they hold go to the
// same latches as the keyboard's, as the gamepad's hold.
#pragma once

#include "platform/key_bindings.h"
#include "platform/key_latch.h"
#include "platform/platform.h"

#include <array>
#include <cstdint>
#include <vector>

namespace platform {

enum class PadAxis { LeftX, LeftY };

// The stick counts as pushed once it leans at least half way, and as let go
// only when it leans less than a quarter: a stick resting near either line
// (worn springs, a thumb at rest) neither chatters nor drifts into a move.
constexpr int StickPushedAt = 16384;
constexpr int StickLetGoBelow = 8192;

// One bit per Key.
using KeyMask = std::uint32_t;
constexpr KeyMask keyBit(Key key) { return KeyMask{1} << static_cast<int>(key); }

// What one controller holds.
class PadState {
public:
    void setButton(PadButton button, bool down);
    // value -32768 (left, up) .. 32767 (right, down), as controllers report.
    void setAxis(PadAxis axis, int value);
    KeyMask heldKeys(const KeyBindings& bindings) const;

private:
    std::uint32_t buttons_ = 0;  // one bit per PadButton
    int leanX_ = 0;              // -1 left, 0 neither, +1 right
    int leanY_ = 0;              // -1 up, 0 neither, +1 down
};

// Every controller plugged in, and the keys they hold together.
class GamepadKeys {
public:
    using Latches = std::array<KeyLatch, KeyCount>;
    explicit GamepadKeys(Latches& latches) : latches_(latches) {}

    // A controller plugged in / out; pulling one lets go of what it held.
    // Ids are the caller's; changes for an id not attached are ignored.
    void attach(int pad);
    void detach(int pad);
    void detachAll();
    bool anyAttached() const { return !pads_.empty(); }

    void button(int pad, PadButton button, bool down);
    void axis(int pad, PadAxis axis, int value);
    // New bindings act at once: a button held under the old ones lets go of
    // its old key and holds its new one.
    void setBindings(const KeyBindings& bindings);

private:
    struct Pad {
        int id;
        PadState state;
    };
    PadState* find(int pad);
    // Passes what changed in the controllers' joint hold to the latches: a
    // key first held by any controller is a press, one no controller holds
    // any more is let go by the gamepad (the keyboard may still hold it).
    void sync();

    Latches& latches_;
    std::vector<Pad> pads_;
    KeyBindings bindings_ = KeyBindings::defaults();
    KeyMask held_ = 0;  // as last passed to the latches
};

}  // namespace platform
