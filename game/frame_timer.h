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

    // The game's clock: the platform's milliseconds less every span spent
    // held. Every gate reads it, so a hold stops them all alike.
    Millis elapsed() const;

    // Stops the clock at its present reading, or lets it run on from there
    // (no jump: the held span is taken off from then on). Repeats are no-ops.
    void hold(bool held);
    bool held() const { return held_; }

private:
    // The period begun at construction, ended with the same value.
    const std::uint32_t minPeriod_;
    bool held_ = false;
    Millis heldSince_ = 0;  // platform reading when the hold began
    Millis heldTotal_ = 0;  // every finished hold, wrapping like the clock
};
