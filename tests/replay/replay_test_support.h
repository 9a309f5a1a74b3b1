// Shared helpers of the replay tests: the recordings beside this file, and a
// small set of pictures so that frames show the field (each block code its
// own colour) instead of an empty back buffer.
#pragma once

#include "platform/headless.h"
#include "render/bmp_file.h"
#include "render/overlay_layout.h"
#include "tools/replay/input_script.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace replaytest {

namespace fs = std::filesystem;

inline std::string dataPath(const std::string& name)
{
    return std::string(TESSALOOM_SOURCE_DIR) + "/tests/replay/data/" + name;
}

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

// Colours of the overlay test pictures (0xRRGGBB), none used by the pictures
// above, so a pixel tells which overlay was drawn there.
constexpr std::uint32_t ChainWordColour = 0xff00ffu;
constexpr std::uint32_t LevelUpColour = 0xf0f000u;
constexpr std::uint32_t PromptPatchColour = 0x00c0c0u;
constexpr std::uint32_t NewRecordColour = 0xf08000u;
constexpr std::uint32_t NamePanelColour = 0x404040u;
constexpr std::uint32_t NameFrameColour = 0xd0d0f0u;
constexpr std::uint32_t PlayKeysColour = 0x206020u;
constexpr std::uint32_t NameKeysColour = 0x602060u;
constexpr std::uint32_t ShadowColour = 0xa0a0a0u;
constexpr std::uint32_t MoreKeysColour = 0x208060u;
constexpr std::uint32_t SoundNoticeColour = 0x60a0f0u;
// Glyph i of the chain digits ("0".."9", then "+").
inline std::uint32_t chainGlyphColour(int i) { return 0x20f0f0u + 0x080000u * static_cast<std::uint32_t>(i); }

// The overlay pictures, each one colour (the chain digits one per glyph), at
// the sizes the game lays them out with.
inline void writeOverlayTestPictures(const std::string& dir)
{
    const std::string g = dir + "/Graphics/";
    const auto solid = [&](const char* name, int w, int h, std::uint32_t c) {
        writeBandedBmp(g + name, w, h, w, [c](int) { return c; });
    };
    solid("ChainWord.bmp", overlay::ChainWordWidth, overlay::ChainGlyphHeight, ChainWordColour);
    writeBandedBmp(g + "ChainDigits.bmp", overlay::ChainGlyphWidth * overlay::ChainGlyphCount,
                   overlay::ChainGlyphHeight, overlay::ChainGlyphWidth, chainGlyphColour);
    solid("LevelUp.bmp", overlay::LevelUpWidth, overlay::LevelUpHeight, LevelUpColour);
    solid("PromptPatch.bmp", 112, 24, PromptPatchColour);
    solid("NewRecord.bmp", 232, 32, NewRecordColour);
    solid("NamePanel.bmp", 192, 124, NamePanelColour);
    solid("NameFrame.bmp", 32, 54, NameFrameColour);
    solid("PlayKeys.bmp", 160, 124, PlayKeysColour);
    solid("NameKeys.bmp", 160, 124, NameKeysColour);
    solid("Shadow.bmp", 192, 32, ShadowColour);
    solid("MoreKeys.bmp", overlay::MoreKeysWidth, overlay::MoreKeysHeight, MoreKeysColour);
    solid("SoundNotice.bmp", overlay::SoundNoticeWidth, 2 * overlay::SoundNoticeHeight, SoundNoticeColour);
}

// The colour of a presented frame's pixel (x, y), y from the top, as 0xRRGGBB.
inline std::uint32_t frameColour(const headless::Frame& frame, int x, int y)
{
    const std::uint8_t* p = frame.pixels.data() +
                            (static_cast<std::size_t>(frame.height - 1 - y) * frame.width + x) * 3;
    return static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[0];
}

}  // namespace replaytest
