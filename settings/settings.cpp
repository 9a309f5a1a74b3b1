#include "settings/settings.h"

#include "platform/files.h"
#include "platform/path.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>

namespace {

constexpr const char* ScaleKey = "window_scale";
constexpr const char* FullscreenKey = "fullscreen";
constexpr const char* MusicKey = "music_volume";
constexpr const char* EffectsKey = "effects_volume";
constexpr const char* MuteKey = "mute";
constexpr const char* ControlsKey = "controls";
constexpr const char* ShadowKey = "landing_shadow";

std::string trim(const std::string& s)
{
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

// Each reader leaves out untouched and returns a reason when the value is
// not one it accepts; nullptr when it took the value.
const char* readOnOff(const std::string& v, bool& out)
{
    if (v == "on")
        out = true;
    else if (v == "off")
        out = false;
    else
        return "not on or off";
    return nullptr;
}

// Plain decimal digits only: no sign, no blanks, no leading '+' or "0x";
// at most three of them, so nothing can overflow.
const char* readSmallNumber(const std::string& v, int& out)
{
    if (v.empty() || v.size() > 3) return "not a whole number from the allowed range";
    int n = 0;
    for (const char c : v) {
        if (c < '0' || c > '9') return "not a whole number from the allowed range";
        n = n * 10 + (c - '0');
    }
    out = n;
    return nullptr;
}

const char* readVolume(const std::string& v, int& out)
{
    int n = 0;
    if (const char* why = readSmallNumber(v, n)) return why;
    if (n > 100) return "above 100";
    if (n % Settings::VolumeStep != 0) return "not a multiple of 10";
    out = n;
    return nullptr;
}

const char* readScale(const std::string& v, int& out)
{
    if (v == "auto") {
        out = Settings::AutoScale;
        return nullptr;
    }
    int n = 0;
    if (readSmallNumber(v, n) || n < 1 || n > Settings::MaxScale) return "not auto or 1 to 16";
    out = n;
    return nullptr;
}

const char* readControls(const std::string& v, ControlsSetting& out)
{
    if (v == "classic")
        out = ControlsSetting::Classic;
    else if (v == "modern")
        out = ControlsSetting::Modern;
    else
        return "not classic or modern";
    return nullptr;
}

const char* onOff(bool on) { return on ? "on" : "off"; }

std::string scaleText(int scale) { return scale == Settings::AutoScale ? "auto" : std::to_string(scale); }

const char* controlsText(ControlsSetting c) { return c == ControlsSetting::Modern ? "modern" : "classic"; }

// Reads one value into field; a bad value puts the default back and says
// why, with the default's text in fallback.
template <class T, class Reader, class Text>
const char* take(const std::string& value, T& field, T byDefault, Reader read, Text text,
                 std::string& fallback)
{
    const char* why = read(value, field);
    if (why) {
        field = byDefault;
        fallback = text(byDefault);
    }
    return why;
}

std::string volumeText(int percent) { return std::to_string(percent); }

// The setting a key names. Unknown keys return "" and touch nothing.
const char* readSetting(const std::string& key, const std::string& value, Settings& s, std::string& fallback)
{
    const Settings d;
    if (key == ScaleKey) return take(value, s.windowScale, d.windowScale, readScale, scaleText, fallback);
    if (key == FullscreenKey) return take(value, s.fullscreen, d.fullscreen, readOnOff, onOff, fallback);
    if (key == MusicKey) return take(value, s.musicVolume, d.musicVolume, readVolume, volumeText, fallback);
    if (key == EffectsKey)
        return take(value, s.effectsVolume, d.effectsVolume, readVolume, volumeText, fallback);
    if (key == MuteKey) return take(value, s.mute, d.mute, readOnOff, onOff, fallback);
    if (key == ControlsKey) return take(value, s.controls, d.controls, readControls, controlsText, fallback);
    if (key == ShadowKey) return take(value, s.landingShadow, d.landingShadow, readOnOff, onOff, fallback);
    return "";
}

}  // namespace

bool Settings::operator==(const Settings& o) const
{
    return windowScale == o.windowScale && fullscreen == o.fullscreen && musicVolume == o.musicVolume &&
           effectsVolume == o.effectsVolume && mute == o.mute && controls == o.controls &&
           landingShadow == o.landingShadow;
}

Settings parseSettings(const std::string& text, std::vector<std::string>& problems)
{
    Settings s;
    std::size_t from = 0;
    for (int number = 1; from < text.size(); ++number) {
        std::size_t end = text.find('\n', from);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(from, end - from);
        from = end + 1;
        const std::string where = "line " + std::to_string(number) + ": ";

        if (!line.empty() && line.back() == '\r') line.pop_back();
        line = trim(line);
        if (line.empty() || line[0] == '#' || line[0] == ';') continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) {
            problems.push_back(where + "no '=', skipped");
            continue;
        }
        const std::string key = trim(line.substr(0, equals));
        if (key.empty()) {
            problems.push_back(where + "no key before '=', skipped");
            continue;
        }
        std::string fallback;
        const char* why = readSetting(key, trim(line.substr(equals + 1)), s, fallback);
        // The key is one of ours here, so it is safe to print; the value is
        // not echoed, since it may hold anything.
        if (why && *why) problems.push_back(where + key + " is " + why + "; using " + fallback);
    }
    return s;
}

