// The settings file: what the reader takes from good, bad and odd files,
// where the file lives, and how it is written.
#include "settings/settings.h"

#include "tests/platform/special_files.h"
#include "tools/support/scratch_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

Settings parse(const std::string& text, std::vector<std::string>* problems = nullptr)
{
    std::vector<std::string> seen;
    const Settings s = parseSettings(text, seen);
    if (problems) *problems = seen;
    return s;
}

Settings everyValueChanged()
{
    Settings s;
    s.windowHalves = 6;
    s.fullscreen = true;
    s.musicVolume = 40;
    s.effectsVolume = 0;
    s.mute = true;
    s.controls = ControlsSetting::Modern;
    s.landingShadow = true;
    s.sharpScaling = true;
    return s;
}

TEST(SettingsReader, AFileNamingEveryKeySetsEveryValue)
{
    std::vector<std::string> problems;
    const Settings s = parse("window_scale = 3\nfullscreen = on\nmusic_volume = 40\neffects_volume = 0\n"
                             "mute = on\ncontrols = modern\nlanding_shadow = on\nsharp_scaling = on\n",
                             &problems);
    EXPECT_EQ(s, everyValueChanged());
    EXPECT_TRUE(problems.empty());
}

TEST(SettingsReader, CommentsBlanksLineEndsAndSpacingAreTolerated)
{
    std::vector<std::string> problems;
    const Settings s =
        parse("# a comment\r\n\r\n; another\n   \n\tmusic_volume=70\r\n  controls   =  modern  \n"
              "window_scale = auto",  // no final line end
              &problems);
    EXPECT_EQ(s.musicVolume, 70);
    EXPECT_EQ(s.controls, ControlsSetting::Modern);
    EXPECT_EQ(s.windowHalves, Settings::AutoScale);
    EXPECT_TRUE(problems.empty());
}

TEST(SettingsReader, AByteOrderMarkAtTheStartIsUnderstood)
{
    std::vector<std::string> problems;
    EXPECT_TRUE(parse("\xEF\xBB\xBFmute = on\r\n", &problems).mute);
    EXPECT_TRUE(problems.empty());
}

TEST(SettingsReader, AnEmptyFileAndUnknownKeysGiveTheDefaultsSilently)
{
    std::vector<std::string> problems;
    EXPECT_EQ(parse("", &problems), Settings());
    EXPECT_EQ(parse("colour_scheme = dark\nvsync = on\n", &problems), Settings());
    EXPECT_TRUE(problems.empty());
}

TEST(SettingsReader, EachBadValueKeepsItsDefaultAndIsReportedWithItsLine)
{
    struct Case {
        const char* line;
        const char* reason;
    };
    const Case cases[] = {
        {"music_volume = 55", "not a multiple of 10"},
        {"music_volume = 110", "above 100"},
        {"music_volume = -10", "not a whole number"},
        {"music_volume = +10", "not a whole number"},
        {"music_volume = 0x10", "not a whole number"},
        {"music_volume = 1e2", "not a whole number"},
        {"music_volume = 0100", "not a whole number"},
        {"music_volume =", "not a whole number"},
        {"effects_volume = 99999999999999999999", "not a whole number"},
        {"window_scale = 0", "not auto, 1.5 or 1 to 16"},
        {"window_scale = 17", "not auto, 1.5 or 1 to 16"},
        {"window_scale = AUTO", "not auto, 1.5 or 1 to 16"},
        {"window_scale = 2.5", "not auto, 1.5 or 1 to 16"},
        {"window_scale = 1.50", "not auto, 1.5 or 1 to 16"},
        {"window_scale = 1.5x", "not auto, 1.5 or 1 to 16"},
        {"window_scale = 0.5", "not auto, 1.5 or 1 to 16"},
        {"sharp_scaling = yes", "not on or off"},
        {"fullscreen = yes", "not on or off"},
        {"mute = 1", "not on or off"},
        {"controls = Modern", "not classic or modern"},
        {"landing_shadow = on off", "not on or off"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> problems;
        // A good line before the bad one is still read.
        const Settings s = parse(std::string("landing_shadow = on\n") + c.line + "\n", &problems);
        Settings expected;
        expected.landingShadow = std::string(c.line).rfind("landing_shadow", 0) != 0;
        EXPECT_EQ(s, expected) << c.line;
        ASSERT_EQ(problems.size(), 1u) << c.line;
        EXPECT_EQ(problems[0].rfind("line 2: ", 0), 0u) << problems[0];
        EXPECT_NE(problems[0].find(c.reason), std::string::npos) << problems[0];
    }
}

TEST(SettingsReader, AReportNeverEchoesTheValue)
{
    // The value may hold anything, terminal escapes included.
    std::vector<std::string> problems;
    parse("controls = \x1b]0;owned\x07\n", &problems);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].find('\x1b'), std::string::npos) << problems[0];
    EXPECT_EQ(problems[0], "line 1: controls is not classic or modern; using classic");
}

