// Start-up: the asset manifest and the loading in two steps. Before the
// first frame only what the title's first picture draws is read; the rest,
// and the audio device with the first sound, comes right after that picture
// is handed to the window: read on a loader thread while frames go on (the
// desktop game), or inline, all at once (the tests, the tools, the page).
#include "game/game.h"
#include "game/rest_of_startup.h"
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
    {OverlayMoreKeys, "Graphics/MoreKeys.bmp", false},
    {OverlaySoundNotice, "Graphics/SoundNotice.bmp", true},
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

using RestKind = RestOfStartUp::Kind;

// Everything the first frame does not need, in the order it is read.
std::vector<RestOfStartUp::Item> restItems(const std::string& base)
{
    std::vector<RestOfStartUp::Item> items;
    for (const ImageAsset& image : ImageManifest)
        if (!image.drawnByTitle)
            items.push_back({RestKind::Image, image.slot, base + image.path, image.colourKeyed});
    for (const OptionsView::Sheet sheet : OptionsView::Sheets)
        items.push_back({RestKind::OptionsSheet, sheet, OptionsView::sheetPath(sheet, base),
                         OptionsView::sheetKeyed(sheet)});
    for (const OverlayAsset& overlay : OverlayManifest)
        items.push_back({RestKind::Overlay, overlay.id, base + overlay.path, overlay.colourKeyed});
    for (const auto& music : BgmManifest)
        items.push_back({RestKind::Music, music.id, base + music.path, false});
    for (const auto& effect : EffectManifest)
        items.push_back({RestKind::Effect, effect.id, base + effect.path, false});
    return items;
}

// The loader's step for one item, on whichever thread runs it: only the
// file, nothing of the game.
void readItem(const RestOfStartUp::Item& item, RestOfStartUp::Loaded& out)
{
    if (item.kind == RestKind::Music || item.kind == RestKind::Effect) {
        out.sound = platform::loadSound(item.path);
        // The audio device starts here too, so the frame thread does not
        // wait for it, and only once there is something to play.
        if (out.sound) platform::startAudio();
    } else {
        loadPicture(out.picture, item.path, item.keyed);
    }
}

std::vector<AssetLoader::Step> readSteps(const std::shared_ptr<RestOfStartUp::Files>& files)
{
    std::vector<AssetLoader::Step> steps;
    for (std::size_t i = 0; i < files->items.size(); ++i)
        steps.push_back([files, i] { readItem(files->items[i], files->loaded[i]); });
    return steps;
}

}  // namespace

RestOfStartUp::RestOfStartUp(std::shared_ptr<Files> f, std::function<bool()> keepGoing)
    : files(std::move(f)), loader(readSteps(files), std::move(keepGoing))
{
}

void Game::startUp(platform::WindowId window)
{
    // The assets stand beside the executable: its folder with the trailing
    // '/'. A path without any '/' leaves the base empty, so the manifest's
    // relative paths are used as they are.
    assetBase_ = platform::folderOf(executablePath());
    restToLoad_ = true;

    attachWindow(window);

    // Missing files stay silent: an empty slot draws nothing and a closed
    // channel plays nothing, so the game runs on with what it has. On the
    // desktop a shutdown skips the files still to come: the game ends
    // before its first frame.
    const auto readOn = [this] { return !loaderKeepGoing_ || platform::running(); };
    for (const ImageAsset& image : ImageManifest)
        if (image.drawnByTitle && readOn())
            loadBitmap(image.slot, assetBase_ + image.path, image.colourKeyed);
    if (readOn()) optionsView_.loadTitleHint(assetBase_);

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
    if (restToLoad_) {
        if (!rest_) {
            // Inline, the loader has nothing to give way to.
            rest_ = std::make_unique<RestOfStartUp>(
                std::make_shared<RestOfStartUp::Files>(restItems(assetBase_)), loaderKeepGoing_);
            rest_->loader.start(loaderKeepGoing_ ? AssetLoader::Where::OwnThread
                                                 : AssetLoader::Where::Inline);
        }
        adoptLoadedRest();
    }
    // Let go once the loader has ended, so that letting go never waits.
    if (!restToLoad_ && rest_ && rest_->loader.ended()) rest_.reset();
}

void Game::adoptLoadedRest()
{
    RestOfStartUp& rest = *rest_;
    const std::size_t done = rest.loader.done();
    for (; rest.adopted < done; ++rest.adopted) {
        const RestOfStartUp::Item& item = rest.files->items[rest.adopted];
        RestOfStartUp::Loaded& loaded = rest.files->loaded[rest.adopted];
        switch (item.kind) {
        case RestKind::Image: renderer_.adoptImage(item.id, loaded.picture); break;
        case RestKind::OptionsSheet:
            optionsView_.adoptSheet(static_cast<OptionsView::Sheet>(item.id), loaded.picture, assetBase_);
            break;
        case RestKind::Overlay: renderer_.adoptOverlay(item.id, loaded.picture, item.keyed); break;
        case RestKind::Music: sound_.loadBgm(static_cast<BgmId>(item.id), std::move(loaded.sound)); break;
        case RestKind::Effect: sound_.loadEffect(static_cast<SeId>(item.id), std::move(loaded.sound)); break;
        }
    }
    // A loader stopped by shutdown leaves the rest out for good.
    if (rest.adopted < rest.files->items.size()) return;
    restToLoad_ = false;

    // The music the scene asked for while the tracks were not there yet
    // starts now, from its beginning.
    sound_.playSelectedBgm();
}
