// Writes the game's pictures and sounds beside the executable:
//   assetgen <output folder>
// creates Graphics/, Sound/BGM/ and Sound/SE/ there, and the desktop icon
// in the icon theme's layout under icons/hicolor/. The output is the same,
// byte for byte, on every run.
#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/assetgen/backgrounds.h"
#include "tools/assetgen/effects.h"
#include "tools/assetgen/icon.h"
#include "tools/assetgen/music.h"
#include "tools/assetgen/overlays.h"
#include "tools/assetgen/pictures.h"
#include "tools/assetgen/raster.h"

using namespace assetgen;

namespace {

bool writePicture(const std::filesystem::path& dir, const char* name, const Canvas& c, bool keyed)
{
    return writeFile((dir / name).string(), c.toBmp(keyed));
}

bool writeSound(const std::filesystem::path& dir, const std::string& name, const SoundBuffer& b, bool stereo)
{
    return writeFile((dir / (name + ".wav")).string(), toWav(b, stereo));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path root(argv[1]);
    const std::filesystem::path graphics = root / "Graphics", bgm = root / "Sound" / "BGM",
                                se = root / "Sound" / "SE";
    std::error_code ec;
    for (const auto& d : {graphics, bgm, se}) {
        std::filesystem::create_directories(d, ec);
        if (ec) {
            std::fprintf(stderr, "assetgen: cannot create %s: %s\n", d.string().c_str(),
                         ec.message().c_str());
            return 1;
        }
    }

    bool ok = true;
    ok &= writePicture(graphics, "PuzzleBlock.bmp", blockSheet(), true);
    ok &= writePicture(graphics, "Title.bmp", titleBackground(), false);
    ok &= writePicture(graphics, "RankBG.bmp", rankingBackground(), false);
    ok &= writePicture(graphics, "GameBG.bmp", gameBackground(), false);
    ok &= writePicture(graphics, "Vals.bmp", digitSheet(), true);
    ok &= writePicture(graphics, "String.bmp", letterSheet(), true);
    ok &= writePicture(graphics, "GameOver.bmp", gameOverBanner(), true);
    ok &= writePicture(graphics, "GameStart.bmp", gameStartBanner(), true);
    // The file name is spelt so on purpose: the game loads it by that name.
    ok &= writePicture(graphics, "ScoreCursol.bmp", nameCursor(), false);
    ok &= writePicture(graphics, "Options.bmp", optionsBackground(), false);
    ok &= writePicture(graphics, "OptionValues.bmp", optionValueSheet(), true);
    ok &= writePicture(graphics, "OptionsHint.bmp", optionsHint(), true);
    ok &= writePicture(graphics, "Paused.bmp", pausePanel(), true);
    // Drawn over the screens above to say what happened.
    ok &= writePicture(graphics, "ChainWord.bmp", chainWord(), true);
    ok &= writePicture(graphics, "ChainDigits.bmp", chainDigits(), true);
    ok &= writePicture(graphics, "LevelUp.bmp", levelUpBadge(), true);
    ok &= writePicture(graphics, "PromptPatch.bmp", promptPatch(), false);
    ok &= writePicture(graphics, "NewRecord.bmp", recordRibbon(), true);
    ok &= writePicture(graphics, "NamePanel.bmp", namePanel(), true);
    ok &= writePicture(graphics, "NameFrame.bmp", nameFrame(), true);
    ok &= writePicture(graphics, "PlayKeys.bmp", playKeyPanel(), false);
    ok &= writePicture(graphics, "NameKeys.bmp", nameKeyPanel(), false);
    ok &= writePicture(graphics, "Shadow.bmp", landingShadow(), true);
    // The window's own icon (the desktop icon's art, keyed like the sheets).
    ok &= writePicture(graphics, "Icon.bmp", iconArt(), true);

    ok &= writeSound(bgm, "Title", titleMusic(), true);
    ok &= writeSound(bgm, "Play", playMusic(), true);
    ok &= writeSound(bgm, "Over", overMusic(), true);
    for (const char* name : {"Decide", "Select", "GameOver", "Turn", "Move", "Bottom", "Chain1", "Chain2",
                             "Chain3", "Chain4", "Chain5", "GameStart"})
        ok &= writeSound(se, name, effect(name), false);

    for (int size : IconSizes) {
        const std::string n = std::to_string(size);
        const std::filesystem::path apps = root / "icons" / "hicolor" / (n + "x" + n) / "apps";
        std::filesystem::create_directories(apps, ec);
        ok &= !ec && writeFile((apps / "net.tessaloom.tessaloom.png").string(), iconPng(size));
    }

    if (!ok) {
        std::fprintf(stderr, "assetgen: could not write every file under %s\n", root.string().c_str());
        return 1;
    }
    return 0;
}