TEST(SettingsReader, LinesWithoutAKeyOrAnEqualsSignAreReportedAndSkipped)
{
    std::vector<std::string> problems;
    const Settings s = parse("fullscreen on\n= on\nmute = on\n", &problems);
    EXPECT_FALSE(s.fullscreen);
    EXPECT_TRUE(s.mute);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0], "line 1: no '=', skipped");
    EXPECT_EQ(problems[1], "line 2: no key before '=', skipped");
}

TEST(SettingsReader, TheLastLineForAKeyWinsEvenWhenItIsBad)
{
    EXPECT_EQ(parse("music_volume = 30\nmusic_volume = 60\n").musicVolume, 60);
    // A bad value means the default, not whatever came before it.
    EXPECT_EQ(parse("music_volume = 30\nmusic_volume = 65\n").musicVolume, 100);
}

TEST(SettingsReader, AZeroByteSpoilsOnlyItsOwnLine)
{
    std::vector<std::string> problems;
    const char raw[] = "mute = o\0n\nfullscreen = on\n";
    const Settings s = parse(std::string(raw, sizeof raw - 1), &problems);
    EXPECT_FALSE(s.mute);
    EXPECT_TRUE(s.fullscreen);
    EXPECT_EQ(problems.size(), 1u);
}

TEST(SettingsReader, KeyNamesAreReadStrictly)
{
    using platform::Key;
    const platform::KeyBindings defaults = platform::KeyBindings::defaults();
    struct Case {
        const char* rule;
        std::string text;
        Key key;
        bool pad;
        int expected;
        int problems;
    };
    const Case cases[] = {
        {"a letter", "key_turn = K\n", Key::Z, false, 'K', 0},
        {"a named key", "key_quit = F4\n", Key::Q, false, platform::CapF1 + 3, 0},
        {"a button", "pad_turn = X\n", Key::Z, true, static_cast<int>(platform::PadButton::X), 0},
        {"no button", "pad_quit = none\n", Key::Q, true, platform::NoButton, 0},
        {"an unknown key name keeps the default", "key_turn = KEYPAD5\n", Key::Z, false, 'Z', 1},
        {"names are capitals", "key_turn = k\n", Key::Z, false, 'Z', 1},
        {"Escape is no key to give", "key_pause = ESC\n", Key::P, false, 'P', 1},
        {"an unknown button keeps the default", "pad_pause = TRIGGER\n", Key::P, true,
         static_cast<int>(platform::PadButton::Start), 1},
        {"one key for two puts the default keys back", "key_turn = Q\n", Key::Z, false, 'Z', 1},
        {"a swap written out whole is fine", "key_turn = Q\nkey_quit = Z\n", Key::Q, false, 'Z', 0},
    };
    for (const Case& c : cases) {
        std::vector<std::string> problems;
        const Settings s = parse(c.text, &problems);
        const auto& table = c.pad ? s.keys.buttons : s.keys.caps;
        EXPECT_EQ(table[static_cast<std::size_t>(c.key)], c.expected) << c.rule;
        EXPECT_EQ(problems.size(), static_cast<std::size_t>(c.problems)) << c.rule;
        if (c.problems) {
            EXPECT_EQ(s.keys, defaults) << c.rule;
        }
    }
}

