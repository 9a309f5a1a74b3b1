#include "settings/settings.h"

#include "platform/files.h"
#include "platform/path.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>

namespace {

// A byte-order mark, which some editors put at the start of a text file.
constexpr char Bom[] = "\xEF\xBB\xBF";
constexpr std::size_t BomSize = sizeof Bom - 1;

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

// "auto", a whole factor, or "1.5", the one step between whole factors.
const char* readScale(const std::string& v, int& out)
{
    if (v == "auto" || v == "1.5") {
        out = v == "auto" ? Settings::AutoScale : platform::OneX + 1;
        return nullptr;
    }
    int n = 0;
    if (readSmallNumber(v, n) || n < 1 || 2 * n > Settings::MaxHalves) return "not auto, 1.5 or 1 to 16";
    out = 2 * n;
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

std::string scaleText(int halves)
{
    if (halves == Settings::AutoScale) return "auto";
    return halves % 2 ? std::to_string(halves / 2) + ".5" : std::to_string(halves / 2);
}

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

// The key bindings, one line per game key: "key_turn = Z", "pad_turn = A".
using GameKey = platform::Key;

constexpr std::size_t at(GameKey key) { return static_cast<std::size_t>(key); }

template <GameKey K>
std::string capText(const Settings& s)
{
    return platform::keyCapName(s.keys.caps[at(K)]);
}

template <GameKey K>
const char* readCap(const std::string& v, Settings& s, std::string& fallback)
{
    const int cap = platform::keyCapFromName(v);
    if (cap != platform::NoCap && platform::capChoosable(cap)) {
        s.keys.caps[at(K)] = cap;
        return nullptr;
    }
    s.keys.caps[at(K)] = platform::KeyBindings::defaults().caps[at(K)];
    fallback = capText<K>(s);
    return cap == platform::NoCap ? "not a key's name" : "a key kept for its own use";
}

std::string buttonName(int button)
{
    return button == platform::NoButton ? "none" : platform::padButtonName(button);
}

template <GameKey K>
std::string buttonText(const Settings& s)
{
    return buttonName(s.keys.buttons[at(K)]);
}

template <GameKey K>
const char* readButton(const std::string& v, Settings& s, std::string& fallback)
{
    const int button = v == "none" ? platform::NoButton : platform::padButtonFromName(v);
    if (button != platform::NoButton || v == "none") {
        s.keys.buttons[at(K)] = button;
        return nullptr;
    }
    s.keys.buttons[at(K)] = platform::KeyBindings::defaults().buttons[at(K)];
    fallback = buttonText<K>(s);
    return "not a controller button's name";
}

// One key of the file: its name, its value's text, and how a value is read
// (as take does).
struct Key {
    const char* name;
    std::string (*text)(const Settings&);
    const char* (*read)(const std::string& value, Settings& s, std::string& fallback);
};

// In the order formatSettings writes them; bit k of SettingKeys is Keys[k].
const Key Keys[] = {
    {"window_scale", [](const Settings& s) { return scaleText(s.windowHalves); },
     [](const std::string& v, Settings& s, std::string& f) {
         return take(v, s.windowHalves, Settings().windowHalves, readScale, scaleText, f);
     }},
    {"fullscreen", [](const Settings& s) -> std::string { return onOff(s.fullscreen); },
     [](const std::string& v, Settings& s, std::string& f) {
         return take(v, s.fullscreen, Settings().fullscreen, readOnOff, onOff, f);
     }},
    {"music_volume", [](const Settings& s) { return volumeText(s.musicVolume); },
     [](const std::string& v, Settings& s, std::string& f) {
         return take(v, s.musicVolume, Settings().musicVolume, readVolume, volumeText, f);
     }},
    {"effects_volume", [](const Settings& s) { return volumeText(s.effectsVolume); },
     [](const std::string& v, Settings& s, std::string& f) {
         return take(v, s.effectsVolume, Settings().effectsVolume, readVolume, volumeText, f);
     }},
    {"mute", [](const Settings& s) -> std::string { return onOff(s.mute); },
     [](const std::string& v, Settings& s, std::string& f) {
         return take(v, s.mute, Settings().mute, readOnOff, onOff, f);
     }},
    {"controls", [](const Settings& s) -> std::string { return controlsText(s.controls); },
     [](const std::string& v, Settings& s, std::string& f) {
         return take(v, s.controls, Settings().controls, readControls, controlsText, f);
     }},
    {"landing_shadow", [](const Settings& s) -> std::string { return onOff(s.landingShadow); },
     [](const std::string& v, Settings& s, std::string& f) {
         return take(v, s.landingShadow, Settings().landingShadow, readOnOff, onOff, f);
     }},
    {"sharp_scaling", [](const Settings& s) -> std::string { return onOff(s.sharpScaling); },
     [](const std::string& v, Settings& s, std::string& f) {
         return take(v, s.sharpScaling, Settings().sharpScaling, readOnOff, onOff, f);
     }},
    {"key_left", capText<GameKey::Left>, readCap<GameKey::Left>},
    {"key_right", capText<GameKey::Right>, readCap<GameKey::Right>},
    {"key_up", capText<GameKey::Up>, readCap<GameKey::Up>},
    {"key_down", capText<GameKey::Down>, readCap<GameKey::Down>},
    {"key_turn", capText<GameKey::Z>, readCap<GameKey::Z>},
    {"key_turn_back", capText<GameKey::C>, readCap<GameKey::C>},
    {"key_quit", capText<GameKey::Q>, readCap<GameKey::Q>},
    {"key_pause", capText<GameKey::P>, readCap<GameKey::P>},
    {"key_mute", capText<GameKey::M>, readCap<GameKey::M>},
    {"key_options", capText<GameKey::O>, readCap<GameKey::O>},
    {"key_fullscreen", capText<GameKey::Fullscreen>, readCap<GameKey::Fullscreen>},
    {"pad_turn", buttonText<GameKey::Z>, readButton<GameKey::Z>},
    {"pad_turn_back", buttonText<GameKey::C>, readButton<GameKey::C>},
    {"pad_quit", buttonText<GameKey::Q>, readButton<GameKey::Q>},
    {"pad_pause", buttonText<GameKey::P>, readButton<GameKey::P>},
    {"pad_mute", buttonText<GameKey::M>, readButton<GameKey::M>},
    {"pad_options", buttonText<GameKey::O>, readButton<GameKey::O>},
    {"pad_fullscreen", buttonText<GameKey::Fullscreen>, readButton<GameKey::Fullscreen>},
};
constexpr int KeyCount = static_cast<int>(sizeof Keys / sizeof Keys[0]);
static_assert(AllSettingKeys == (1u << KeyCount) - 1, "one bit for each key");

constexpr SettingKeys bitOf(int k) { return 1u << k; }

// The index in Keys of a key's name; -1 for a key that is not ours.
int keyIndex(const std::string& name)
{
    for (int k = 0; k < KeyCount; ++k)
        if (name == Keys[k].name) return k;
    return -1;
}

// One line of a settings text as the reader sees it, with where its value
// lies in the text, so a save can put a new one there.
struct Line {
    enum Kind { Blank, NoEquals, NoKey, Setting };
    Kind kind = Blank;       // Blank also for a comment
    std::size_t next = 0;    // where the next line starts
    std::string key, value;  // trimmed
    std::size_t valueFrom = 0, valueTo = 0;
};

bool blank(char c) { return c == ' ' || c == '\t'; }

Line readLine(const std::string& text, std::size_t from)
{
    Line line;
    std::size_t end = text.find('\n', from);
    line.next = end == std::string::npos ? text.size() : end + 1;
    if (end == std::string::npos) end = text.size();
    if (end > from && text[end - 1] == '\r') --end;
    if (text.compare(from, BomSize, Bom) == 0) from += BomSize;
    while (from < end && blank(text[from]))
        ++from;
    while (end > from && blank(text[end - 1]))
        --end;
    if (from == end || text[from] == '#' || text[from] == ';') return line;
    const std::size_t equals = text.find('=', from);
    if (equals >= end) {
        line.kind = Line::NoEquals;
        return line;
    }
    line.key = trim(text.substr(from, equals - from));
    if (line.key.empty()) {
        line.kind = Line::NoKey;
        return line;
    }
    line.kind = Line::Setting;
    line.valueFrom = equals + 1;
    while (line.valueFrom < end && blank(text[line.valueFrom]))
        ++line.valueFrom;
    line.valueTo = end;
    line.value = text.substr(line.valueFrom, line.valueTo - line.valueFrom);
    return line;
}

}  // namespace

bool Settings::operator==(const Settings& o) const
{
    return windowHalves == o.windowHalves && fullscreen == o.fullscreen && musicVolume == o.musicVolume &&
           effectsVolume == o.effectsVolume && mute == o.mute && controls == o.controls &&
           landingShadow == o.landingShadow && sharpScaling == o.sharpScaling && keys == o.keys;
}

SettingKeys settingKeysChanged(const Settings& a, const Settings& b)
{
    SettingKeys changed = 0;
    for (int k = 0; k < KeyCount; ++k)
        if (Keys[k].text(a) != Keys[k].text(b)) changed |= bitOf(k);
    return changed;
}

Settings parseSettings(const std::string& text, std::vector<std::string>& problems)
{
    Settings s;
    std::size_t from = 0;
    for (int number = 1; from < text.size(); ++number) {
        const Line line = readLine(text, from);
        from = line.next;
        const std::string where = "line " + std::to_string(number) + ": ";
        if (line.kind == Line::NoEquals) problems.push_back(where + "no '=', skipped");
        if (line.kind == Line::NoKey) problems.push_back(where + "no key before '=', skipped");
        const int k = line.kind == Line::Setting ? keyIndex(line.key) : -1;
        if (k < 0) continue;
        std::string fallback;
        // The key is one of ours here, so it is safe to print; the value is
        // not echoed, since it may hold anything.
        if (const char* why = Keys[k].read(line.value, s, fallback))
            problems.push_back(where + line.key + " is " + why + "; using " + fallback);
    }
    // Two of the game's keys on one key would leave one of them unreachable.
    const auto twice = [](const std::array<int, platform::KeyCount>& table, int none) {
        for (std::size_t a = 0; a < table.size(); ++a)
            for (std::size_t b = a + 1; b < table.size(); ++b)
                if (table[a] != none && table[a] == table[b]) return true;
        return false;
    };
    const platform::KeyBindings defaults = platform::KeyBindings::defaults();
    if (twice(s.keys.caps, platform::NoCap)) {
        s.keys.caps = defaults.caps;
        problems.push_back("one keyboard key is given to two of the game's keys; using the default keys");
    }
    if (twice(s.keys.buttons, platform::NoButton)) {
        s.keys.buttons = defaults.buttons;
        problems.push_back(
            "one controller button is given to two of the game's keys; using the default buttons");
    }
    return s;
}

std::string formatSettings(const Settings& s)
{
    std::string text = "# Tessaloom settings, written by the game when a setting changes.\n";
    for (const Key& key : Keys) {
        text += key.name;
        text += " = ";
        text += key.text(s);
        text += '\n';
    }
    return text;
}

std::string mergeSettings(const std::string& text, const Settings& settings, SettingKeys changed)
{
    if (text.empty()) return formatSettings(settings);
    std::string merged;
    SettingKeys written = 0;
    for (std::size_t from = 0; from < text.size();) {
        const Line line = readLine(text, from);
        const int k = line.kind == Line::Setting ? keyIndex(line.key) : -1;
        if (k >= 0 && (changed & bitOf(k))) {
            merged.append(text, from, line.valueFrom - from);
            if (line.valueFrom == line.valueTo) merged += ' ';  // "key =" had no value
            merged += Keys[k].text(settings);
            merged.append(text, line.valueTo, line.next - line.valueTo);
            written |= bitOf(k);
        } else {
            merged.append(text, from, line.next - from);
        }
        from = line.next;
    }
    // New lines end as the file's first one does.
    const std::size_t lf = text.find('\n');
    const char* const eol = lf != std::string::npos && lf > 0 && text[lf - 1] == '\r' ? "\r\n" : "\n";
    for (int k = 0; k < KeyCount; ++k) {
        if (!(changed & bitOf(k)) || (written & bitOf(k))) continue;
        // A last line without its end gets one; a CR already there is half of it.
        if (merged.back() != '\n') merged += merged.back() == '\r' ? "\n" : eol;
        merged += Keys[k].name;
        merged += " = ";
        merged += Keys[k].text(settings);
        merged += eol;
    }
    return merged;
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

bool saveSettings(const std::string& path, const Settings& settings, SettingKeys changed, std::string* reason,
                  const std::function<bool()>& retryPause)
{
    const auto fail = [reason](const std::string& why) {
        if (reason) *reason = why;
        return false;
    };
    if (path.empty()) return false;
    // The file's own folder is made by the save; the configuration folder
    // above it may be missing too on a fresh account. Private, as the base
    // directory rules ask.
    std::string config = platform::folderOf(path);
    if (config.size() > 1) config.pop_back();
    config = platform::folderOf(config);
    if (config.size() > 1 && ::mkdir(config.c_str(), 0700) != 0 && errno != EEXIST)
        return fail(std::strerror(errno));

    // Read under the lock: what another copy saved a moment ago is kept.
    platform::LockedFile file(path, retryPause);
    if (!file.ok()) return fail(file.reason());
    std::vector<unsigned char> bytes;
    const platform::ReadResult r =
        platform::readFile(file.target(), bytes, SettingsFileMaxBytes, platform::OverCap::Reject);
    // Only a file that is not there yet starts afresh; one that cannot be
    // read whole is the player's, and stays as it is.
    const bool none = r.status == platform::ReadResult::Missing && r.reason.empty();
    if (!r && !none) return fail(r.reason);
    const std::string old(bytes.begin(), bytes.end());
    const std::string merged = mergeSettings(old, settings, changed);
    if (merged == old) return true;
    if (merged.size() > SettingsFileMaxBytes)
        return fail("it would grow larger than " + std::to_string(SettingsFileMaxBytes) + " bytes");
    if (!file.replace(merged)) return fail(file.reason());
    return true;
}
