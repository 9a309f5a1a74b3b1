// The player's settings: window size, fullscreen, volumes, mute, controls and
// the landing shadow, kept in a small text file of "key = value" lines under
// the player's configuration folder. Defaults play the game exactly as it
// always was; a file that is missing, unreadable or odd never stops the game.
#pragma once

#include <string>
#include <vector>

enum class ControlsSetting { Classic, Modern };

struct Settings {
    // 0 is "auto": the largest window that fits comfortably.
    static constexpr int AutoScale = 0;
    static constexpr int MaxScale = 16;
    static constexpr int VolumeStep = 10;

    int windowScale = AutoScale;
    bool fullscreen = false;
    int musicVolume = 100;    // percent, 0..100 in VolumeStep steps
    int effectsVolume = 100;  // percent, 0..100 in VolumeStep steps
    bool mute = false;
    ControlsSetting controls = ControlsSetting::Classic;
    bool landingShadow = false;

    bool operator==(const Settings& o) const;
    bool operator!=(const Settings& o) const { return !(*this == o); }
};

// The file is tiny; anything larger is not ours.
constexpr std::size_t SettingsFileMaxBytes = 16 * 1024;

// Reads the text of a settings file. Lines end with LF (a CR before it is
// dropped); blank lines and lines starting with '#' or ';' are comments; a
// line without '=' is reported and skipped; an unknown key is skipped
// silently (a later version's setting); a bad value keeps the default and is
// reported. A later line for the same key wins. Each report is one line
// naming the line number, the key and why, for stderr.
Settings parseSettings(const std::string& text, std::vector<std::string>& problems);

// The file's text for settings: a comment line, then every key in a fixed
// order. parseSettings gives back the same settings without problems.
std::string formatSettings(const Settings& settings);

// Where the settings file lives: $XDG_CONFIG_HOME/tessaloom/settings.ini
// when that variable holds an absolute path, else
// $HOME/.config/tessaloom/settings.ini; empty (no file: defaults, never
// written) when neither gives one.
std::string settingsFilePath();

// Reads the file at path: defaults for an empty path, a missing file or one
// that is not a regular file (never waited on), or one over the size cap.
// Every problem goes to stderr, one line each, naming the file.
Settings loadSettings(const std::string& path);

// Replaces the file at path with formatSettings(settings), atomically and
// under the same lock as the rank file, creating the configuration folder
// (one level above the game's own folder) when missing. False, with
// reason, when it could not be written; an empty path writes nothing.
bool saveSettings(const std::string& path, const Settings& settings, std::string* reason = nullptr);