TEST(SettingsFile, AnUnknownKeyNameKeepsTheDefaultWithOneLineOnStderr)
{
    support::ScratchDir dir{"tessaloom-settings"};
    const std::string path = dir.file("settings.ini");
    std::ofstream(path, std::ios::binary) << "key_turn = KEYPAD5\nkey_quit = A\n";
    testing::internal::CaptureStderr();
    const Settings s = loadSettings(path);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(s.keys.caps[static_cast<std::size_t>(platform::Key::Z)], 'Z');
    EXPECT_EQ(s.keys.caps[static_cast<std::size_t>(platform::Key::Q)], 'A');
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("line 1: key_turn is not a key's name; using Z"), std::string::npos) << err;
}

TEST(SettingsWriter, WhatIsWrittenReadsBackWithoutProblems)
{
    for (const Settings& s : {Settings(), everyValueChanged()}) {
        std::vector<std::string> problems;
        EXPECT_EQ(parse(formatSettings(s), &problems), s);
        EXPECT_TRUE(problems.empty());
    }
    EXPECT_EQ(formatSettings(Settings()),
              "# Tessaloom settings, written by the game when a setting changes.\n"
              "window_scale = auto\nfullscreen = off\nmusic_volume = 100\neffects_volume = 100\n"
              "mute = off\ncontrols = classic\nlanding_shadow = off\nsharp_scaling = off\n"
              "key_left = LEFT\nkey_right = RIGHT\nkey_up = UP\nkey_down = DOWN\nkey_turn = Z\n"
              "key_turn_back = C\nkey_quit = Q\nkey_pause = P\nkey_mute = M\nkey_options = O\n"
              "key_fullscreen = F11\npad_turn = A\npad_turn_back = B\npad_quit = BACK\npad_pause = START\n"
              "pad_mute = none\npad_options = Y\npad_fullscreen = none\n");
}

TEST(SettingsFile, EveryWindowSizeOfOlderFilesAndOneAndAHalfReadAndWriteAsThemselves)
{
    // In half factors: the file's "3" is 3x, "1.5" the one step between.
    for (int whole = 1; whole <= 16; ++whole) {
        std::vector<std::string> problems;
        const std::string line = "window_scale = " + std::to_string(whole) + "\n";
        const Settings s = parse(line, &problems);
        EXPECT_EQ(s.windowHalves, 2 * whole) << line;
        EXPECT_TRUE(problems.empty()) << line;
        EXPECT_NE(formatSettings(s).find(line), std::string::npos) << line;
    }
    Settings oneAndAHalf;
    oneAndAHalf.windowHalves = 3;
    EXPECT_EQ(parse("window_scale = 1.5\n"), oneAndAHalf);
    EXPECT_NE(formatSettings(oneAndAHalf).find("\nwindow_scale = 1.5\n"), std::string::npos);
}

