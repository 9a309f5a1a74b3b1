// Shared set-up for the controller tests: a scratch folder that is also the
// working directory (the rank file is relative to it), small picture and
// sound files written inline, and readers for pixels and the audio log.
#pragma once

#include "render/bmp_file.h"
#include "game/game.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "render/surface.h"
#include "tools/support/scratch_dir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace gametest {

namespace fs = std::filesystem;

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

inline std::ostream& operator<<(std::ostream& os, const Rgb& c)
{
    return os << "rgb(" << c.r << ", " << c.g << ", " << c.b << ")";
}

using support::ScratchDir;

inline void writeBytes(const std::string& path, const std::string& bytes)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A 24-bit bottom-up BMP of width x height whose pixel (x, y), y from the
// top, has the colour the function gives. width must be a multiple of 4.
inline std::string bmpBytes(int width, int height, const std::function<Rgb(int, int)>& colour)
{
    std::string b = bmpHeader(width, height);
    for (int row = height - 1; row >= 0; --row) {
        for (int x = 0; x < width; ++x) {
            const Rgb c = colour(x, row);
            b.push_back(static_cast<char>(c.b));
            b.push_back(static_cast<char>(c.g));
            b.push_back(static_cast<char>(c.r));
        }
    }
    return b;
}

inline void writeSolidBmp(const std::string& path, int width, int height, Rgb colour)
{
    writeBytes(path, bmpBytes(width, height, [colour](int, int) { return colour; }));
}

// Colours of the test sheets: each glyph its own colour, none of them the
// key green, so a pixel tells which glyph was drawn there.
inline Rgb letterColour(int index) { return Rgb{10 + 9 * index, 40, 200}; }
inline Rgb digitColour(int digit) { return Rgb{200, 60, 10 + 20 * digit}; }
const Rgb GameBgColour{30, 30, 90};
const Rgb RankBgColour{90, 30, 30};
const Rgb BannerColour{220, 20, 20};
const Rgb CursorColour{250, 250, 0};
const Rgb BackBufferColour{100, 255, 100};

inline Rgb pixelAt(const Surface& s, int x, int y)
{
    const std::uint8_t* p = s.pixels() + s.pixelOffset(x, y);
    return Rgb{p[2], p[1], p[0]};
}

// The number of plays of a platform sound since the log was last cleared.
inline int playsOf(platform::SoundHandle sound)
{
    int n = 0;
    for (const headless::AudioEvent& e : headless::audioLog())
        if (e.op == headless::AudioOp::Play && e.sound == sound) ++n;
    return n;
}

// A game with every music track and effect loaded from scratch files, a
// back buffer, and the working directory in a scratch folder without a rank
// file. Pictures are loaded by the tests that look at pixels.
class GameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        headless::reset();
        ASSERT_TRUE(dir_.enter());
        game_ = std::make_unique<Game>();
        game_->attachWindow(platform::mainWindow());
        game_->createBackBuffer(640, 480, 100, 255, 100);
        for (int id = 0; id < BgmCount; ++id) {
            const std::string path = dir_.file("bgm" + std::to_string(id) + ".wav");
            writeBytes(path, "RIFF");
            game_->loadBgm(static_cast<BgmId>(id), path);
        }
        for (int id = 0; id < SeCount; ++id) {
            const std::string path = dir_.file("se" + std::to_string(id) + ".wav");
            writeBytes(path, "RIFF");
            game_->loadEffect(static_cast<SeId>(id), path);
        }
        headless::clearAudioLog();
    }

    void TearDown() override { game_.reset(); }

    // The pictures the screens are checked with.
    void loadTestPictures()
    {
        writeSolidBmp(dir_.file("GameBG.bmp"), 640, 480, GameBgColour);
        writeSolidBmp(dir_.file("RankBG.bmp"), 640, 480, RankBgColour);
        writeSolidBmp(dir_.file("Banner.bmp"), 256, 160, BannerColour);
        writeSolidBmp(dir_.file("Cursor.bmp"), 24, 5, CursorColour);
        writeBytes(dir_.file("Letters.bmp"),
                   bmpBytes(624, 34, [](int x, int) { return letterColour(x / 24); }));
        writeBytes(dir_.file("Digits.bmp"),
                   bmpBytes(240, 34, [](int x, int) { return digitColour(x / 24); }));
        game_->loadBitmap(SlotGameBg, dir_.file("GameBG.bmp"), false);
        game_->loadBitmap(SlotRankBg, dir_.file("RankBG.bmp"), false);
        game_->loadBitmap(SlotGameOver, dir_.file("Banner.bmp"), true);
        game_->loadBitmap(SlotGameStart, dir_.file("Banner.bmp"), true);
        game_->loadBitmap(SlotNameCursor, dir_.file("Cursor.bmp"), false);
        game_->loadBitmap(SlotLetters, dir_.file("Letters.bmp"), true);
        game_->loadBitmap(SlotDigits, dir_.file("Digits.bmp"), true);
    }

    // One frame, 33 ms after the previous one.
    void frame()
    {
        headless::advanceClock(33);
        game_->update();
    }

    // A key pressed for exactly one frame.
    void tap(platform::Key key)
    {
        headless::press(key);
        frame();
        headless::release(key);
    }

    Rgb screen(int x, int y) { return pixelAt(game_->renderer().backBuffer(), x, y); }

    platform::SoundHandle effect(SeId id) { return game_->sound().effectChannel(id).handle(); }
    platform::SoundHandle music(BgmId id) { return game_->sound().bgmChannel(id).handle(); }

    // The music now playing was started from its beginning as `id`.
    void expectMusicStarted(BgmId id)
    {
        EXPECT_EQ(game_->sound().selectedBgm(), id);
        EXPECT_EQ(playsOf(music(id)), 1);
        EXPECT_TRUE(headless::soundPlaying(music(id)));
        for (int other = 0; other < BgmCount; ++other) {
            if (other != id) {
                EXPECT_FALSE(headless::soundPlaying(music(static_cast<BgmId>(other))));
            }
        }
    }

    void writeRankFile(const std::string& text) { writeBytes(dir_.file("Data/Rank.ds"), text); }

    ScratchDir dir_;
    std::unique_ptr<Game> game_;
};

}  // namespace gametest
