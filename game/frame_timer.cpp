#include "game/frame_timer.h"

#include "platform/platform.h"

FrameTimer::FrameTimer()
{
    const platform::TimerCaps caps = platform::timerCaps();
    minPeriod_ = caps.minPeriod;
    maxPeriod_ = caps.maxPeriod;
    platform::beginTimerPeriod(minPeriod_);
}

FrameTimer::~FrameTimer() { platform::endTimerPeriod(minPeriod_); }

Millis FrameTimer::elapsed() const
{
    if (frozen_) return startTime_;
    return static_cast<Millis>(platform::milliseconds() - startTime_);
}
