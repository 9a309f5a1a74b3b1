// The options screen and the settings keys: O opens the screen from the
// title, changes apply at once and are saved only when something changed,
// M mutes and F11 toggles fullscreen on every screen.
#include "game_test_access.h"
#include "game_test_support.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

using namespace gametest;
using platform::Key;

namespace {

class OptionsTest : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        game_->changeScene(SceneTitle);
        headless::clearAudioLog();
    }

    std::string settingsFile() const { return dir_.file("config/tessaloom/settings.ini"); }
    // The file work runs on the saver's thread; a test reads the file after it.
    void waitForTheSave()
    {
        ASSERT_TRUE(GameTestAccess::settingsSaver(*game_).waitUntilIdle(std::chrono::seconds(10)));
    }

    void openOptions() { tap(Key::O); }
    void moveTo(OptionsEntry entry)
    {
        for (int k = 0; k < static_cast<int>(entry); ++k)
            tap(Key::Down);
    }

    // Every music track at one volume and every effect at another.
    void expectVolumes(int music, int effects)
    {
        for (int id = 0; id < BgmCount; ++id)
            EXPECT_EQ(headless::soundVolume(this->music(static_cast<BgmId>(id))), music);
        for (int id = 0; id < SeCount; ++id)
            EXPECT_EQ(headless::soundVolume(effect(static_cast<SeId>(id))), effects);
    }

    static ino_t inodeOf(const std::string& path)
    {
        struct stat st;
        return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
    }
};

TEST_F(OptionsTest, OOnTheTitleOpensTheOptionsAndEscReturnsToTheTitleAsItWas)
{
    tap(Key::Down);  // the title's cursor on "ranking"
    headless::clearAudioLog();
    openOptions();
    EXPECT_EQ(game_->scene(), SceneOptions);
    EXPECT_EQ(playsOf(effect(SeDecide)), 1);
    frame();
    tap(Key::Escape);
    EXPECT_EQ(game_->scene(), SceneTitle);
    EXPECT_EQ(game_->field().menuCursor(), SceneRanking);
    // The title music played on throughout: never restarted.
    EXPECT_EQ(playsOf(music(BgmTitle)), 0);
    EXPECT_TRUE(headless::soundPlaying(music(BgmTitle)));
}

TEST_F(OptionsTest, ZOnBackLeavesAndEachVisitStartsAtTheFirstEntry)
{
    openOptions();
    moveTo(OptionsEntry::Back);
    tap(Key::Z);
    EXPECT_EQ(game_->scene(), SceneTitle);
    EXPECT_EQ(game_->settings(), Settings());
    openOptions();
    tap(Key::Right);  // on the window size again, not on Back
    EXPECT_EQ(game_->scene(), SceneOptions);
    EXPECT_EQ(game_->settings().windowHalves, 2);
}

// The KEYS page: Z on a game key's row, then the key the player presses.
class KeysPageTest : public OptionsTest {
protected:
    void SetUp() override
    {
        OptionsTest::SetUp();
        openOptions();
        moveTo(OptionsEntry::Keys);
        tap(Key::Z);
    }
    // A keyboard key by what it prints, pressed for one frame.
    void tapCap(int cap)
    {
        headless::pressCap(cap);
        frame();
        headless::releaseCap(cap);
    }
    void toRow(Key key)
    {
        int row = 0;
        while (KeysMenu::RowKeys[row] != key)
            ++row;
        toRow(row);
    }
    void toRow(int row)
    {
        for (int k = 0; k < KeysMenu::RowCount; ++k)
            tap(Key::Up);
        for (int k = 0; k < row; ++k)
            tap(Key::Down);
    }
    int capOf(Key key) const { return game_->settings().keys.caps[static_cast<std::size_t>(key)]; }
};

