#include "tools/assetgen/generate.h"

#include "tools/assetgen/backgrounds.h"
#include "tools/assetgen/effects.h"
#include "tools/assetgen/icon.h"
#include "tools/assetgen/music.h"
#include "tools/assetgen/overlays.h"
#include "tools/assetgen/pictures.h"
#include "tools/assetgen/raster.h"

#include <cstdio>

namespace assetgen {

namespace fs = std::filesystem;

namespace {

struct Picture {
    const char* name;
    Canvas (*draw)();
    bool keyed;
};

// The file name ScoreCursol is spelt so on purpose: the game loads it by that name.
const Picture Pictures[] = {
    {"PuzzleBlock", [] { return blockSheet(); }, true},
    {"Title", [] { return titleBackground(); }, false},
    {"RankBG", [] { return rankingBackground(); }, false},
    {"GameBG", [] { return gameBackground(); }, false},
    {"Vals", [] { return digitSheet(); }, true},
    {"String", [] { return letterSheet(); }, true},
    {"GameOver", [] { return gameOverBanner(); }, true},
    {"GameStart", [] { return gameStartBanner(); }, true},
    {"ScoreCursol", [] { return nameCursor(); }, false},
    {"Options", [] { return optionsBackground(); }, false},
    {"OptionValues", [] { return optionValueSheet(); }, true},
    {"OptionsHint", [] { return optionsHint(); }, true},
    {"KeyNames", [] { return keyNameSheet(); }, true},
    {"KeysPage", [] { return keysBackground(); }, false},
    {"KeyWords", [] { return keyWordSheet(); }, true},
    {"HintWords", [] { return hintWordSheet(); }, true},
    {"OptionsFoot", [] { return optionsFootStrip(); }, false},
    {"KeysFoot", [] { return keysFootStrip(); }, false},
    {"TitleKeys", [] { return titleKeysStrip(); }, false},
    {"ControlsNotes", [] { return controlsNotes(); }, true},
    {"Paused", [] { return pausePanel(); }, true},
    {"QuitQuestion", [] { return quitQuestionPanel(); }, true},
    // Drawn over the screens above to say what happened.
    {"ChainWord", [] { return chainWord(); }, true},
    {"ChainDigits", [] { return chainDigits(); }, true},
    {"LevelUp", [] { return levelUpBadge(); }, true},
    {"PromptPatch", [] { return promptPatch(); }, false},
    {"NewRecord", [] { return recordRibbon(); }, true},
    {"NamePanel", [] { return namePanel(); }, true},
    {"NameFrame", [] { return nameFrame(); }, true},
    {"PlayKeys", [] { return playKeyPanel(); }, false},
    {"NameKeys", [] { return nameKeyPanel(); }, false},
    {"MoreKeys", [] { return moreKeyPanel(); }, false},
    {"SoundNotice", [] { return soundNotice(); }, true},
    {"Shadow", [] { return landingShadow(); }, true},
    // The window's own icon (the desktop icon's art, keyed like the sheets).
    {"Icon", [] { return iconArt(); }, true},
};

struct Music {
    const char* name;
    SoundBuffer (*render)();
};

const Music Tracks[] = {
    {"Title", [] { return titleMusic(); }},
    {"Play", [] { return playMusic(); }},
    {"Over", [] { return overMusic(); }},
};

const char* const Effects[] = {"Decide", "Select", "GameOver", "Turn",   "Move",   "Bottom",
                               "Chain1", "Chain2", "Chain3",   "Chain4", "Chain5", "GameStart"};

fs::path graphicsOf(const fs::path& root) { return root / "Graphics"; }
fs::path bgmOf(const fs::path& root) { return root / "Sound" / "BGM"; }
fs::path seOf(const fs::path& root) { return root / "Sound" / "SE"; }

}  // namespace

std::vector<AssetStep> gameAssetSteps()
{
    std::vector<AssetStep> steps;
    for (const Picture& p : Pictures)
        steps.push_back({std::string("picture ") + p.name, [p](const fs::path& root) {
                             return writeFile((graphicsOf(root) / (std::string(p.name) + ".bmp")).string(),
                                              p.draw().toBmp(p.keyed));
                         }});
    for (const Music& m : Tracks)
        steps.push_back({std::string("music ") + m.name, [m](const fs::path& root) {
                             return writeFile((bgmOf(root) / (std::string(m.name) + ".wav")).string(),
                                              toWav(m.render(), true));
                         }});
    for (const char* name : Effects)
        steps.push_back({std::string("sound ") + name, [name](const fs::path& root) {
                             return writeFile((seOf(root) / (std::string(name) + ".wav")).string(),
                                              toWav(effect(name), false));
                         }});
    return steps;
}

bool createAssetFolders(const fs::path& root)
{
    std::error_code ec;
    for (const fs::path& d : {graphicsOf(root), bgmOf(root), seOf(root)}) {
        fs::create_directories(d, ec);
        if (ec) {
            std::fprintf(stderr, "assetgen: cannot create %s: %s\n", d.string().c_str(),
                         ec.message().c_str());
            return false;
        }
    }
    return true;
}

bool writeDesktopIcons(const fs::path& root)
{
    bool ok = true;
    for (int size : IconSizes) {
        const std::string n = std::to_string(size);
        const fs::path apps = root / "icons" / "hicolor" / (n + "x" + n) / "apps";
        std::error_code ec;
        fs::create_directories(apps, ec);
        ok &= !ec && writeFile((apps / "net.tessaloom.tessaloom.png").string(), iconPng(size));
    }
    return ok;
}

}  // namespace assetgen