std::string formatSettings(const Settings& s)
{
    std::string text = "# Tessaloom settings, written by the game when a setting changes.\n";
    const auto put = [&text](const char* key, const std::string& value) {
        text += key;
        text += " = ";
        text += value;
        text += '\n';
    };
    put(ScaleKey, scaleText(s.windowScale));
    put(FullscreenKey, onOff(s.fullscreen));
    put(MusicKey, std::to_string(s.musicVolume));
    put(EffectsKey, std::to_string(s.effectsVolume));
    put(MuteKey, onOff(s.mute));
    put(ControlsKey, controlsText(s.controls));
    put(ShadowKey, onOff(s.landingShadow));
    return text;
}

std::string settingsFilePath()
{
    // The base directory rules ask that a relative value be ignored.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (config && config[0] == '/') {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || home[0] != '/') return std::string();
        base = std::string(home) + "/.config";
    }
    if (base.back() != '/') base += '/';
    return base + "tessaloom/settings.ini";
}

Settings loadSettings(const std::string& path)
{
    if (path.empty()) return Settings();
    std::vector<unsigned char> bytes;
    const platform::ReadResult r =
        platform::readFile(path, bytes, SettingsFileMaxBytes, platform::OverCap::Reject);
    if (!r) {
        // A file that is simply not there is the usual first start.
        if (!r.reason.empty())
            std::fprintf(stderr, "tessaloom: ignoring the settings file %s: %s\n", path.c_str(),
                         r.reason.c_str());
        return Settings();
    }
    std::vector<std::string> problems;
    const Settings s = parseSettings(std::string(bytes.begin(), bytes.end()), problems);
    for (const std::string& p : problems)
        std::fprintf(stderr, "tessaloom: settings file %s %s\n", path.c_str(), p.c_str());
    return s;
}

bool saveSettings(const std::string& path, const Settings& settings, std::string* reason)
{
    if (path.empty()) return false;
    // The file's own folder is made by the save; the configuration folder
    // above it may be missing too on a fresh account. Private, as the base
    // directory rules ask.
    std::string config = platform::folderOf(path);
    if (config.size() > 1) config.pop_back();
    config = platform::folderOf(config);
    if (config.size() > 1 && ::mkdir(config.c_str(), 0700) != 0 && errno != EEXIST) {
        if (reason) *reason = std::strerror(errno);
        return false;
    }
    return platform::replaceFile(path, formatSettings(settings), reason);
}
