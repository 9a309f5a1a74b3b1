// Start-up: every picture and sound lands in the slot or channel the rest of
// the game refers to, from beside the executable, and missing files are
// silent.
#include "game_test_support.h"

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
    Game game;
    game.startUp(platform::mainWindow());

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
    EXPECT_TRUE(endsWith(headless::soundPath(game.sound().effectChannel(SeDecide).handle()), "/Decide.wav"));
    EXPECT_TRUE(endsWith(headless::soundPath(game.sound().effectChannel(SeBottom).handle()), "/Bottom.wav"));
    EXPECT_TRUE(
        endsWith(headless::soundPath(game.sound().effectChannel(SeGameStart).handle()), "/GameStart.wav"));
    EXPECT_TRUE(endsWith(headless::soundPath(game.sound().bgmChannel(BgmPlay).handle()), "/Play.wav"));
    EXPECT_TRUE(endsWith(headless::soundPath(game.sound().bgmChannel(BgmOver).handle()), "/Over.wav"));
    EXPECT_TRUE(headless::messageBoxes().empty());
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
    };
    // All but the name panel are there; each has a width of its own.
    for (const OverlayFile& o : overlays)
        if (o.id != OverlayNamePanel)
            writeSolidBmp(dir_.file(std::string("Graphics/") + o.name), 4 * (o.id + 1), 2, Rgb{10, 20, 30});
    Game game;
    game.startUp(platform::mainWindow());

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
