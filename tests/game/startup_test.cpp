// Start-up: every picture and sound lands in the slot or channel the rest of
// the game refers to, from beside the executable, and missing files are
// silent. The first frame needs only the title's pictures; the rest, the
// sounds with it, loads right after that frame is handed over: inline, or
// on a loader thread while the title runs on.
#include "game_test_support.h"
#include "step_gate.h"

#include "app/frame_step.h"

#include <algorithm>
#include <chrono>
#include <thread>

using namespace gametest;

namespace {

struct PictureFile {
    const char* name;
    int slot;
    bool keyed;
};

const PictureFile Pictures[] = {
    {"PuzzleBlock.bmp", SlotBlocks, true},
    {"Title.bmp", SlotTitle, false},
    {"RankBG.bmp", SlotRankBg, false},
    {"GameBG.bmp", SlotGameBg, false},
    {"Vals.bmp", SlotDigits, true},
    {"String.bmp", SlotLetters, true},
    {"GameOver.bmp", SlotGameOver, true},
    {"GameStart.bmp", SlotGameStart, true},
    {"ScoreCursol.bmp", SlotNameCursor, false},
    {"Paused.bmp", SlotPaused, true},
};

const char* const MusicFiles[BgmCount] = {"Title.wav", "Play.wav", "Over.wav"};
const char* const EffectFiles[SeCount] = {
    "Decide.wav", "Select.wav", "GameOver.wav", "Turn.wav",   "Move.wav",   "Bottom.wav",
    "Chain1.wav", "Chain2.wav", "Chain3.wav",   "Chain4.wav", "Chain5.wav", "GameStart.wav",
};

// Each picture gets a width of its own, so a slot tells which file it holds.
int widthFor(int slot) { return 4 * (slot + 1); }

void writePictures(const ScratchDir& dir)
{
    for (const PictureFile& p : Pictures)
        writeSolidBmp(dir.file(std::string("Graphics/") + p.name), widthFor(p.slot), 2, Rgb{10, 20, 30});
}

void writeSounds(const ScratchDir& dir)
{
    for (const char* name : MusicFiles)
        writeBytes(dir.file(std::string("Sound/BGM/") + name), "RIFF");
    for (const char* name : EffectFiles)
        writeBytes(dir.file(std::string("Sound/SE/") + name), "RIFF");
}

bool endsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The two ways the rest of start-up loads: inline, as the tests and tools
// load it, and on a loader thread with nothing in its way, as the desktop.
enum class Loading { Inline, OnItsThread };

// Runs frames until the rest of start-up is in (one frame when inline).
void stepUntilStartedUp(Game& game)
{
    const auto deadline = std::chrono::steady_clock::now() + HangLimit;
    stepFrame(game);
    while (!game.startUpFinished() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        headless::advanceClock(33);
        stepFrame(game);
    }
}

class StartUpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        headless::reset();
        headless::setExecutablePath(dir_.file("tessaloom"));
    }

    ScratchDir dir_;
};

}  // namespace

