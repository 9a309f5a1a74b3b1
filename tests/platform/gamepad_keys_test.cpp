#include "platform/gamepad_keys.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using platform::GamepadKeys;
using platform::Key;
using platform::KeySource;
using platform::PadAxis;
using platform::PadButton;

namespace {

struct Pads : ::testing::Test {
    GamepadKeys::Latches latches;
    GamepadKeys pads{latches};

    platform::KeyState read(Key key) { return latches[static_cast<int>(key)].query(); }
    void keyboardDown(Key key) { latches[static_cast<int>(key)].keyDown(false); }
    void keyboardUp(Key key) { latches[static_cast<int>(key)].keyUp(); }
};

}  // namespace

TEST_F(Pads, ButtonsReadAsTheGameKeys)
{
    const struct {
        PadButton button;
        Key key;
    } mapping[] = {{PadButton::A, Key::Z},
                   {PadButton::B, Key::C},
                   {PadButton::Y, Key::O},
                   {PadButton::Back, Key::Q},
                   {PadButton::Start, Key::P},
                   {PadButton::DPadUp, Key::Up},
                   {PadButton::DPadDown, Key::Down},
                   {PadButton::DPadLeft, Key::Left},
                   {PadButton::DPadRight, Key::Right}};
    pads.attach(7);
    for (const auto& m : mapping) {
        pads.button(7, m.button, true);
        const platform::KeyState pressed = read(m.key);
        EXPECT_TRUE(pressed.down && pressed.pressedSinceLastQuery) << static_cast<int>(m.key);
        pads.button(7, m.button, false);
        EXPECT_FALSE(read(m.key).down) << static_cast<int>(m.key);
    }
    // Nothing else was touched.
    for (Key other : {Key::M, Key::Escape, Key::Fullscreen})
        EXPECT_FALSE(read(other).down);
}

TEST_F(Pads, KeyboardHoldOutlastsThePadLettingGo)
{
    pads.attach(1);
    keyboardDown(Key::Left);
    pads.button(1, PadButton::DPadLeft, true);
    pads.button(1, PadButton::DPadLeft, false);
    EXPECT_TRUE(read(Key::Left).down);
    keyboardUp(Key::Left);
    EXPECT_FALSE(read(Key::Left).down);
}

TEST_F(Pads, PadHoldOutlastsTheKeyboardLettingGo)
{
    pads.attach(1);
    pads.button(1, PadButton::A, true);
    keyboardDown(Key::Z);
    keyboardUp(Key::Z);
    EXPECT_TRUE(read(Key::Z).down);
    pads.button(1, PadButton::A, false);
    EXPECT_FALSE(read(Key::Z).down);
}

TEST_F(Pads, APressOnEitherSourceIsANewPress)
{
    pads.attach(1);
    keyboardDown(Key::Left);
    (void)read(Key::Left);
    pads.button(1, PadButton::DPadLeft, true);
    EXPECT_TRUE(read(Key::Left).pressedSinceLastQuery);
    keyboardUp(Key::Left);
    keyboardDown(Key::Left);
    EXPECT_TRUE(read(Key::Left).pressedSinceLastQuery);
}

TEST_F(Pads, DPadAndStickOnTheSameArrowAreOneHold)
{
    pads.attach(1);
    pads.button(1, PadButton::DPadRight, true);
    (void)read(Key::Right);
    pads.axis(1, PadAxis::LeftX, 32767);
    EXPECT_FALSE(read(Key::Right).pressedSinceLastQuery) << "the arrow was already held";
    pads.button(1, PadButton::DPadRight, false);
    EXPECT_TRUE(read(Key::Right).down) << "the stick still holds it";
    pads.axis(1, PadAxis::LeftX, 0);
    EXPECT_FALSE(read(Key::Right).down);
}

TEST_F(Pads, StickPushesPastHalfwayAndLetsGoBelowAQuarter)
{
    pads.attach(1);
    // Resting and small leans are no press.
    for (int v : {0, 3000, -3000, platform::StickPushedAt - 1, -(platform::StickPushedAt - 1)})
        pads.axis(1, PadAxis::LeftX, v);
    EXPECT_FALSE(read(Key::Left).pressedSinceLastQuery);
    EXPECT_FALSE(read(Key::Right).pressedSinceLastQuery);

    pads.axis(1, PadAxis::LeftX, -platform::StickPushedAt);
    platform::KeyState s = read(Key::Left);
    EXPECT_TRUE(s.down && s.pressedSinceLastQuery);
    // Wavering between the two lines neither lets go nor presses again.
    for (int v : {-12000, -platform::StickPushedAt - 100, -platform::StickLetGoBelow, -20000}) {
        pads.axis(1, PadAxis::LeftX, v);
        s = read(Key::Left);
        EXPECT_TRUE(s.down) << v;
        EXPECT_FALSE(s.pressedSinceLastQuery) << v;
    }
    pads.axis(1, PadAxis::LeftX, -(platform::StickLetGoBelow - 1));
    EXPECT_FALSE(read(Key::Left).down);
    // Back to the middle zone after letting go: still let go.
    pads.axis(1, PadAxis::LeftX, -12000);
    EXPECT_FALSE(read(Key::Left).down);
}