TEST_F(KeysPageTest, TheNextKeyPressedIsTakenSwappedOrRefusedAndTheGameActsByIt)
{
    toRow(Key::Z);
    tap(Key::Z);
    tapCap('K');
    EXPECT_EQ(capOf(Key::Z), 'K');
    EXPECT_EQ(headless::keyBindings(), game_->settings().keys) << "the platform has the new keys at once";

    // K decides now; the quit key's row takes the key already turning: swapped.
    toRow(Key::Q);
    tapCap('K');
    tapCap('K');
    EXPECT_EQ(capOf(Key::Q), 'K');
    EXPECT_EQ(capOf(Key::Z), 'Q');

    // Escape, while waiting, keeps what was there and stays on the page.
    tapCap('Z');  // no game key: nothing happens
    toRow(Key::P);
    tapCap('Q');  // decides now
    tapCap(platform::CapEscape);
    EXPECT_EQ(capOf(Key::P), 'P');
    EXPECT_EQ(game_->scene(), SceneOptions);

    // RESET gives every key its default back; Escape leaves the page, then the options.
    toRow(KeysMenu::ResetRow);
    tapCap('Q');
    EXPECT_EQ(game_->settings().keys, platform::KeyBindings::defaults());
    tap(Key::Escape);
    EXPECT_EQ(game_->scene(), SceneOptions);
    tap(Key::Escape);
    EXPECT_EQ(game_->scene(), SceneTitle);
}

TEST_F(KeysPageTest, TheQuitKeyChosenWhileWaitingIsOnlyAKey)
{
    toRow(Key::M);
    tap(Key::Z);
    // Q pressed and held as the new mute key: the game does not quit, even
    // for the frames it stays held after being taken.
    headless::pressCap('Q');
    frame();
    frame();
    EXPECT_EQ(capOf(Key::M), 'Q');
    EXPECT_NE(game_->scene(), SceneQuit);
    headless::releaseCap('Q');
    frame();
    // Let go, the quit key (now M's old key, swapped) quits again.
    EXPECT_EQ(capOf(Key::Q), 'M');
    headless::pressCap('M');
    frame();
    EXPECT_EQ(game_->scene(), SceneQuit);
}

TEST_F(OptionsTest, OOnlyOpensTheOptionsFromTheTitle)
{
    game_->changeScene(SceneRanking);
    tap(Key::O);
    EXPECT_EQ(game_->scene(), SceneRanking);
}

TEST_F(OptionsTest, AVolumeChangeReachesEveryChannelAtOnce)
{
    openOptions();
    moveTo(OptionsEntry::MusicVolume);
    tap(Key::Left);
    expectVolumes(90, 100);
    tap(Key::Down);
    tap(Key::Left);
    tap(Key::Left);
    expectVolumes(90, 80);
    EXPECT_EQ(game_->settings().musicVolume, 90);
    EXPECT_EQ(game_->settings().effectsVolume, 80);
}

TEST_F(OptionsTest, MMutesOnEveryScreenAndAgainBringsBackTheChosenVolumes)
{
    Settings s;
    s.musicVolume = 70;
    game_->changeSettings(s);
    for (SceneId scene : {SceneTitle, SceneRanking, SceneGameStart}) {
        game_->changeScene(scene);
        tap(Key::M);
        EXPECT_TRUE(game_->settings().mute) << scene;
        expectVolumes(0, 0);
        tap(Key::M);
        EXPECT_FALSE(game_->settings().mute) << scene;
        expectVolumes(70, 100);
    }
}

TEST_F(OptionsTest, TheFullscreenKeyTogglesFullscreenOnEveryScreen)
{
    for (SceneId scene : {SceneTitle, SceneOptions, SceneRanking}) {
        game_->changeScene(scene);
        tap(Key::Fullscreen);
        EXPECT_TRUE(headless::fullscreen()) << scene;
        EXPECT_TRUE(game_->settings().fullscreen);
        tap(Key::Fullscreen);
        EXPECT_FALSE(headless::fullscreen()) << scene;
    }
}