TEST_F(StartUpTest, EverySlotAndChannelHoldsTheFileTheGameRefersTo)
{
    writePictures(dir_);
    writeSounds(dir_);
    for (Loading loading : {Loading::Inline, Loading::OnItsThread}) {
        SCOPED_TRACE(loading == Loading::Inline ? "inline" : "on its thread");
        Game game;
        if (loading == Loading::OnItsThread) game.setBackgroundLoading([] { return true; });
        game.startUp(platform::mainWindow());
        stepUntilStartedUp(game);
        ASSERT_TRUE(game.startUpFinished());
        for (const PictureFile& p : Pictures) {
            const Surface& image = game.renderer().image(p.slot);
            EXPECT_EQ(image.width(), widthFor(p.slot)) << p.name;
            EXPECT_EQ(image.hasKeyRuns(), p.keyed) << p.name;
        }
        for (int unused : {1, 3})
            EXPECT_TRUE(game.renderer().image(unused).isEmpty());

        for (int id = 0; id < BgmCount; ++id) {
            const std::string path =
                headless::soundPath(game.sound().bgmChannel(static_cast<BgmId>(id)).handle());
            EXPECT_EQ(path, dir_.file(std::string("Sound/BGM/") + MusicFiles[id]));
        }
        for (int id = 0; id < SeCount; ++id) {
            const std::string path =
                headless::soundPath(game.sound().effectChannel(static_cast<SeId>(id)).handle());
            EXPECT_EQ(path, dir_.file(std::string("Sound/SE/") + EffectFiles[id]));
        }
        // Effects and tracks whose ids differ from their load order.
        EXPECT_TRUE(
            endsWith(headless::soundPath(game.sound().effectChannel(SeDecide).handle()), "/Decide.wav"));
        EXPECT_TRUE(
            endsWith(headless::soundPath(game.sound().effectChannel(SeBottom).handle()), "/Bottom.wav"));
        EXPECT_TRUE(endsWith(headless::soundPath(game.sound().effectChannel(SeGameStart).handle()),
                             "/GameStart.wav"));
        EXPECT_TRUE(endsWith(headless::soundPath(game.sound().bgmChannel(BgmPlay).handle()), "/Play.wav"));
        EXPECT_TRUE(endsWith(headless::soundPath(game.sound().bgmChannel(BgmOver).handle()), "/Over.wav"));
        EXPECT_TRUE(headless::messageBoxes().empty());
    }
}

TEST_F(StartUpTest, TheGameOpensOnTheTitleWithItsMusicAndAPreparedPair)
{
    writeSounds(dir_);
    Game game;
    game.startUp(platform::mainWindow());

    EXPECT_EQ(game.window(), platform::mainWindow());
    EXPECT_EQ(game.scene(), SceneTitle);
    EXPECT_EQ(game.phase(), PhaseFalling);
    EXPECT_TRUE(game.landingCheckPending());
    EXPECT_EQ(game.sound().selectedBgm(), BgmTitle);
    // The tracks come with the rest, after the first frame.
    stepFrame(game);
    EXPECT_TRUE(headless::soundPlaying(game.sound().bgmChannel(BgmTitle).handle()));

    int column = -1, row = -1;
    ASSERT_TRUE(game.field().spawnPosition(0, column, row));
    EXPECT_EQ(column, 3);
    EXPECT_EQ(row, 0);
    ASSERT_TRUE(game.field().spawnPosition(1, column, row));
    EXPECT_EQ(column, 3);
    EXPECT_EQ(row, 1);
    EXPECT_EQ(game.field().pairOrientation(), 3);

    EXPECT_EQ(game.renderer().backBuffer().width(), 640);
    EXPECT_EQ(game.renderer().backBuffer().height(), 480);
}

TEST_F(StartUpTest, WithoutTheSoundFolderTheGameRunsSilently)
{
    writePictures(dir_);
    Game game;
    game.startUp(platform::mainWindow());
    game.finishStartUp();

    for (int id = 0; id < BgmCount; ++id)
        EXPECT_FALSE(game.sound().bgmChannel(static_cast<BgmId>(id)).isOpen());
    for (int id = 0; id < SeCount; ++id)
        EXPECT_FALSE(game.sound().effectChannel(static_cast<SeId>(id)).isOpen());
    EXPECT_FALSE(game.sound().playEffect(SeDecide));
    EXPECT_FALSE(game.sound().playSelectedBgm());
    EXPECT_TRUE(headless::audioLog().empty());

    // The menu still works without its sounds.
    headless::press(platform::Key::Down);
    headless::advanceClock(33);
    game.update();
    EXPECT_EQ(game.field().menuCursor(), SceneRanking);
    EXPECT_TRUE(headless::messageBoxes().empty());
}