TEST(SettingsWriter, ASaveRewritesOnlyTheLinesOfTheKeysThatChanged)
{
    Settings muted;
    muted.mute = true;
    const SettingKeys changed = settingKeysChanged(Settings(), muted);
    struct Case {
        const char* rule;
        std::string before;
        std::string after;
    };
    const Case cases[] = {
        {"a byte-order mark is kept", "\xEF\xBB\xBFmute = off\n", "\xEF\xBB\xBFmute = on\n"},
        {"comments and blanks are kept", "# mine\n\n; also mine\nmute = off\n",
         "# mine\n\n; also mine\nmute = on\n"},
        {"unknown keys are kept", "colour_scheme = dark\nmute=off\nvsync = on\n",
         "colour_scheme = dark\nmute=on\nvsync = on\n"},
        {"unchanged keys keep even odd values", "fullscreen = on\nmusic_volume = 55\nmute = off\n",
         "fullscreen = on\nmusic_volume = 55\nmute = on\n"},
        {"spacing and line ends are kept", "  mute\t=   off  \r\n", "  mute\t=   on  \r\n"},
        {"every line of the key gets the value", "mute = off\nmute = maybe\n", "mute = on\nmute = on\n"},
        {"an empty value is filled", "mute =\n", "mute = on\n"},
        {"a key not in the file is appended", "# mine\nvsync = on", "# mine\nvsync = on\nmute = on\n"},
        {"with the file's line end", "vsync = on\r\n", "vsync = on\r\nmute = on\r\n"},
        {"after a last line ending in a CR", "vsync = on\r", "vsync = on\r\nmute = on\n"},
        {"lines the reader skips are kept", "no equals\n= no key\n", "no equals\n= no key\nmute = on\n"},
        {"a new file is written whole", "", formatSettings(muted)},
    };
    for (const Case& c : cases) {
        const std::string merged = mergeSettings(c.before, muted, changed);
        EXPECT_EQ(merged, c.after) << c.rule;
        EXPECT_TRUE(parse(merged).mute) << c.rule;
    }
}

// Sets an environment variable for one test and puts it back after.
class EnvironmentVariable {
public:
    explicit EnvironmentVariable(const char* name) : name_(name)
    {
        if (const char* v = std::getenv(name)) saved_ = v;
    }
    ~EnvironmentVariable()
    {
        if (saved_)
            ::setenv(name_, saved_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    void set(const char* value) { value ? ::setenv(name_, value, 1) : ::unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> saved_;
};

TEST(SettingsPath, TheConfigurationFolderComesFromTheEnvironment)
{
    EnvironmentVariable config("XDG_CONFIG_HOME"), home("HOME");
    config.set("/cfg");
    home.set("/home/player");
    EXPECT_EQ(settingsFilePath(), "/cfg/tessaloom/settings.ini");
    config.set("/cfg/");
    EXPECT_EQ(settingsFilePath(), "/cfg/tessaloom/settings.ini");
    // Unset, empty or relative: the home folder's .config.
    for (const char* v : {static_cast<const char*>(nullptr), "", "relative/cfg"}) {
        config.set(v);
        EXPECT_EQ(settingsFilePath(), "/home/player/.config/tessaloom/settings.ini");
    }
    // Neither: no file at all.
    home.set(nullptr);
    EXPECT_EQ(settingsFilePath(), "");
    home.set("not/absolute");
    EXPECT_EQ(settingsFilePath(), "");
}

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.ok()); }

    std::string path() const { return dir_.file("config/tessaloom/settings.ini"); }

