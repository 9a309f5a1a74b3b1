// Writes the game's pictures and sounds beside the executable:
//   assetgen <output folder>
// creates Graphics/, Sound/BGM/ and Sound/SE/ there, and the desktop icon
// in the icon theme's layout under icons/hicolor/. The output is the same,
// byte for byte, on every run.
#include <cstdio>
#include <filesystem>

#include "tools/assetgen/generate.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path root(argv[1]);
    if (!assetgen::createAssetFolders(root)) return 1;

    bool ok = true;
    for (const assetgen::AssetStep& step : assetgen::gameAssetSteps())
        ok &= step.write(root);
    ok &= assetgen::writeDesktopIcons(root);

    if (!ok) {
        std::fprintf(stderr, "assetgen: could not write every file under %s\n", root.string().c_str());
        return 1;
    }
    return 0;
}