TEST_F(StartUpTest, WithoutTheGraphicsFolderTheWindowShowsTheBackBufferColour)
{
    writeSounds(dir_);
    Game game;
    game.startUp(platform::mainWindow());
    game.update();
    game.present();

    const headless::Frame& frame = headless::lastFrame();
    ASSERT_EQ(frame.width, 640);
    ASSERT_EQ(frame.height, 480);
    ASSERT_EQ(frame.pixels.size(), 640u * 480u * 3u);
    int wrong = 0;
    for (std::size_t i = 0; i < frame.pixels.size(); i += 3)
        if (frame.pixels[i] != 100 || frame.pixels[i + 1] != 255 || frame.pixels[i + 2] != 100) ++wrong;
    EXPECT_EQ(wrong, 0);
    EXPECT_TRUE(headless::messageBoxes().empty());
}

TEST_F(StartUpTest, APathWithoutAFolderReadsTheAssetsFromTheWorkingDirectory)
{
    writePictures(dir_);
    writeSounds(dir_);
    headless::setExecutablePath("tessaloom");
    ASSERT_TRUE(dir_.enter());
    Game game;
    game.startUp(platform::mainWindow());
    game.finishStartUp();

    EXPECT_EQ(game.renderer().image(SlotTitle).width(), widthFor(SlotTitle));
    EXPECT_EQ(headless::soundPath(game.sound().effectChannel(SeTurn).handle()), "Sound/SE/Turn.wav");
}

TEST_F(StartUpTest, OverlaysLoadFromTheirOwnFilesAndMissingOnesDrawNothing)
{
    struct OverlayFile {
        const char* name;
        int id;
        bool keyed;
    };
    const OverlayFile overlays[] = {
        {"ChainWord.bmp", OverlayChainWord, true}, {"ChainDigits.bmp", OverlayChainDigits, true},
        {"LevelUp.bmp", OverlayLevelUp, true},     {"PromptPatch.bmp", OverlayPromptPatch, false},
        {"NewRecord.bmp", OverlayNewRecord, true}, {"NamePanel.bmp", OverlayNamePanel, true},
        {"NameFrame.bmp", OverlayNameFrame, true}, {"PlayKeys.bmp", OverlayPlayKeys, false},
        {"NameKeys.bmp", OverlayNameKeys, false},  {"Shadow.bmp", OverlayShadow, true},
        {"MoreKeys.bmp", OverlayMoreKeys, false},  {"SoundNotice.bmp", OverlaySoundNotice, true},
    };
    // All but the name panel are there; each has a width of its own.
    for (const OverlayFile& o : overlays)
        if (o.id != OverlayNamePanel)
            writeSolidBmp(dir_.file(std::string("Graphics/") + o.name), 4 * (o.id + 1), 2, Rgb{10, 20, 30});
    Game game;
    game.startUp(platform::mainWindow());
    game.finishStartUp();

    for (const OverlayFile& o : overlays) {
        const Surface& image = game.renderer().overlay(o.id);
        if (o.id == OverlayNamePanel) {
            EXPECT_TRUE(image.isEmpty());
            continue;
        }
        EXPECT_EQ(image.width(), 4 * (o.id + 1)) << o.name;
        EXPECT_EQ(image.hasKeyRuns(), o.keyed) << o.name;
    }
    EXPECT_TRUE(game.renderer().overlay(OverlayCount).isEmpty());
    EXPECT_TRUE(game.renderer().overlay(-1).isEmpty());

    // The missing panel draws nothing; the screen draws on without it.
    game.renderer().backBuffer().createFilled(640, 480, 1, 2, 3);
    game.renderer().drawNamePanel();
    EXPECT_EQ(pixelAt(game.renderer().backBuffer(), 300, 330), (Rgb{1, 2, 3}));
    EXPECT_TRUE(headless::messageBoxes().empty());
}

