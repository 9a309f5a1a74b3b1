#include "game/frame_timer.h"

#include "platform/platform.h"

FrameTimer::FrameTimer() : minPeriod_(platform::timerCaps().minPeriod)
{
    platform::beginTimerPeriod(minPeriod_);
}

FrameTimer::~FrameTimer() { platform::endTimerPeriod(minPeriod_); }

Millis FrameTimer::elapsed() const { return platform::milliseconds(); }
