// The options screen's menu without its pictures: which entry the cursor is
// on, and what the arrows and Z do to the settings. The scene in game/
// reads the keys, applies the settings that come out and draws.
#pragma once

#include "settings/settings.h"

enum class OptionsEntry {
    WindowSize,
    Fullscreen,
    MusicVolume,
    EffectsVolume,
    Mute,
    Controls,
    LandingShadow,
    Keys,  // opens the KEYS page
    Back,
};
constexpr int OptionsEntryCount = 9;

class OptionsMenu {
public:
    OptionsEntry cursor() const { return cursor_; }
    int cursorIndex() const { return static_cast<int>(cursor_); }
    // Back to the first entry, as each visit starts.
    void reset() { cursor_ = OptionsEntry::WindowSize; }

    // Up (-1) or down (+1); the cursor stops at the first and last entry,
    // as the title menu's does. False when it did not move.
    bool moveCursor(int direction);

    // Left (-1) or right (+1) on the cursor's entry: a volume moves one step
    // of 10 %, the window size one step between auto and scaleLimit (in half
    // factors: auto, 1x, 1.5x, 2x, 3x, ... as far as the desktop takes), an
    // on/off or two-valued entry flips. Stops at the ends. A window size
    // leaves fullscreen, as the window does. Keys and Back change nothing.
    Settings changed(const Settings& settings, int direction, int scaleLimit) const;

    // Z on the cursor's entry: one step forward that starts again at the
    // lowest value after the highest, so Z alone reaches every value.
    // Keys and Back change nothing (the scene opens the page or leaves).
    Settings decided(const Settings& settings, int scaleLimit) const;

private:
    OptionsEntry cursor_ = OptionsEntry::WindowSize;
};
