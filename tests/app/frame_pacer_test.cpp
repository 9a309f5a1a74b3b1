// The browser's frame rhythm: call-backs at the page's rate, frames every
// FramePauseMs.
#include "app/frame_loop.h"
#include "app/frame_pacer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The times of the frames run when the page calls back `callBacks` times,
// every `every` ms from 0, the odd ones `jitter` late and the even ones as
// early.
std::vector<double> framesAt(double every, int callBacks, double jitter = 0)
{
    FramePacer pacer(FramePauseMs);
    std::vector<double> frames;
    for (int i = 0; i < callBacks; ++i) {
        const double now = i * every + (i % 2 ? jitter : -jitter);
        if (pacer.due(now)) frames.push_back(now);
    }
    return frames;
}

TEST(FramePacer, AtSixtyHertzEverySecondCallBackRunsAFrame)
{
    const std::vector<double> frames = framesAt(1000.0 / 60, 60);
    ASSERT_EQ(frames.size(), 30u);
    for (std::size_t i = 1; i < frames.size(); ++i)
        EXPECT_NEAR(frames[i] - frames[i - 1], 33.3, 0.1);
}

TEST(FramePacer, CallBacksThatComeAMillisecondEarlyStillKeepTheRhythm)
{
    const std::vector<double> frames = framesAt(1000.0 / 60, 60, 1.0);
    ASSERT_EQ(frames.size(), 30u);
    for (std::size_t i = 1; i < frames.size(); ++i)
        EXPECT_LT(frames[i] - frames[i - 1], 40.0) << "frame " << i;
}

TEST(FramePacer, AFastScreenGetsAFrameAboutEveryPauseNeverTwoAtOnce)
{
    const double every = 1000.0 / 144;
    const std::vector<double> frames = framesAt(every, 475);
    // Each gap is the pause, give or take one call-back and the slack.
    for (std::size_t i = 1; i < frames.size(); ++i) {
        EXPECT_GE(frames[i] - frames[i - 1], FramePauseMs - 4.0) << "frame " << i;
        EXPECT_LE(frames[i] - frames[i - 1], FramePauseMs + every) << "frame " << i;
    }
    // 475 call-backs are 3.3 s.
    EXPECT_GE(frames.size(), 3300 / (FramePauseMs + every));
}

TEST(FramePacer, APageHeldUpGetsOneFrameNotABurst)
{
    FramePacer pacer(FramePauseMs);
    EXPECT_TRUE(pacer.due(0));
    EXPECT_FALSE(pacer.due(20));
    // A hidden tab: the next call-back a second later.
    EXPECT_TRUE(pacer.due(1000));
    EXPECT_FALSE(pacer.due(1016));
    EXPECT_TRUE(pacer.due(1033));
}

}  // namespace
