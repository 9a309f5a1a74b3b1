#include "game/frame_timer.h"

#include "platform/platform.h"

FrameTimer::FrameTimer() : minPeriod_(platform::timerCaps().minPeriod)
{
    platform::beginTimerPeriod(minPeriod_);
}

FrameTimer::~FrameTimer() { platform::endTimerPeriod(minPeriod_); }

Millis FrameTimer::elapsed() const { return (held_ ? heldSince_ : platform::milliseconds()) - heldTotal_; }

void FrameTimer::hold(bool held)
{
    if (held == held_) return;
    const Millis platformNow = platform::milliseconds();
    if (held) {
        heldSince_ = platformNow;
    } else {
        heldTotal_ += platformNow - heldSince_;
    }
    held_ = held;
}
