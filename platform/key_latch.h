// The two readings of one key, shared by both platforms: "down now" and
// "pressed since the previous query". Key events may come from another
// thread than the queries, so both halves are atomics.
#pragma once

#include "platform/platform.h"

#include <atomic>

namespace platform {

// Who holds a key: the keyboard and the gamepads each keep their own hold,
// so that letting go on one leaves the key down while the other holds it.
enum class KeySource : unsigned { Keyboard = 1u, Gamepad = 2u };

class KeyLatch {
public:
    // A key-down event. Auto-repeat keeps the key down but is no new press.
    void keyDown(bool isRepeat, KeySource source = KeySource::Keyboard)
    {
        holders_.fetch_or(static_cast<unsigned>(source));
        if (!isRepeat) pressed_.store(true);
    }
    void keyUp(KeySource source = KeySource::Keyboard) { holders_.fetch_and(~static_cast<unsigned>(source)); }

    // One query: the current state, consuming the press mark.
    KeyState query()
    {
        KeyState s;
        s.pressedSinceLastQuery = pressed_.exchange(false);
        s.down = holders_.load() != 0;
        return s;
    }

    void clear()
    {
        holders_.store(0);
        pressed_.store(false);
    }

private:
    std::atomic<unsigned> holders_{0};  // KeySource bits
    std::atomic<bool> pressed_{false};
};

}  // namespace platform