TEST_F(OptionsTest, AWindowSizeAppliesAtOnceAndLeavesFullscreen)
{
    headless::setWindowSizeLimit(6);  // 3x, in half factors
    tap(Key::Fullscreen);
    openOptions();
    tap(Key::Right);
    tap(Key::Right);
    EXPECT_EQ(headless::windowSize(), 3);  // 1.5x
    EXPECT_FALSE(headless::fullscreen());
    EXPECT_FALSE(game_->settings().fullscreen);
}

TEST_F(OptionsTest, SettingsAreSavedWhenTheyChangeAndOnlyThen)
{
    game_->useSettingsFile(settingsFile());
    openOptions();
    frame();
    moveTo(OptionsEntry::Back);
    EXPECT_FALSE(fs::exists(settingsFile())) << "saved without a change";

    tap(Key::M);
    waitForTheSave();
    Settings expected;
    expected.mute = true;
    EXPECT_EQ(loadSettings(settingsFile()), expected);
    const ino_t first = inodeOf(settingsFile());

    // Keys that change nothing write nothing: every save puts a new file
    // in place, so the same file means no save.
    tap(Key::Down);  // already on Back
    game_->changeSettings(game_->settings());
    waitForTheSave();
    EXPECT_EQ(inodeOf(settingsFile()), first);

    tap(Key::Up);  // keys
    tap(Key::Up);  // landing shadow
    tap(Key::Right);
    waitForTheSave();
    expected.landingShadow = true;
    EXPECT_EQ(loadSettings(settingsFile()), expected);
    EXPECT_NE(inodeOf(settingsFile()), first);
}

TEST_F(OptionsTest, AGameWithoutASettingsFileWritesNothingAnywhere)
{
    // The environment names folders in the scratch folder; the game, unlike
    // the player's copy, must not look at them.
    const char* names[] = {"XDG_CONFIG_HOME", "HOME"};
    std::string saved[2];
    bool had[2];
    for (int k = 0; k < 2; ++k) {
        const char* v = std::getenv(names[k]);
        had[k] = v != nullptr;
        if (v) saved[k] = v;
        ::setenv(names[k], dir_.file(names[k]).c_str(), 1);
    }
    tap(Key::M);
    tap(Key::Fullscreen);
    for (int k = 0; k < 2; ++k) {
        EXPECT_FALSE(fs::exists(dir_.file(names[k])));
        had[k] ? ::setenv(names[k], saved[k].c_str(), 1) : ::unsetenv(names[k]);
    }
    EXPECT_FALSE(fs::exists(dir_.file("config")));
}

TEST_F(OptionsTest, AnUnwritableSettingsFileLeavesTheChangeInPlayAndSaysSoOnce)
{
    fs::create_directories(settingsFile());  // a folder where the file goes
    game_->useSettingsFile(settingsFile());
    testing::internal::CaptureStderr();
    tap(Key::M);
    EXPECT_TRUE(game_->settings().mute);
    expectVolumes(0, 0);
    waitForTheSave();
    tap(Key::M);
    waitForTheSave();
    tap(Key::Fullscreen);
    waitForTheSave();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(game_->settings().mute);
    EXPECT_TRUE(fs::is_directory(settingsFile()));
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("could not save the settings to " + settingsFile()), std::string::npos) << err;
}

// The options screen's pictures, each cell of the value sheet its own
// colour, so a pixel tells which word or glyph was drawn there.
class OptionsPictureTest : public OptionsTest {
protected:
    static Rgb valueColour(int cell) { return Rgb{200, 10 + 10 * cell, 40}; }
    static constexpr Rgb BackgroundColour{20, 40, 60};
    static constexpr Rgb HintColour{250, 200, 0};

    void writeOptionsPictures(bool withHint)
    {
        writeSolidBmp(dir_.file("Graphics/Options.bmp"), 640, 480, BackgroundColour);
        writeBytes(dir_.file("Graphics/OptionValues.bmp"), bmpBytes(848, 24, [](int x, int) {
                       const int cell = x < 640 ? x / 128 : 5 + (x - 640) / 16;
                       return valueColour(cell);
                   }));
        if (withHint) writeSolidBmp(dir_.file("Graphics/OptionsHint.bmp"), 128, 16, HintColour);
        GameTestAccess::loadOptionsPictures(*game_, dir_.path() + "/");
    }

