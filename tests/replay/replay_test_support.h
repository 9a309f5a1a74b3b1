// Shared helpers of the replay tests: the recordings beside this file, and a
// small set of pictures so that frames show the field (each block code its
// own colour) instead of an empty back buffer.
#pragma once

#include "render/bmp_file.h"
#include "tools/replay/input_script.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace replaytest {

namespace fs = std::filesystem;

// The recordings' folder. __FILE__ may be relative to the build folder (a
// compiler cache rewrites it so), and the tests change the working
// directory: so it is made absolute once, at start-up.
inline const fs::path DataDir = fs::absolute(fs::path(__FILE__).parent_path() / "data");

inline std::string dataPath(const std::string& name) { return (DataDir / name).string(); }

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline replay::InputScript loadRecording(const std::string& name)
{
    replay::InputScript script;
    std::string error;
    EXPECT_TRUE(replay::loadInputScript(dataPath(name), script, error)) << error;
    return script;
}

// A 24-bit bottom-up BMP, width a multiple of 4, coloured by column bands of
// `band` pixels: band i gets colour(i).
template <class Colour>
void writeBandedBmp(const std::string& path, int width, int height, int band, Colour colour)
{
    fs::create_directories(fs::path(path).parent_path());
    std::string b = bmpHeader(width, height);
    for (int row = 0; row < height; ++row) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = colour(x / band);
            b.push_back(static_cast<char>(c & 0xff));
            b.push_back(static_cast<char>((c >> 8) & 0xff));
            b.push_back(static_cast<char>((c >> 16) & 0xff));
        }
    }
    std::ofstream(path, std::ios::binary).write(b.data(), static_cast<std::streamsize>(b.size()));
}

// Pictures for the title, the play screen and the digits under dir/Graphics.
inline void writeTestPictures(const std::string& dir)
{
    const std::string g = dir + "/Graphics/";
    writeBandedBmp(g + "Title.bmp", 640, 480, 640, [](int) { return 0x203040u; });
    writeBandedBmp(g + "GameBG.bmp", 640, 480, 640, [](int) { return 0x101060u; });
    writeBandedBmp(g + "RankBG.bmp", 640, 480, 640, [](int) { return 0x601010u; });
    writeBandedBmp(g + "PuzzleBlock.bmp", 192, 32, 32,
                   [](int i) { return 0x300000u * static_cast<std::uint32_t>(i + 1) + 0x1020u; });
    writeBandedBmp(g + "Vals.bmp", 240, 34, 24,
                   [](int i) { return 0x0000c8u + 0x001400u * static_cast<std::uint32_t>(i); });
    writeBandedBmp(g + "GameStart.bmp", 256, 160, 256, [](int) { return 0xe0e0e0u; });
    writeBandedBmp(g + "GameOver.bmp", 256, 160, 256, [](int) { return 0xc02020u; });
}

}  // namespace replaytest