TEST_F(Pads, StickFlickedAcrossSwapsTheArrows)
{
    pads.attach(1);
    pads.axis(1, PadAxis::LeftX, -32768);
    (void)read(Key::Left);
    pads.axis(1, PadAxis::LeftX, 32767);
    EXPECT_FALSE(read(Key::Left).down);
    const platform::KeyState right = read(Key::Right);
    EXPECT_TRUE(right.down && right.pressedSinceLastQuery);
}

TEST_F(Pads, StickUpIsNegative)
{
    pads.attach(1);
    pads.axis(1, PadAxis::LeftY, -30000);
    EXPECT_TRUE(read(Key::Up).down);
    EXPECT_FALSE(read(Key::Down).down);
    pads.axis(1, PadAxis::LeftY, 30000);
    EXPECT_FALSE(read(Key::Up).down);
    EXPECT_TRUE(read(Key::Down).down);
}

TEST_F(Pads, UnpluggingLetsGoOfWhatThatPadHeldOnly)
{
    pads.attach(1);
    pads.attach(2);
    keyboardDown(Key::Down);
    pads.button(1, PadButton::DPadDown, true);
    pads.button(1, PadButton::A, true);
    pads.button(2, PadButton::DPadLeft, true);
    pads.detach(1);
    EXPECT_FALSE(read(Key::Z).down);
    EXPECT_TRUE(read(Key::Down).down) << "the keyboard still holds it";
    EXPECT_TRUE(read(Key::Left).down) << "the other pad still holds it";
    // A late change from the pad that has gone is ignored.
    pads.button(1, PadButton::A, true);
    EXPECT_FALSE(read(Key::Z).down);
    pads.detachAll();
    EXPECT_FALSE(read(Key::Left).down);
    EXPECT_FALSE(pads.anyAttached());
}

TEST_F(Pads, TwoPadsHoldingOneArrowLetGoTogether)
{
    pads.attach(1);
    pads.attach(2);
    pads.button(1, PadButton::DPadLeft, true);
    pads.axis(2, PadAxis::LeftX, -30000);
    pads.button(1, PadButton::DPadLeft, false);
    EXPECT_TRUE(read(Key::Left).down);
    pads.axis(2, PadAxis::LeftX, 0);
    EXPECT_FALSE(read(Key::Left).down);
}

TEST_F(Pads, ReplugStartsFromNothingHeld)
{
    pads.attach(1);
    pads.button(1, PadButton::Start, true);
    pads.detach(1);
    pads.attach(1);
    pads.button(1, PadButton::A, true);
    EXPECT_FALSE(read(Key::P).down);
    EXPECT_TRUE(read(Key::Z).down);
}

// Events come on the main thread, queries on the frame thread: while the
// keyboard holds a key, the pad's presses and releases in between must
// never make a query read it up.
TEST_F(Pads, KeyboardHoldReadsDownWhileThePadChattersOnAnotherThread)
{
    pads.attach(1);
    keyboardDown(Key::Right);
    std::atomic<bool> stop{false};
    std::thread events([&] {
        for (int i = 0; i < 200000; ++i)
            pads.button(1, PadButton::DPadRight, i % 2 == 0);
        stop.store(true);
    });
    int upReadings = 0;
    while (!stop.load())
        if (!read(Key::Right).down) ++upReadings;
    events.join();
    EXPECT_EQ(upReadings, 0);
}

TEST_F(Pads, ChosenButtonsActAtOnceAndAHeldButtonMovesToItsNewKey)
{
    pads.attach(1);
    platform::KeyBindings b = platform::KeyBindings::defaults();
    ASSERT_EQ(platform::bindButton(b, Key::Z, static_cast<int>(PadButton::X)), platform::BindOutcome::Bound);
    ASSERT_EQ(platform::bindButton(b, Key::M, static_cast<int>(PadButton::A)), platform::BindOutcome::Bound);
    pads.button(1, PadButton::A, true);  // still Z's until the new keys arrive
    EXPECT_TRUE(read(Key::Z).down);
    pads.setBindings(b);
    EXPECT_FALSE(read(Key::Z).down);
    const platform::KeyState mute = read(Key::M);
    EXPECT_TRUE(mute.down && mute.pressedSinceLastQuery);
    pads.button(1, PadButton::X, true);
    EXPECT_TRUE(read(Key::Z).down);
    // The D-pad stays the arrows whatever the buttons do.
    pads.button(1, PadButton::DPadLeft, true);
    EXPECT_TRUE(read(Key::Left).down);
}
