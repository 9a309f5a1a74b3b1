// The options menu: the cursor's travel and what each entry's keys do.
#include "settings/options_menu.h"

#include <gtest/gtest.h>

namespace {

OptionsMenu menuOn(OptionsEntry entry)
{
    OptionsMenu m;
    while (m.cursor() != entry && m.moveCursor(1)) {
    }
    return m;
}

TEST(OptionsMenu, TheCursorRunsFromWindowSizeToBackAndStopsAtBothEnds)
{
    OptionsMenu m;
    EXPECT_EQ(m.cursor(), OptionsEntry::WindowSize);
    EXPECT_FALSE(m.moveCursor(-1));
    for (int k = 1; k < OptionsEntryCount; ++k)
        EXPECT_TRUE(m.moveCursor(1));
    EXPECT_EQ(m.cursor(), OptionsEntry::Back);
    EXPECT_FALSE(m.moveCursor(1));
    m.reset();
    EXPECT_EQ(m.cursor(), OptionsEntry::WindowSize);
}

TEST(OptionsMenu, VolumesMoveInStepsOfTenBetweenSilenceAndFull)
{
    const OptionsMenu m = menuOn(OptionsEntry::MusicVolume);
    Settings s;
    s = m.changed(s, +1, 1);
    EXPECT_EQ(s.musicVolume, 100);  // stops at full
    for (int expected : {90, 80, 70}) {
        s = m.changed(s, -1, 1);
        EXPECT_EQ(s.musicVolume, expected);
    }
    s.musicVolume = 0;
    EXPECT_EQ(m.changed(s, -1, 1).musicVolume, 0);
    // Z runs on past full to silence, so Z alone reaches every step.
    s.musicVolume = 100;
    EXPECT_EQ(m.decided(s, 1).musicVolume, 0);
    EXPECT_EQ(m.decided(m.decided(s, 1), 1).musicVolume, 10);
    // Nothing else changes.
    EXPECT_EQ(m.changed(Settings(), -1, 1).effectsVolume, 100);
    EXPECT_EQ(menuOn(OptionsEntry::EffectsVolume).changed(Settings(), -1, 1).effectsVolume, 90);
}

TEST(OptionsMenu, WindowSizeRunsFromAutoToTheDesktopsLimitAndLeavesFullscreen)
{
    const OptionsMenu m = menuOn(OptionsEntry::WindowSize);
    Settings s;
    s.fullscreen = true;
    s = m.changed(s, +1, 3);
    EXPECT_EQ(s.windowScale, 1);
    EXPECT_FALSE(s.fullscreen);
    s = m.changed(m.changed(m.changed(s, +1, 3), +1, 3), +1, 3);
    EXPECT_EQ(s.windowScale, 3);  // the limit
    EXPECT_EQ(m.decided(s, 3).windowScale, Settings::AutoScale);
    s = m.changed(m.changed(m.changed(s, -1, 3), -1, 3), -1, 3);
    EXPECT_EQ(s.windowScale, Settings::AutoScale);
    EXPECT_EQ(m.changed(s, -1, 3).windowScale, Settings::AutoScale);
    // A factor from a larger desktop steps down from this one's limit.
    s.windowScale = 6;
    EXPECT_EQ(m.changed(s, +1, 2).windowScale, 2);
    EXPECT_EQ(m.changed(s, -1, 2).windowScale, 1);
}

TEST(OptionsMenu, TwoValuedEntriesFlipEitherWay)
{
    const Settings d;
    EXPECT_TRUE(menuOn(OptionsEntry::Fullscreen).changed(d, -1, 1).fullscreen);
    EXPECT_TRUE(menuOn(OptionsEntry::Mute).changed(d, +1, 1).mute);
    EXPECT_TRUE(menuOn(OptionsEntry::LandingShadow).decided(d, 1).landingShadow);
    const OptionsMenu controls = menuOn(OptionsEntry::Controls);
    EXPECT_EQ(controls.changed(d, +1, 1).controls, ControlsSetting::Modern);
    EXPECT_EQ(controls.changed(controls.changed(d, +1, 1), -1, 1).controls, ControlsSetting::Classic);
}

TEST(OptionsMenu, BackChangesNothing)
{
    const OptionsMenu m = menuOn(OptionsEntry::Back);
    EXPECT_EQ(m.changed(Settings(), +1, 4), Settings());
    EXPECT_EQ(m.decided(Settings(), 4), Settings());
}

}  // namespace
