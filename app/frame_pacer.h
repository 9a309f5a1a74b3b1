// When a frame is due where no thread may wait (the browser page): the page
// calls back at its own rate, 60 times a second or more, and a frame runs
// on the first call-back at least FramePauseMs after the previous frame, as
// the desktop's frame thread pauses that long after each. A page held up (a
// hidden tab) gets one frame, never a burst that catches up.
#pragma once

class FramePacer {
public:
    explicit FramePacer(double periodMs) : period_(periodMs) {}

    // True when a frame is due at now (milliseconds of a monotonic clock);
    // the first call always is.
    bool due(double now)
    {
        if (started_ && now + Slack < next_) return false;
        started_ = true;
        next_ = now + period_;
        return true;
    }

private:
    // Call-backs come a millisecond early or late; one that comes just
    // before the frame is due takes it rather than leave it a whole
    // refresh late (at 60 Hz every second call-back, 33.3 ms apart).
    static constexpr double Slack = 4;
    double period_;
    double next_ = 0;
    bool started_ = false;
};
