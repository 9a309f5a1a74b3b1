// Everything the asset generator writes, as a list of steps, so that the
// command-line tool runs them in one go and the browser page one per frame
// with a progress line.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace assetgen {

struct AssetStep {
    std::string what;  // for a progress line: "picture Title", "music Play"
    std::function<bool(const std::filesystem::path& root)> write;
};

// The pictures and sounds the game loads, under root: Graphics/, Sound/BGM/
// and Sound/SE/. Run createAssetFolders first.
std::vector<AssetStep> gameAssetSteps();
// Creates the folders the steps write into; false (and a line on stderr)
// when one cannot be made.
bool createAssetFolders(const std::filesystem::path& root);
// The desktop icon in the icon theme's layout under icons/hicolor/.
bool writeDesktopIcons(const std::filesystem::path& root);

}  // namespace assetgen
