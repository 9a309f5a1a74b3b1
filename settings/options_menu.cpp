#include "settings/options_menu.h"

#include <algorithm>

namespace {

int stepVolume(int percent, int direction, bool wrap)
{
    const int next = percent + direction * Settings::VolumeStep;
    if (wrap && next > 100) return 0;
    return std::clamp(next, 0, 100);
}

// auto (0), then 1 .. limit. A stored factor above the limit (a file from a
// larger desktop) steps down to the limit first.
int stepScale(int scale, int direction, int limit, bool wrap)
{
    limit = std::max(1, limit);
    const int next = std::min(scale, limit) + direction;
    if (wrap && next > limit) return Settings::AutoScale;
    return std::clamp(next, 0, limit);
}

Settings step(Settings s, OptionsEntry entry, int direction, int scaleLimit, bool wrap)
{
    switch (entry) {
    case OptionsEntry::WindowSize:
        s.windowScale = stepScale(s.windowScale, direction, scaleLimit, wrap);
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