namespace {

// The pictures the title's first frame draws: its background, the block
// sheet (the menu cursor is a bomb cell) and the options hint.
bool drawnByTheTitle(int slot) { return slot == SlotTitle || slot == SlotBlocks; }

int opensIn(const std::vector<headless::AudioEvent>& log)
{
    int n = 0;
    for (const headless::AudioEvent& e : log)
        n += e.op == headless::AudioOp::Open;
    return n;
}

// The game as the frame thread starts it, with every file in place and the
// title drawn in colours the checks can tell apart.
class StagedStartUpTest : public StartUpTest {
protected:
    void SetUp() override
    {
        StartUpTest::SetUp();
        writePictures(dir_);
        writeSolidBmp(dir_.file("Graphics/Title.bmp"), 640, 480, Rgb{30, 60, 90});
        writeSolidBmp(dir_.file("Graphics/OptionsHint.bmp"), 8, 4, Rgb{200, 100, 50});
        writeSolidBmp(dir_.file("Graphics/OptionValues.bmp"), 8, 4, Rgb{50, 100, 200});
        writeSolidBmp(dir_.file("Graphics/Shadow.bmp"), 8, 4, Rgb{1, 2, 3});
        writeSounds(dir_);
    }
};

}  // namespace

TEST_F(StagedStartUpTest, TheFirstFrameReadsOnlyTheTitlesPicturesAndOpensNoSound)
{
    Game game;
    game.startUp(platform::mainWindow());
    EXPECT_FALSE(game.startUpFinished());

    for (const PictureFile& p : Pictures)
        EXPECT_EQ(game.renderer().image(p.slot).isEmpty(), !drawnByTheTitle(p.slot)) << p.name;
    for (int id = 0; id < OverlayCount; ++id)
        EXPECT_TRUE(game.renderer().overlay(id).isEmpty()) << id;
    // No sound is opened, so the audio device is not started either.
    EXPECT_TRUE(headless::audioLog().empty());

    game.update();
    game.present();
    EXPECT_TRUE(headless::audioLog().empty());
    const headless::Frame first = headless::lastFrame();
    // The hint shows on the first picture already.
    const std::size_t hintPixel = (static_cast<std::size_t>(479 - 439) * 640 + 470) * 3;  // bottom-up BGR
    ASSERT_GT(first.pixels.size(), hintPixel);
    EXPECT_EQ(first.pixels[hintPixel], 50);

    game.finishStartUp();
    EXPECT_TRUE(game.startUpFinished());
    for (const PictureFile& p : Pictures)
        EXPECT_FALSE(game.renderer().image(p.slot).isEmpty()) << p.name;
    EXPECT_EQ(game.renderer().image(SlotGameBg).width(), widthFor(SlotGameBg));
    EXPECT_FALSE(game.renderer().overlay(OverlayShadow).isEmpty());
    EXPECT_EQ(opensIn(headless::audioLog()), BgmCount + SeCount);

    // The title drawn with everything loaded is the picture the first frame
    // showed.
    headless::advanceClock(33);
    game.update();
    game.present();
    EXPECT_EQ(headless::lastFrame().pixels, first.pixels);
}

TEST_F(StagedStartUpTest, TheRestLoadsOnceAndOnlyAfterAStartUp)
{
    Game idle;
    idle.finishStartUp();
    EXPECT_TRUE(headless::audioLog().empty());
    EXPECT_TRUE(idle.renderer().image(SlotGameBg).isEmpty());

    Game game;
    game.startUp(platform::mainWindow());
    stepFrame(game);
    const int opens = opensIn(headless::audioLog());
    EXPECT_EQ(opens, BgmCount + SeCount);
    stepFrame(game);
    game.finishStartUp();
    EXPECT_EQ(opensIn(headless::audioLog()), opens);
}

