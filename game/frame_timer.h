// The game's millisecond clock and the guard of the timer resolution.
#pragma once

#include <cstdint>

// Milliseconds since an arbitrary start, wrapping at 2^32.
using Millis = std::uint32_t;

// True when a step stamped at `stamp` is due at `now` with the given interval:
// never run (stamp 0), or at least `interval` ms elapsed. Compares the
// unsigned difference, so it holds across the 32-bit wrap of the clock.
inline bool dueAtLeast(Millis now, Millis stamp, Millis interval)
{
    return stamp == 0 || static_cast<Millis>(now - stamp) >= interval;
}

// Same, but only once more than `interval` ms have elapsed.
inline bool dueAfter(Millis now, Millis stamp, Millis interval)
{
    return stamp == 0 || static_cast<Millis>(now - stamp) > interval;
}

class FrameTimer {
public:
    // Raises the timer resolution to the finest period the platform offers.
    FrameTimer();
    // Restores the resolution with the same period.
    virtual ~FrameTimer();

    FrameTimer(const FrameTimer&) = delete;
    FrameTimer& operator=(const FrameTimer&) = delete;

    // The clock: the platform's milliseconds.
    Millis elapsed() const;

private:
    // The period begun at construction, ended with the same value.
    const std::uint32_t minPeriod_;
};