    // The cell drawn at the value column of an entry's row, k glyphs in.
    Rgb valueAt(OptionsEntry entry, int k = 0)
    {
        using namespace optionsLayout;
        return screen(ValueX + 16 * k + 8,
                      FirstRowY + RowPitch * static_cast<int>(entry) + ValueOffsetY + 12);
    }
};

TEST_F(OptionsPictureTest, TheScreenShowsEveryEntrysValue)
{
    writeOptionsPictures(false);
    openOptions();
    frame();
    EXPECT_EQ(valueAt(OptionsEntry::WindowSize), valueColour(OptionsView::Auto));
    EXPECT_EQ(valueAt(OptionsEntry::Fullscreen), valueColour(OptionsView::Off));
    EXPECT_EQ(valueAt(OptionsEntry::Controls), valueColour(OptionsView::Classic));
    // "100%": digits from cell 5, the sign after them.
    EXPECT_EQ(valueAt(OptionsEntry::MusicVolume, 0), valueColour(5 + 1));
    EXPECT_EQ(valueAt(OptionsEntry::MusicVolume, 1), valueColour(5 + 0));
    EXPECT_EQ(valueAt(OptionsEntry::MusicVolume, 3), valueColour(5 + 11));
    EXPECT_EQ(screen(600, 10), BackgroundColour);

    headless::setWindowSizeLimit(8);
    tap(Key::Right);
    tap(Key::Right);
    // "1.5X": the point is the sheet's last glyph.
    EXPECT_EQ(valueAt(OptionsEntry::WindowSize, 0), valueColour(5 + 1));
    EXPECT_EQ(valueAt(OptionsEntry::WindowSize, 1), valueColour(5 + 12));
    EXPECT_EQ(valueAt(OptionsEntry::WindowSize, 2), valueColour(5 + 5));
    EXPECT_EQ(valueAt(OptionsEntry::WindowSize, 3), valueColour(5 + 10));
    tap(Key::Right);
    moveTo(OptionsEntry::MusicVolume);
    tap(Key::Left);
    EXPECT_EQ(valueAt(OptionsEntry::WindowSize, 0), valueColour(5 + 2));
    EXPECT_EQ(valueAt(OptionsEntry::WindowSize, 1), valueColour(5 + 10));  // "X"
    EXPECT_EQ(valueAt(OptionsEntry::MusicVolume, 0), valueColour(5 + 9));
    EXPECT_EQ(valueAt(OptionsEntry::MusicVolume, 2), valueColour(5 + 11));
}

TEST_F(OptionsPictureTest, TheLineUnderTheControlsSaysWhatTheChosenStyleDoes)
{
    // One colour per line of the notes: classic above, modern below.
    const Rgb classic{10, 200, 10 + 1}, modern{10, 200, 10 + 2};
    writeBytes(dir_.file("Graphics/ControlsNotes.bmp"),
               bmpBytes(optionsLayout::NoteWidth, 2 * optionsLayout::NoteHeight,
                        [&](int, int y) { return y < optionsLayout::NoteHeight ? classic : modern; }));
    writeOptionsPictures(false);
    openOptions();
    frame();
    const int y = optionsLayout::FirstRowY +
                  optionsLayout::RowPitch * static_cast<int>(OptionsEntry::Controls) +
                  optionsLayout::NoteOffsetY + 8;
    EXPECT_EQ(screen(optionsLayout::LabelX + 100, y), classic);
    moveTo(OptionsEntry::Controls);
    tap(Key::Right);
    EXPECT_EQ(game_->settings().controls, ControlsSetting::Modern);
    EXPECT_EQ(screen(optionsLayout::LabelX + 100, y), modern);
}

