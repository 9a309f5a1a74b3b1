// The player's settings: window size, fullscreen, volumes, mute, controls,
// the landing shadow, how the picture fills a larger window and the keys, kept in a small text file of "key = value" lines under
// the player's configuration folder. Defaults play the game exactly as it
// always was; a file that is missing, unreadable or odd never stops the game.
#pragma once

#include "platform/files.h"
#include "platform/key_bindings.h"
#include "platform/window_fit.h"

#include <functional>
#include <string>
#include <vector>

enum class ControlsSetting { Classic, Modern };

struct Settings {
    // The window's size in half factors of the picture, one of the steps of
    // platform/window_fit.h (2 is 1x, 3 is 1.5x, 4 is 2x, 6 is 3x, ...);
    // 0 is "auto": the largest window that fits comfortably.
    static constexpr int AutoScale = 0;
    static constexpr int MaxHalves = 32;  // 16x
    static constexpr int VolumeStep = 10;

    int windowHalves = AutoScale;
    bool fullscreen = false;
    int musicVolume = 100;    // percent, 0..100 in VolumeStep steps
    int effectsVolume = 100;  // percent, 0..100 in VolumeStep steps
    bool mute = false;
    ControlsSetting controls = ControlsSetting::Classic;
    bool landingShadow = false;
    // A window larger than a step (resized, maximised, fullscreen) shows the
    // picture at the largest step that fits, centred; with this, as large
    // as it fits at any factor, kept sharp.
    bool sharpScaling = false;
    // The keyboard key and controller button of each of the game's keys.
    platform::KeyBindings keys = platform::KeyBindings::defaults();

    bool operator==(const Settings& o) const;
    bool operator!=(const Settings& o) const { return !(*this == o); }
};

// The file is tiny; anything larger is not ours.
constexpr std::size_t SettingsFileMaxBytes = 16 * 1024;

// A set of the file's keys, one bit each: the settings a save changes.
using SettingKeys = unsigned;
constexpr SettingKeys AllSettingKeys = (1u << 26) - 1;

// The keys whose values differ between a and b.
SettingKeys settingKeysChanged(const Settings& a, const Settings& b);

// Reads the text of a settings file. Lines end with LF (a CR before it is
// dropped); a UTF-8 byte-order mark at the start of a line is skipped; blank
// lines and lines starting with '#' or ';' are comments; a line without '='
// is reported and skipped; an unknown key is skipped silently (a later
// version's setting); a bad value keeps the default and is reported. A later
// line for the same key wins. Keys are named as keyCapName and padButtonName
// write them ("none": no button); a name that is no key, or one the key may
// not have, is a bad value; one keyboard key or button given to two of the
// game's keys puts that table's defaults back, reported once. Each report is one line naming the line
// number, the key and why, for stderr.
Settings parseSettings(const std::string& text, std::vector<std::string>& problems);

// The file's text for settings: a comment line, then every key in a fixed
// order. parseSettings gives back the same settings without problems.
std::string formatSettings(const Settings& settings);

// text with the keys in `changed` set to their values in settings, and
// nothing else touched: each line of such a key gets the new value in place
// of its old one (its key, spacing and line end kept); a key without a line
// is appended. Comments, unknown keys, odd lines and a byte-order mark stay
// byte for byte. An empty text becomes formatSettings(settings) whole.
std::string mergeSettings(const std::string& text, const Settings& settings, SettingKeys changed);

// Where the settings file lives: $XDG_CONFIG_HOME/tessaloom/settings.ini
// when that variable holds an absolute path, else
// $HOME/.config/tessaloom/settings.ini; empty (no file: defaults, never
// written) when neither gives one.
std::string settingsFilePath();

// Reads the file at path: defaults for an empty path, a missing file or one
// that is not a regular file (never waited on), or one over the size cap.
// Every problem goes to stderr, one line each, naming the file.
Settings loadSettings(const std::string& path);

// Writes the keys in `changed` to the file at path, under the same lock as
// the rank file: reads the file as it is now, merges (mergeSettings) and
// replaces it atomically, so what another copy of the game saved meanwhile
// stays. Creates the configuration folder (one level above the game's own
// folder) when missing. While another process holds the lock, it tries
// again after each retryPause() (platform::LockedFile), giving up when that
// returns false or the lock wait runs out. A file it cannot read whole (over
// the size cap, unreadable) is left alone. False, with reason, when nothing
// was written; an empty path writes nothing.
bool saveSettings(const std::string& path, const Settings& settings, SettingKeys changed,
                  std::string* reason = nullptr,
                  const std::function<bool()>& retryPause = platform::pauseBeforeLockRetry);
