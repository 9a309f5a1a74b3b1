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
    const Millis stamp = 0xFFFFFFF0u;                  // 16 ms before the wrap
    EXPECT_FALSE(dueAtLeast(0x00000010u, stamp, 33));  // 32 ms later
    EXPECT_TRUE(dueAtLeast(0x00000011u, stamp, 33));   // 33 ms later
    EXPECT_TRUE(dueAfter(0x00000012u, stamp, 33));
    // A naive "now >= stamp + interval" would wait 49 days here.
    EXPECT_TRUE(dueAtLeast(0x00001000u, stamp, 33));
}

TEST(FrameTimer, HeldClockStandsStillAndRunsOnWithoutAJump)
{
    headless::reset();
    FrameTimer timer;
    headless::setClock(1000);
    timer.hold(true);
    headless::advanceClock(5000);
    EXPECT_EQ(timer.elapsed(), 1000u);
    timer.hold(true);  // a second hold changes nothing
    headless::advanceClock(5000);
    EXPECT_EQ(timer.elapsed(), 1000u);
    timer.hold(false);
    EXPECT_EQ(timer.elapsed(), 1000u);
    headless::advanceClock(33);
    EXPECT_EQ(timer.elapsed(), 1033u);

    // A second hold adds to the first.
    timer.hold(true);
    headless::advanceClock(700);
    timer.hold(false);
    timer.hold(false);
    headless::advanceClock(17);
    EXPECT_EQ(timer.elapsed(), 1050u);
}

TEST(FrameTimer, HoldAcrossThePlatformClockWrapLosesNoTime)
{
    headless::reset();
    FrameTimer timer;
    headless::setClock(0xFFFFFF00u);
    timer.hold(true);
    headless::setClock(0x00000100u);  // 512 ms later, past the wrap
    timer.hold(false);
    EXPECT_EQ(timer.elapsed(), 0xFFFFFF00u);
    headless::advanceClock(0x200);
    EXPECT_EQ(timer.elapsed(), 0x00000100u);
    EXPECT_TRUE(dueAtLeast(timer.elapsed(), 0xFFFFFF00u, 0x200));
}