    static void write(const std::string& file, const std::string& bytes)
    {
        fs::create_directories(fs::path(file).parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
    }
    static std::string read(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    support::ScratchDir dir_{"tessaloom-settings"};
};

TEST_F(SettingsFileTest, AMissingFileOrNoPathGivesTheDefaults)
{
    EXPECT_EQ(loadSettings(path()), Settings());
    EXPECT_EQ(loadSettings(""), Settings());
}

TEST_F(SettingsFileTest, AFileIsReadAsItsTextIs)
{
    write(path(), "music_volume = 20\nmute = on\n");
    const Settings s = loadSettings(path());
    EXPECT_EQ(s.musicVolume, 20);
    EXPECT_TRUE(s.mute);
}

TEST_F(SettingsFileTest, AFolderAFifoOrAnOversizedFileCountsAsMissing)
{
    fs::create_directories(path());
    EXPECT_EQ(loadSettings(path()), Settings());
    fs::remove(path());

    specialfiles::makeFifo(path());
    Settings fromFifo = everyValueChanged();
    EXPECT_TRUE(specialfiles::finishesWithoutWaiting(path(), [&] { fromFifo = loadSettings(path()); }));
    EXPECT_EQ(fromFifo, Settings());
    fs::remove(path());

    write(path(), "mute = on\n" + std::string(SettingsFileMaxBytes, '#'));
    EXPECT_EQ(loadSettings(path()), Settings());
}

TEST_F(SettingsFileTest, ASaveMakesTheFoldersAndReadsBack)
{
    std::string reason;
    ASSERT_TRUE(saveSettings(path(), everyValueChanged(), AllSettingKeys, &reason)) << reason;
    EXPECT_EQ(loadSettings(path()), everyValueChanged());
    EXPECT_EQ(read(path()), formatSettings(everyValueChanged()));
    // The configuration folder made for it is private.
    struct stat st;
    ASSERT_EQ(::stat(dir_.file("config").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // Nothing else is left beside the file.
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(fs::path(path()).parent_path()))
        names.push_back(e.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"settings.ini"});
}

TEST_F(SettingsFileTest, ASaveKeepsWhatAnotherCopySavedAndNeverWritesThroughAFolder)
{
    // Another copy of the game turned the music down; this one mutes.
    write(path(), "\xEF\xBB\xBF# kept\nmusic_volume = 20\nsome_later_setting = 7\n");
    Settings mine;
    mine.mute = true;
    ASSERT_TRUE(saveSettings(path(), mine, settingKeysChanged(Settings(), mine)));
    EXPECT_EQ(read(path()), "\xEF\xBB\xBF# kept\nmusic_volume = 20\nsome_later_setting = 7\nmute = on\n");

    fs::remove(path());
    fs::create_directories(path());
    std::string reason;
    EXPECT_FALSE(saveSettings(path(), Settings(), AllSettingKeys, &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_FALSE(saveSettings("", Settings(), AllSettingKeys));
}

TEST_F(SettingsFileTest, AFileTheSaveCannotReadWholeIsLeftAsItIs)
{
    const std::string big = "mute = on\n" + std::string(SettingsFileMaxBytes, '#');
    write(path(), big);
    std::string reason;
    EXPECT_FALSE(saveSettings(path(), Settings(), AllSettingKeys, &reason));
    EXPECT_NE(reason.find("larger than"), std::string::npos) << reason;
    EXPECT_EQ(read(path()), big);
}

// Threads or descriptors of this process: entries of /proc/self/task or fd.
int countOf(const char* folder)
{
    int n = 0;
    for (auto it = fs::directory_iterator(folder); it != fs::directory_iterator(); ++it)
        ++n;
    return n;
}

TEST_F(SettingsFileTest, ALockHeldElsewhereIsTriedAgainUntilTheCallerStopsAndLeavesNothing)
{
    write(path(), "mute = off\n");
    // Another process's lock: flock locks belong to the open folder, so a
    // second opening conflicts even within one process.
    const int held = ::open(fs::path(path()).parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    const int threads = countOf("/proc/self/task");
    const int descriptors = countOf("/proc/self/fd");

    Settings muted;
    muted.mute = true;
    int pauses = 0;
    std::string reason;
    EXPECT_FALSE(saveSettings(path(), muted, AllSettingKeys, &reason, [&pauses] { return ++pauses < 3; }));
    EXPECT_EQ(pauses, 3);
    EXPECT_EQ(reason, "another copy of the game kept it locked");
    EXPECT_EQ(countOf("/proc/self/task"), threads);
    EXPECT_EQ(countOf("/proc/self/fd"), descriptors);
    EXPECT_EQ(read(path()), "mute = off\n");

    // Let go between two tries: the save goes through.
    pauses = 0;
    EXPECT_TRUE(saveSettings(path(), muted, AllSettingKeys, &reason, [&] {
        if (++pauses == 2) ::close(held);
        return true;
    })) << reason;
    EXPECT_TRUE(loadSettings(path()).mute);
}

}  // namespace
