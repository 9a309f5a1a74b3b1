// Start-up: the asset manifest and the loading in two steps. Before the
// first frame only what the title's first picture draws is read; the rest,
// and the audio device with the first sound, comes right after that picture
// is handed to the window.
#include "game/game.h"
#include "rank/ranking.h"

#include "platform/path.h"
#include "platform/platform.h"

#include <string>

namespace {

struct ImageAsset {
    int slot;
    const char* path;
    bool colourKeyed;
    bool drawnByTitle;  // read before the first frame
};

template <class Id>
struct SoundAsset {
    Id id;
    const char* path;
};

// Load order matters only for the order of the file reads; the slot and id
// columns are what every screen and sound call refers to.
const ImageAsset ImageManifest[] = {
    {SlotBlocks, "Graphics/PuzzleBlock.bmp", true, true},  // the menu cursor
    {SlotTitle, "Graphics/Title.bmp", false, true},
    {SlotRankBg, "Graphics/RankBG.bmp", false, false},
    {SlotGameBg, "Graphics/GameBG.bmp", false, false},
    {SlotDigits, "Graphics/Vals.bmp", true, false},
    {SlotLetters, "Graphics/String.bmp", true, false},
    {SlotGameOver, "Graphics/GameOver.bmp", true, false},
    {SlotGameStart, "Graphics/GameStart.bmp", true, false},
    // Spelt so on purpose: picture sets made for the game use this file name.
    {SlotNameCursor, "Graphics/ScoreCursol.bmp", false, false},
    {SlotPaused, "Graphics/Paused.bmp", true, false},
};

struct OverlayAsset {
    OverlayPicture id;
    const char* path;
    bool colourKeyed;
};

// Loaded after the pictures above, in this order.
const OverlayAsset OverlayManifest[] = {
    {OverlayPlayKeys, "Graphics/PlayKeys.bmp", false},
    {OverlayNameKeys, "Graphics/NameKeys.bmp", false},
    {OverlayChainWord, "Graphics/ChainWord.bmp", true},
    {OverlayChainDigits, "Graphics/ChainDigits.bmp", true},
    {OverlayLevelUp, "Graphics/LevelUp.bmp", true},
    {OverlayPromptPatch, "Graphics/PromptPatch.bmp", false},
    {OverlayNewRecord, "Graphics/NewRecord.bmp", true},
    {OverlayNamePanel, "Graphics/NamePanel.bmp", true},
    {OverlayNameFrame, "Graphics/NameFrame.bmp", true},
    {OverlayShadow, "Graphics/Shadow.bmp", true},
    {OverlayQuitQuestion, "Graphics/QuitQuestion.bmp", true},
};

const SoundAsset<BgmId> BgmManifest[] = {
    {BgmTitle, "Sound/BGM/Title.wav"},
    {BgmOver, "Sound/BGM/Over.wav"},
    {BgmPlay, "Sound/BGM/Play.wav"},
};

const SoundAsset<SeId> EffectManifest[] = {
    {SeBottom, "Sound/SE/Bottom.wav"}, {SeChain1, "Sound/SE/Chain1.wav"},
    {SeChain2, "Sound/SE/Chain2.wav"}, {SeChain3, "Sound/SE/Chain3.wav"},
    {SeChain4, "Sound/SE/Chain4.wav"}, {SeChain5, "Sound/SE/Chain5.wav"},
    {SeDecide, "Sound/SE/Decide.wav"}, {SeGameOver, "Sound/SE/GameOver.wav"},
    {SeMove, "Sound/SE/Move.wav"},     {SeSelect, "Sound/SE/Select.wav"},
    {SeTurn, "Sound/SE/Turn.wav"},     {SeGameStart, "Sound/SE/GameStart.wav"},
};

// The full path of the running executable; empty when it cannot be told.
std::string executablePath() { return platform::executablePath(); }

}  // namespace

void Game::startUp(platform::WindowId window)
{
    // The assets stand beside the executable: its folder with the trailing
    // '/'. A path without any '/' leaves the base empty, so the manifest's
    // relative paths are used as they are.
    assetBase_ = platform::folderOf(executablePath());
    restToLoad_ = true;

    attachWindow(window);

    // Missing files stay silent: an empty slot draws nothing and a closed
    // channel plays nothing, so the game runs on with what it has.
    for (const ImageAsset& image : ImageManifest)
        if (image.drawnByTitle) loadBitmap(image.slot, assetBase_ + image.path, image.colourKeyed);
    optionsView_.loadTitleHint(assetBase_);

    createBackBuffer(ScreenWidth, ScreenHeight, 100, 255, 100);

    // Block 1 spawns directly below block 0.
    setSpawnPosition(0, 3, 0);
    setSpawnPosition(1, 3, 1);

    // On the frame thread, which reads and saves the rank file later.
    reserveRankBuffers();

    // The volumes are kept for the sounds that open later.
    applyAllSettings();

    // Selects the title music, which starts once the tracks are loaded.
    enterFirstTitle();
}

void Game::finishStartUp()
{
    if (!restToLoad_) return;
    restToLoad_ = false;

    for (const ImageAsset& image : ImageManifest)
        if (!image.drawnByTitle) loadBitmap(image.slot, assetBase_ + image.path, image.colourKeyed);
    optionsView_.load(assetBase_);
    for (const OverlayAsset& overlay : OverlayManifest)
        renderer_.loadOverlay(overlay.id, assetBase_ + overlay.path, overlay.colourKeyed);

    // The first sound opens the audio device.
    for (const auto& music : BgmManifest)
        loadBgm(music.id, assetBase_ + music.path);
    for (const auto& effect : EffectManifest)
        loadEffect(effect.id, assetBase_ + effect.path);

    // The music the scene asked for while the tracks were not there yet
    // starts now, from its beginning.
    sound_.playSelectedBgm();
}
