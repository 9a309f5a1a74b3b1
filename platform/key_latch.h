// The two readings of one key, shared by both platforms: "down now" and
// "pressed since the previous query". Key events may come from another
// thread than the queries, so both halves are atomics.
#pragma once

#include "platform/platform.h"

#include <atomic>

namespace platform {

class KeyLatch {
public:
    // A key-down event. Auto-repeat keeps the key down but is no new press.
    void keyDown(bool isRepeat)
    {
        down_.store(true);
        if (!isRepeat) pressed_.store(true);
    }
    void keyUp() { down_.store(false); }

    // One query: the current state, consuming the press mark.
    KeyState query()
    {
        KeyState s;
        s.pressedSinceLastQuery = pressed_.exchange(false);
        s.down = down_.load();
        return s;
    }

    void clear()
    {
        down_.store(false);
        pressed_.store(false);
    }

private:
    std::atomic<bool> down_{false};
    std::atomic<bool> pressed_{false};
};

}  // namespace platform
