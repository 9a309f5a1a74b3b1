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
    // A hold that is ignored stays ignored until its key-up, whatever
    // key-downs come in between.
    void keyDown(bool isRepeat, KeySource source = KeySource::Keyboard)
    {
        const unsigned bit = static_cast<unsigned>(source);
        holders_.fetch_or(bit);
        if (!isRepeat && !(ignored_.load() & bit)) pressed_.store(true);
    }
    void keyUp(KeySource source = KeySource::Keyboard)
    {
        const unsigned bit = static_cast<unsigned>(source);
        holders_.fetch_and(~bit);
        ignored_.fetch_and(~bit);
    }

    // One query: the current state, consuming the press mark.
    KeyState query()
    {
        KeyState s;
        s.pressedSinceLastQuery = pressed_.exchange(false);
        s.down = (holders_.load() & ~ignored_.load()) != 0;
        return s;
    }

    // The holds of this moment read as up, and the press mark goes, until
    // each holder lets go; a new hold by another holder counts at once.
    void ignoreHeld()
    {
        ignored_.fetch_or(holders_.load());
        pressed_.store(false);
    }

    void clear()
    {
        holders_.store(0);
        ignored_.store(0);
        pressed_.store(false);
    }

private:
    std::atomic<unsigned> holders_{0};  // KeySource bits
    std::atomic<unsigned> ignored_{0};  // holders whose hold predates ignoreHeld
    std::atomic<bool> pressed_{false};
};

// Letters typed, in order, from the thread that sees key events to the one
// that takes them: one writer, one reader, no lock.
class TypedLetters {
public:
    // 'A'..'Z' or 'a'..'z'; anything else is not a letter and is ignored.
    void type(char c)
    {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c < 'A' || c > 'Z') return;
        const unsigned tail = tail_.load();
        if (tail - head_.load() >= Capacity) return;  // full: the letter is dropped
        letters_[tail % Capacity].store(c);
        tail_.store(tail + 1);
    }
    // The oldest waiting letter, 0 when none.
    char take()
    {
        const unsigned head = head_.load();
        if (head == tail_.load()) return 0;
        const char c = letters_[head % Capacity].load();
        head_.store(head + 1);
        return c;
    }

private:
    static constexpr unsigned Capacity = 8;
    std::atomic<char> letters_[Capacity] = {};
    std::atomic<unsigned> head_{0};
    std::atomic<unsigned> tail_{0};
};

}  // namespace platform