TEST_F(StagedStartUpTest, TitleMusicBeginsWhenTheTracksLoadEvenWithoutARestartRequest)
{
    Game game;
    game.startUp(platform::mainWindow());
    EXPECT_EQ(game.sound().selectedBgm(), BgmTitle);
    EXPECT_FALSE(game.sound().bgmChannel(BgmTitle).isOpen());

    // The request that stands at start has been taken: the loading itself
    // starts the selected track, from its beginning, and nothing else.
    ASSERT_TRUE(platform::takeBgmRestartRequest());
    game.finishStartUp();
    const platform::SoundHandle title = game.sound().bgmChannel(BgmTitle).handle();
    EXPECT_TRUE(headless::soundPlaying(title));
    EXPECT_EQ(playsOf(title), 1);
    EXPECT_FALSE(headless::soundPlaying(game.sound().bgmChannel(BgmPlay).handle()));
    EXPECT_FALSE(headless::soundPlaying(game.sound().bgmChannel(BgmOver).handle()));

    // It loops like any play of it: its natural end asks for it again.
    headless::finishSound(title);
    headless::advanceClock(33);
    stepFrame(game);
    EXPECT_TRUE(headless::soundPlaying(title));
    EXPECT_EQ(playsOf(title), 2);
}

TEST_F(StagedStartUpTest, TheLoadedTracksTakeTheVolumesTheSettingsGaveBeforeThem)
{
    Game game;
    Settings quiet;
    quiet.musicVolume = 40;
    quiet.effectsVolume = 70;
    game.changeSettings(quiet);
    game.startUp(platform::mainWindow());
    stepFrame(game);
    EXPECT_EQ(headless::soundVolume(game.sound().bgmChannel(BgmTitle).handle()), 40);
    EXPECT_EQ(headless::soundVolume(game.sound().effectChannel(SeMove).handle()), 70);
}

TEST_F(StagedStartUpTest, AKeyTheFirstFrameSeesStillPlaysItsSoundAndLeadsToAFullScreen)
{
    Game game;
    game.startUp(platform::mainWindow());
    headless::press(platform::Key::Z);  // the cursor stands on the game start
    stepFrame(game);

    EXPECT_EQ(game.scene(), SceneGameStart);
    EXPECT_EQ(playsOf(game.sound().effectChannel(SeDecide).handle()), 1);
    EXPECT_TRUE(headless::soundPlaying(game.sound().bgmChannel(BgmPlay).handle()));
    EXPECT_FALSE(headless::soundPlaying(game.sound().bgmChannel(BgmTitle).handle()));
    // The banner scene draws with its pictures there.
    EXPECT_FALSE(game.renderer().image(SlotGameStart).isEmpty());
    EXPECT_FALSE(game.renderer().image(SlotGameBg).isEmpty());
}

TEST_F(StagedStartUpTest, AnArrowTheFirstFrameSeesStillPlaysItsSoundAndMovesTheCursor)
{
    Game game;
    game.startUp(platform::mainWindow());
    headless::press(platform::Key::Down);
    stepFrame(game);
    EXPECT_EQ(game.field().menuCursor(), SceneRanking);
    EXPECT_EQ(playsOf(game.sound().effectChannel(SeSelect).handle()), 1);
    EXPECT_TRUE(headless::soundPlaying(game.sound().bgmChannel(BgmTitle).handle()));
}

TEST_F(StagedStartUpTest, ARejectedLaterPictureIsNamedOnceAfterTheFirstFrame)
{
    writeBytes(dir_.file("Graphics/RankBG.bmp"), "BM not a picture");
    Game game;
    testing::internal::CaptureStderr();
    game.startUp(platform::mainWindow());
    game.update();
    game.present();
    const std::string beforeRest = testing::internal::GetCapturedStderr();
    EXPECT_EQ(beforeRest.find("RankBG.bmp"), std::string::npos) << beforeRest;

    testing::internal::CaptureStderr();
    game.finishStartUp();
    game.finishStartUp();
    const std::string rest = testing::internal::GetCapturedStderr();
    const std::string line = "tessaloom: skipping the picture " + dir_.file("Graphics/RankBG.bmp") + ": ";
    ASSERT_NE(rest.find(line), std::string::npos) << rest;
    EXPECT_EQ(rest.find(line), rest.rfind(line));
    EXPECT_TRUE(game.renderer().image(SlotRankBg).isEmpty());
    EXPECT_TRUE(headless::messageBoxes().empty());
}

