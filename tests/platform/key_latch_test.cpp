#include "platform/headless.h"
#include "platform/key_latch.h"

#include <gtest/gtest.h>

using platform::Key;
using platform::KeyLatch;

TEST(KeyReading, HeldKeyIsNewlyPressedInTheFirstQueryOnly)
{
    KeyLatch k;
    k.keyDown(false);
    platform::KeyState first = k.query();
    EXPECT_TRUE(first.down && first.pressedSinceLastQuery);
    for (int i = 0; i < 5; ++i) {
        platform::KeyState again = k.query();
        EXPECT_TRUE(again.down);
        EXPECT_FALSE(again.pressedSinceLastQuery);
    }
}

TEST(KeyReading, PressAndReleaseBetweenTwoQueriesIsNotSeenAsNewlyPressed)
{
    KeyLatch k;
    k.keyDown(false);
    k.keyUp();
    platform::KeyState s = k.query();
    EXPECT_FALSE(s.down && s.pressedSinceLastQuery);
    // ... and the press is consumed by that query.
    k.keyDown(true);  // later auto-repeat only
    s = k.query();
    EXPECT_TRUE(s.down);
    EXPECT_FALSE(s.pressedSinceLastQuery);
}

TEST(KeyReading, AutoRepeatIsNotANewPress)
{
    KeyLatch k;
    k.keyDown(false);
    (void)k.query();
    k.keyDown(true);
    k.keyDown(true);
    EXPECT_FALSE(k.query().pressedSinceLastQuery);
    k.keyUp();
    k.keyDown(false);
    EXPECT_TRUE(k.query().pressedSinceLastQuery);
}

TEST(KeyReading, TheFirstQueryConsumesThePressForTheNext)
{
    headless::reset();
    headless::press(Key::Z);
    EXPECT_TRUE(platform::keyNewlyPressed(Key::Z));   // one scene's frame
    EXPECT_FALSE(platform::keyNewlyPressed(Key::Z));  // the next scene's frame
    EXPECT_TRUE(platform::keyHeld(Key::Z));
}
