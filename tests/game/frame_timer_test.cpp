#include "game/frame_timer.h"
#include "platform/headless.h"

#include <gtest/gtest.h>

TEST(FrameTimer, ReadsThePlatformClock)
{
    headless::reset();
    FrameTimer timer;
    headless::setClock(12345);
    EXPECT_EQ(timer.elapsed(), 12345u);
    headless::advanceClock(33);
    EXPECT_EQ(timer.elapsed(), 12378u);
}

TEST(FrameTimer, EndsTheRaisedResolutionWithThePeriodThatBeganIt)
{
    headless::reset();
    {
        FrameTimer timer;
        ASSERT_EQ(headless::timerPeriodsBegun().size(), 1u);
        EXPECT_TRUE(headless::timerPeriodsEnded().empty());
    }
    ASSERT_EQ(headless::timerPeriodsEnded().size(), 1u);
    EXPECT_EQ(headless::timerPeriodsEnded()[0], headless::timerPeriodsBegun()[0]);
}

TEST(StampGate, ZeroStampIsAlwaysDue)
{
    EXPECT_TRUE(dueAtLeast(5, 0, 100));
    EXPECT_TRUE(dueAfter(5, 0, 100));
}

TEST(StampGate, AtLeastOpensAtTheIntervalAfterOnlyPastIt)
{
    EXPECT_FALSE(dueAtLeast(1099, 1000, 100));
    EXPECT_TRUE(dueAtLeast(1100, 1000, 100));
    EXPECT_FALSE(dueAfter(1100, 1000, 100));
    EXPECT_TRUE(dueAfter(1101, 1000, 100));
}

TEST(StampGate, HoldsAcrossTheClockWrap)
{
    const Millis stamp = 0xFFFFFFF0u;  // 16 ms before the wrap
    EXPECT_FALSE(dueAtLeast(0x00000010u, stamp, 33));  // 32 ms later
    EXPECT_TRUE(dueAtLeast(0x00000011u, stamp, 33));   // 33 ms later
    EXPECT_TRUE(dueAfter(0x00000012u, stamp, 33));
    // A naive "now >= stamp + interval" would wait 49 days here.
    EXPECT_TRUE(dueAtLeast(0x00001000u, stamp, 33));
}