namespace {

// The desktop's way, with the loader let through file by file.
class LoaderThreadStartUpTest : public StagedStartUpTest {
protected:
    Game& startGame()
    {
        game_ = std::make_unique<Game>();
        game_->setBackgroundLoading(StepGate::keepGoing(gate_));
        game_->startUp(platform::mainWindow());
        return *game_;
    }
    void frame()
    {
        headless::advanceClock(33);
        stepFrame(*game_);
    }
    void TearDown() override
    {
        gate_->close();
        game_.reset();
    }

    std::shared_ptr<StepGate> gate_ = std::make_shared<StepGate>();
    std::unique_ptr<Game> game_;
};

}  // namespace

TEST_F(LoaderThreadStartUpTest, TheTitleRunsOnWhileTheRestLoadsAndTakesEachFileAsItIsRead)
{
    Game& game = startGame();
    for (int i = 0; i < 3; ++i)
        frame();
    EXPECT_EQ(game.scene(), SceneTitle);
    EXPECT_FALSE(game.startUpFinished());
    EXPECT_TRUE(game.renderer().image(SlotGameBg).isEmpty());
    EXPECT_TRUE(headless::audioLog().empty());

    // The pictures come first: once they are read, the next frame has them.
    const auto laterPictures = std::count_if(std::begin(Pictures), std::end(Pictures),
                                             [](const PictureFile& p) { return !drawnByTheTitle(p.slot); });
    gate_->allow(static_cast<int>(laterPictures));
    ASSERT_TRUE(gate_->awaitLoaderAtGate());
    frame();
    for (const PictureFile& p : Pictures) {
        if (!drawnByTheTitle(p.slot)) {
            EXPECT_EQ(game.renderer().image(p.slot).width(), widthFor(p.slot)) << p.name;
        }
    }
    EXPECT_TRUE(game.renderer().overlay(OverlayShadow).isEmpty());
    EXPECT_TRUE(headless::audioLog().empty());
    EXPECT_FALSE(game.startUpFinished());

    // The title music starts once the tracks are there.
    gate_->open();
    stepUntilStartedUp(game);
    ASSERT_TRUE(game.startUpFinished());
    EXPECT_EQ(opensIn(headless::audioLog()), BgmCount + SeCount);
    EXPECT_EQ(playsOf(game.sound().bgmChannel(BgmTitle).handle()), 1);
    EXPECT_EQ(game.scene(), SceneTitle);
}

TEST_F(LoaderThreadStartUpTest, TitleKeysWaitForTheRestAndThenActInTheOrderPressed)
{
    Game& game = startGame();
    headless::press(platform::Key::Down);
    frame();
    headless::release(platform::Key::Down);
    headless::press(platform::Key::Z);
    frame();
    headless::release(platform::Key::Z);
    frame();
    EXPECT_EQ(game.scene(), SceneTitle);
    EXPECT_EQ(game.field().menuCursor(), SceneGameStart);

    gate_->open();
    stepUntilStartedUp(game);
    ASSERT_TRUE(game.startUpFinished());
    EXPECT_EQ(game.field().menuCursor(), SceneGameStart);

    // Down first, with its sound, then Z on the entry Down led to.
    frame();
    EXPECT_EQ(game.field().menuCursor(), SceneRanking);
    EXPECT_EQ(playsOf(game.sound().effectChannel(SeSelect).handle()), 1);
    EXPECT_EQ(game.scene(), SceneTitle);
    frame();
    EXPECT_EQ(game.scene(), SceneRanking);
    EXPECT_EQ(playsOf(game.sound().effectChannel(SeDecide).handle()), 1);
}
