// The generator's own parts: note names, melody lines and chords, the BMP
// writer's key handling, loop wrapping and levelling, and that the output
// is the same on every run.
#include <gtest/gtest.h>

#include <cmath>

#include "tools/assetgen/effects.h"
#include "tools/assetgen/pictures.h"
#include "tools/assetgen/raster.h"
#include "tools/assetgen/score.h"
#include "tools/assetgen/stroke_font.h"
#include "tools/assetgen/synth.h"

using namespace assetgen;

TEST(Generator, NoteNamesReadLikeSheetMusic)
{
    EXPECT_EQ(60, noteNumber("C4"));
    EXPECT_EQ(69, noteNumber("A4"));
    EXPECT_EQ(58, noteNumber("Bb3"));
    EXPECT_EQ(73, noteNumber("C#5"));
    EXPECT_EQ(59, noteNumber("Cb4"));
    for (const char* bad : {"", "H4", "C", "C10", "4", "C#", "c4"})
        EXPECT_EQ(-1, noteNumber(bad)) << bad;
}

TEST(Generator, MelodyLinesKeepTimeThroughRests)
{
    const std::vector<LineNote> notes = parseLine("E5/2 -/1 G5/1 X9/2 A5", 0.5);
    ASSERT_EQ(3u, notes.size());
    EXPECT_EQ(76, notes[0].midi);
    EXPECT_DOUBLE_EQ(0.0, notes[0].beat);
    EXPECT_DOUBLE_EQ(1.0, notes[0].beats);
    EXPECT_EQ(79, notes[1].midi);
    EXPECT_DOUBLE_EQ(1.5, notes[1].beat);
    // A malformed token still takes its time, so later notes stay in place.
    EXPECT_EQ(81, notes[2].midi);
    EXPECT_DOUBLE_EQ(3.0, notes[2].beat);
    EXPECT_DOUBLE_EQ(0.5, notes[2].beats);
}

TEST(Generator, ChordSymbolsGiveTheirTones)
{
    EXPECT_EQ((std::vector<int>{57, 60, 64}), chordTones("Am"));
    EXPECT_EQ((std::vector<int>{55, 59, 62, 65}), chordTones("G7"));
    EXPECT_EQ((std::vector<int>{58, 62, 65}), chordTones("Bb"));
    EXPECT_EQ((std::vector<int>{54, 57, 61}), chordTones("F#m"));
    EXPECT_TRUE(chordTones("Xm").empty());
    EXPECT_TRUE(chordTones("Cdim9").empty());
}

TEST(Generator, KeyedPicturesKeyOnlyWhatIsNotDrawn)
{
    Canvas c(4, 2);
    c.blend(1, 0, rgb(0, 255, 0), 1.0f);    // drawn pure green must not turn transparent
    c.blend(2, 0, rgb(200, 10, 10), 0.3f);  // faint: below half coverage, keyed
    c.blend(3, 1, rgb(10, 20, 30), 1.0f);
    const std::vector<std::uint8_t> bmp = c.toBmp(true);
    ASSERT_EQ(54u + 4 * 2 * 3, bmp.size());
    EXPECT_EQ('B', bmp[0]);
    EXPECT_EQ(54, bmp[10]);
    EXPECT_EQ(40, bmp[14]);
    EXPECT_EQ(24, bmp[28]);
    EXPECT_EQ(0, bmp[30]);  // BI_RGB
    // Rows bottom-up: file row 0 is picture row 1. Bytes blue, green, red.
    auto px = [&](int x, int y) {
        const std::size_t i = 54 + ((1 - y) * 4 + x) * 3;
        return std::vector<int>{bmp[i + 2], bmp[i + 1], bmp[i]};
    };
    EXPECT_EQ((std::vector<int>{0, 255, 0}), px(0, 0));
    EXPECT_EQ((std::vector<int>{0, 254, 0}), px(1, 0));
    EXPECT_EQ((std::vector<int>{0, 255, 0}), px(2, 0));
    EXPECT_EQ((std::vector<int>{10, 20, 30}), px(3, 1));
}

TEST(Generator, TextMeasuresWhatItDraws)
{
    TextStyle s;
    s.capHeight = 12;
    Canvas c(200, 30);
    drawText(c, "HELLO", 10, 8, s);
    int left = 200, right = -1;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 200; ++x)
            if (c.coverageAt(x, y) >= 0.5f) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    EXPECT_NEAR(10, left, 1.5);
    EXPECT_NEAR(10 + textWidth("HELLO", s), right + 1, 2.0);
    EXPECT_TRUE(glyphPaths(' ').empty());
    EXPECT_EQ(glyphPaths('q').size(), glyphPaths('Q').size());
}

TEST(Generator, NotesRingingPastTheLoopEndWrapToItsStart)
{
    SoundBuffer loop(SampleRate, true);
    renderNote(loop, {Instrument::Bell, 0.9, 0.2, 69, 1.0f, 0.0f});
    double head = 0;
    for (std::size_t i = 0; i < 4410; ++i)
        head += std::fabs(loop.left(i));
    EXPECT_GT(head, 10.0);
    SoundBuffer once(SampleRate, false);
    renderNote(once, {Instrument::Bell, 0.9, 0.2, 69, 1.0f, 0.0f});
    for (std::size_t i = 0; i < 4410; ++i)
        ASSERT_EQ(0.0f, once.left(i));
}

TEST(Generator, LevellingHitsItsTargetUnderTheCeiling)
{
    SoundBuffer b(SampleRate, true);
    for (std::size_t i = 0; i < b.frames(); ++i) {
        // A quiet tone with one loud spike.
        const float v = 0.05f * std::sin(2 * 3.14159265f * 440 * i / SampleRate) + (i == 1000 ? 0.6f : 0.0f);
        b.add(i, v, v);
    }
    level(b, -20.0, -1.2, 0);
    EXPECT_NEAR(-20.0, rmsDb(b), 0.3);
    EXPECT_LE(peakDb(b), -1.2 + 1e-3);
}

TEST(Generator, SameBytesOnEveryRun)
{
    EXPECT_EQ(blockSheet().toBmp(true), blockSheet().toBmp(true));
    EXPECT_EQ(toWav(effect("Chain3"), false), toWav(effect("Chain3"), false));
    EXPECT_EQ(0u, effect("Chain6").frames());
}
