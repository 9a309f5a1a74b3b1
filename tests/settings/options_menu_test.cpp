// The options menu: the cursor's travel and what each entry's keys do.
#include "settings/options_menu.h"

#include <gtest/gtest.h>

#include <vector>

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
    // In half factors: the limit 6 is 3x.
    const OptionsMenu m = menuOn(OptionsEntry::WindowSize);
    Settings s;
    s.fullscreen = true;
    s = m.changed(s, +1, 6);
    EXPECT_EQ(s.windowHalves, 2);
    EXPECT_FALSE(s.fullscreen);
    s = m.changed(m.changed(m.changed(s, +1, 6), +1, 6), +1, 6);
    EXPECT_EQ(s.windowHalves, 6);  // the limit
    EXPECT_EQ(m.changed(s, +1, 6).windowHalves, 6);
    EXPECT_EQ(m.decided(s, 6).windowHalves, Settings::AutoScale);
    s = m.changed(m.changed(m.changed(m.changed(s, -1, 6), -1, 6), -1, 6), -1, 6);
    EXPECT_EQ(s.windowHalves, Settings::AutoScale);
    EXPECT_EQ(m.changed(s, -1, 6).windowHalves, Settings::AutoScale);
    // A size from a larger desktop steps down from this one's limit.
    s.windowHalves = 12;
    EXPECT_EQ(m.changed(s, +1, 4).windowHalves, 4);
    EXPECT_EQ(m.changed(s, -1, 4).windowHalves, 3);
}

TEST(OptionsMenu, WindowSizeOffersEveryStepTheDesktopTakes)
{
    // The values Right walks through from auto, and Z too before it wraps.
    const struct {
        int limit;
        std::vector<int> values;
    } desktops[] = {
        {2, {0, 2}},              // 1x only
        {3, {0, 2, 3}},           // 1.5x fits, 2x not
        {4, {0, 2, 3, 4}},        // 1920 x 1080 under a title bar
        {5, {0, 2, 3, 4}},        // 2.5x fits: no such step
        {8, {0, 2, 3, 4, 6, 8}},  // 4x
        {32, {0, 2, 3, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30, 32}},
        {0, {0, 2}},  // no answer yet: 1x still
    };
    const OptionsMenu m = menuOn(OptionsEntry::WindowSize);
    for (const auto& d : desktops) {
        std::vector<int> right{Settings::AutoScale}, z{Settings::AutoScale};
        Settings byRight, byZ;
        for (;;) {
            const Settings next = m.changed(byRight, +1, d.limit);
            if (next.windowHalves == byRight.windowHalves) break;
            right.push_back(next.windowHalves);
            byRight = next;
        }
        for (byZ = m.decided(byZ, d.limit); byZ.windowHalves != Settings::AutoScale && z.size() < 40;
             byZ = m.decided(byZ, d.limit))
            z.push_back(byZ.windowHalves);
        EXPECT_EQ(right, d.values) << "limit " << d.limit;
        EXPECT_EQ(z, d.values) << "limit " << d.limit;
    }
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
