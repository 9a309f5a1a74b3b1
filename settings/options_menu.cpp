#include "settings/options_menu.h"

#include "platform/window_fit.h"

#include <algorithm>

namespace {

int stepVolume(int percent, int direction, bool wrap)
{
    const int next = percent + direction * Settings::VolumeStep;
    if (wrap && next > 100) return 0;
    return std::clamp(next, 0, 100);
}

// auto, then every step from 1x to the limit (in half factors). A stored
// size above the limit (a file from a larger desktop) steps down to the
// limit first.
int stepScale(int halves, int direction, int limit, bool wrap)
{
    limit = platform::scaleStepAtMost(limit);
    if (halves == Settings::AutoScale) return direction > 0 ? platform::OneX : Settings::AutoScale;
    const int from = std::min(platform::scaleStepAtMost(halves), limit);
    if (direction < 0)
        return from == platform::OneX ? Settings::AutoScale : platform::nextScaleStep(from, -1);
    if (from == limit) return wrap ? Settings::AutoScale : limit;
    return platform::nextScaleStep(from, +1);
}

Settings step(Settings s, OptionsEntry entry, int direction, int scaleLimit, bool wrap)
{
    switch (entry) {
    case OptionsEntry::WindowSize:
        s.windowHalves = stepScale(s.windowHalves, direction, scaleLimit, wrap);
        s.fullscreen = false;
        break;
    case OptionsEntry::Fullscreen: s.fullscreen = !s.fullscreen; break;
    case OptionsEntry::MusicVolume: s.musicVolume = stepVolume(s.musicVolume, direction, wrap); break;
    case OptionsEntry::EffectsVolume: s.effectsVolume = stepVolume(s.effectsVolume, direction, wrap); break;
    case OptionsEntry::Mute: s.mute = !s.mute; break;
    case OptionsEntry::Controls:
        s.controls = s.controls == ControlsSetting::Classic ? ControlsSetting::Modern
                                                            : ControlsSetting::Classic;
        break;
    case OptionsEntry::LandingShadow: s.landingShadow = !s.landingShadow; break;
    case OptionsEntry::Keys:
    case OptionsEntry::Back: break;
    }
    return s;
}

}  // namespace

bool OptionsMenu::moveCursor(int direction)
{
    const int next = std::clamp(cursorIndex() + direction, 0, OptionsEntryCount - 1);
    if (next == cursorIndex()) return false;
    cursor_ = static_cast<OptionsEntry>(next);
    return true;
}

Settings OptionsMenu::changed(const Settings& settings, int direction, int scaleLimit) const
{
    return step(settings, cursor_, direction < 0 ? -1 : 1, scaleLimit, false);
}

Settings OptionsMenu::decided(const Settings& settings, int scaleLimit) const
{
    return step(settings, cursor_, 1, scaleLimit, true);
}