TEST_F(OptionsPictureTest, TheTitleGainsOnlyItsHintForTheOptions)
{
    writeSolidBmp(dir_.file("Title.bmp"), 640, 480, Rgb{1, 2, 3});
    game_->loadBitmap(SlotTitle, dir_.file("Title.bmp"), false);
    frame();
    const Surface& shown = game_->renderer().backBuffer();
    const std::vector<std::uint8_t> without(shown.pixels(), shown.pixels() + shown.byteCount());

    writeOptionsPictures(true);
    frame();
    int changed = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const std::size_t at = shown.pixelOffset(x, y);
            if (std::equal(without.begin() + at, without.begin() + at + 3, shown.pixels() + at)) continue;
            ++changed;
            ASSERT_TRUE(x >= 468 && x < 468 + 128 && y >= 438 && y < 438 + 16) << x << ", " << y;
        }
    }
    EXPECT_EQ(changed, 128 * 16);
}

TEST_F(OptionsPictureTest, StillTitleAndOptionsScreensAreHandedOverAsTheSamePicture)
{
    // The window skips a picture it is told is the same; the hint and the
    // options' own pictures must not hide a still screen, nor a change.
    writeSolidBmp(dir_.file("Title.bmp"), 640, 480, Rgb{1, 2, 3});
    game_->loadBitmap(SlotTitle, dir_.file("Title.bmp"), false);
    writeOptionsPictures(true);
    const auto shownFrame = [this] {
        frame();
        game_->present();
    };
    shownFrame();
    shownFrame();  // the first picture after a load is not taken on trust
    const int before = headless::unchangedFrames();
    for (int k = 0; k < 5; ++k)
        shownFrame();
    EXPECT_EQ(headless::unchangedFrames() - before, 5);

    openOptions();
    game_->present();
    shownFrame();
    const int inOptions = headless::unchangedFrames();
    for (int k = 0; k < 5; ++k)
        shownFrame();
    EXPECT_EQ(headless::unchangedFrames() - inOptions, 5);
    headless::press(Key::Down);  // the cursor moves: a new picture
    shownFrame();
    EXPECT_EQ(headless::unchangedFrames() - inOptions, 5);
    EXPECT_EQ(headless::falseUnchangedClaims(), 0);
    EXPECT_EQ(pixelAt(game_->renderer().backBuffer(), 600, 10), BackgroundColour);
}

TEST_F(OptionsPictureTest, TheControlsAndShadowEntriesReachThePlay)
{
    openOptions();
    moveTo(OptionsEntry::Controls);
    tap(Key::Right);
    EXPECT_EQ(game_->controlStyle(), ControlStyle::Modern);
    tap(Key::Down);  // to the landing shadow
    tap(Key::Right);
    EXPECT_TRUE(game_->landingShadow());
    tap(Key::Left);
    EXPECT_FALSE(game_->landingShadow());
}

TEST_F(OptionsPictureTest, MissingPicturesDrawAPlainScreenWithoutFailing)
{
    GameTestAccess::loadOptionsPictures(*game_, dir_.path() + "/nowhere/");
    openOptions();
    frame();
    tap(Key::Down);
    EXPECT_EQ(screen(600, 10), (Rgb{24, 22, 56}));
    EXPECT_TRUE(headless::messageBoxes().empty());
}

class SettingsStartUpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        headless::reset();
        headless::setExecutablePath(dir_.file("tessaloom"));
        for (const char* name : {"Sound/BGM/Title.wav", "Sound/SE/Decide.wav"})
            writeBytes(dir_.file(name), "RIFF");
    }
    ScratchDir dir_;
};

TEST_F(SettingsStartUpTest, StartUpAppliesTheSettingsFile)
{
    const std::string file = dir_.file("cfg/tessaloom/settings.ini");
    writeBytes(file, "window_scale = 2\nfullscreen = on\nmusic_volume = 50\neffects_volume = 30\n"
                     "sharp_scaling = on\n");
    headless::setWindowSizeLimit(8);
    Game game;
    game.useSettingsFile(file);
    game.startUp(platform::mainWindow());
    EXPECT_EQ(headless::windowSize(), 4);  // 2x, in half factors
    EXPECT_TRUE(headless::fullscreen());
    EXPECT_TRUE(headless::sharpScaling());
    // The sounds open after the first frame, with the volumes the file gave.
    game.finishStartUp();
    EXPECT_EQ(headless::soundVolume(game.sound().bgmChannel(BgmTitle).handle()), 50);
    EXPECT_EQ(headless::soundVolume(game.sound().effectChannel(SeDecide).handle()), 30);
}

TEST_F(SettingsStartUpTest, AMutedStartSilencesEverySound)
{
    const std::string file = dir_.file("cfg/tessaloom/settings.ini");
    writeBytes(file, "mute = on\n");
    Game game;
    game.useSettingsFile(file);
    game.startUp(platform::mainWindow());
    game.finishStartUp();
    EXPECT_EQ(headless::soundVolume(game.sound().bgmChannel(BgmTitle).handle()), 0);
    EXPECT_EQ(headless::soundVolume(game.sound().effectChannel(SeDecide).handle()), 0);
    EXPECT_FALSE(headless::fullscreen());
}

}  // namespace

// The hint lines name the keys bound: the pictures' own lines stay for the
// default keys; another key has the game draw the line itself, over a strip
// without text, from the sheets of key names and words.
TEST_F(OptionsPictureTest, TheHintLinesAreDrawnAnewOnlyForKeysOtherThanTheDefaults)
{
    constexpr Rgb StripColour{90, 0, 90};
    static constexpr Rgb NameColour{250, 250, 250};
    writeOptionsPictures(true);
    writeSolidBmp(dir_.file("Graphics/OptionsFoot.bmp"), 640, 16, StripColour);
    writeSolidBmp(dir_.file("Graphics/KeysFoot.bmp"), 640, 16, StripColour);
    writeSolidBmp(dir_.file("Graphics/TitleKeys.bmp"), 640, 16, StripColour);
    // Each cell's ink 10 pixels wide.
    const auto sheet = [&](const char* name, int cellWidth, int cells) {
        writeBytes(dir_.file(name), bmpBytes(cellWidth * cells, 16, [cellWidth](int x, int) {
                       return x % cellWidth < 12 ? NameColour : Rgb{0, 255, 0};
                   }));
    };
    sheet("Graphics/KeyNames.bmp", keyNames::CellWidth, keyNames::CellCount);
    sheet("Graphics/HintWords.bmp", HintWordWidth, HintWordCount);
    GameTestAccess::loadOptionsPictures(*game_, dir_.path() + "/");
    frame();
    EXPECT_FALSE(screen(1, TitleKeysY + 8) == StripColour) << "the title picture's own line";
    openOptions();
    frame();
    EXPECT_EQ(screen(1, OptionsFootY + 8), BackgroundColour) << "the picture's own line";

    Settings remapped = game_->settings();
    platform::bindCap(remapped.keys, Key::Z, 'K');
    game_->changeSettings(remapped);
    frame();
    EXPECT_EQ(screen(1, OptionsFootY + 8), StripColour);

    // The KEYS page's line likewise.
    moveTo(OptionsEntry::Keys);
    headless::pressCap('K');
    frame();
    EXPECT_EQ(screen(1, KeysFootY + 8), StripColour);
    headless::releaseCap('K');
    tap(Key::Escape);
    tap(Key::Escape);
    frame();
    ASSERT_EQ(game_->scene(), SceneTitle);
    EXPECT_EQ(screen(1, TitleKeysY + 8), StripColour);
}

TEST_F(OptionsTest, OnlyModernControlsHaveAKeyPressEndTheFramePause)
{
    EXPECT_FALSE(headless::keyEndsPause());
    Settings s = game_->settings();
    s.controls = ControlsSetting::Modern;
    game_->changeSettings(s);
    EXPECT_TRUE(headless::keyEndsPause());
    s.controls = ControlsSetting::Classic;
    game_->changeSettings(s);
    EXPECT_FALSE(headless::keyEndsPause());
}
