// Blocks, digits, letters and the number layouts.
#include "tests/render/sheets.h"

#include "field/block.h"

#include <initializer_list>

using BlockCells = RendererTest;
using Glyphs = RendererTest;
using Numbers = RendererTest;

TEST_F(BlockCells, OrdinaryColoursTakeTheFirstFourCells)
{
    for (int code = 0; code < 4; ++code) {
        ASSERT_TRUE(screen().createFilled(640, 480, 100, 255, 100));
        renderer.drawBlock(100, 60, code, -1);
        expectCell(blockColour(code), 100, 60);
    }
}

TEST_F(BlockCells, StoneIsTheSixthCellAndBombTheFifth)
{
    renderer.drawBlock(0, 0, Stone, -1);
    renderer.drawBlock(64, 0, Bomb, -1);
    expectCell(blockColour(160 / 32), 0, 0);
    expectCell(blockColour(128 / 32), 64, 0);
}

TEST_F(BlockCells, EmptyAndOutsideDrawNothingAndSayNothing)
{
    renderer.drawBlock(10, 10, Empty, -1);
    renderer.drawBlock(10, 10, Outside, 128);
    expectUntouched();
    EXPECT_TRUE(headless::messageBoxes().empty());
}

TEST_F(BlockCells, UnknownCodesRaiseTheBlockTypeBoxAndAreSkipped)
{
    for (int code : {8, 100, -1}) {
        headless::clearMessageBoxes();
        renderer.drawBlock(10, 10, code, -1);
        ASSERT_EQ(headless::messageBoxes().size(), 1u) << code;
        EXPECT_EQ(headless::messageBoxes()[0].text, "undefine block type!!");
        EXPECT_EQ(headless::messageBoxes()[0].caption, "cution");
    }
    expectUntouched();
}

TEST_F(BlockCells, AlphaZeroOrBelowIsOpaqueAndAboveBlends)
{
    renderer.drawBlock(0, 0, 0, 0);
    expectCell(blockColour(0), 0, 0);
    renderer.drawBlock(100, 0, 1, 128);
    const Rgb c = blockColour(1);
    Rgb mixed;
    for (int k = 0; k < 3; ++k)
        mixed[k] = BackBufferFill[k] + (((c[k] - BackBufferFill[k]) * 128) >> 8);
    expectCell(mixed, 100, 0);
}

TEST_F(Glyphs, DigitsComeFromTheirPlaceOnTheSheet)
{
    renderer.drawDigit('7', 50, 60);
    expectGlyph(digitColour(7), 50, 60);
}

TEST_F(Glyphs, CharactersWithoutADigitGlyphDrawNothing)
{
    for (char c : {'\0', '-', '/', ':', 'a'})
        renderer.drawDigit(c, 0, 0);
    expectUntouched();
    EXPECT_TRUE(headless::messageBoxes().empty());
}

TEST_F(Glyphs, BothCasesShowTheCapitalLetter)
{
    renderer.drawChar('q', 0, 0);
    expectGlyph(letterColour(384 / 24), 0, 0);
    ASSERT_TRUE(screen().createFilled(640, 480, 100, 255, 100));
    renderer.drawChar('Q', 30, 40);
    expectGlyph(letterColour(16), 30, 40);
    renderer.drawChar('a', 100, 0);
    renderer.drawChar('Z', 200, 0);
    expectGlyph(letterColour(0), 100, 0);
    expectGlyph(letterColour(25), 200, 0);
}

TEST_F(Glyphs, CharactersBetweenAndBeyondTheAlphabetsDrawNothing)
{
    for (int code :
         std::initializer_list<int>{'[', '\\', ']', '^', '_', '`', '@', '{', '0', ' ', 0x80, 0xc9, 0xff})
        renderer.drawChar(static_cast<char>(code), 0, 0);
    expectUntouched();
    EXPECT_TRUE(headless::messageBoxes().empty());
}

TEST_F(Glyphs, LetterIndexesOutsideTheAlphabetRaiseTheStringBox)
{
    renderer.drawLetter(25, 0, 0);
    expectGlyph(letterColour(25), 0, 0);
    for (int index : {26, -1}) {
        headless::clearMessageBoxes();
        renderer.drawLetter(index, 100, 100);
        ASSERT_EQ(headless::messageBoxes().size(), 1u);
        EXPECT_EQ(headless::messageBoxes()[0].text, "undefined string");
        EXPECT_EQ(headless::messageBoxes()[0].caption, "error");
    }
    EXPECT_EQ(find(screen(), letterColour(25)).count, GlyphPixelsDrawn);
}

TEST_F(Numbers, ZeroIsOneDigitEndingAtTheRightEdge)
{
    renderer.drawScore(0);
    expectGlyph(digitColour(0), 606, 85);
}

TEST_F(Numbers, SevenNinesSpanFromR462ToTheRightEdge)
{
    renderer.drawNumber(9999999, 630, 85);
    expectAt(digitColour(9), 462, 85, 630 - 462, 34, 7 * GlyphPixelsDrawn);
    // The glyphs touch: the first one ends where the second starts.
    EXPECT_EQ(pixelAt(screen(), 462 + 23, 90), digitColour(9));
    EXPECT_EQ(pixelAt(screen(), 462 + 24, 90), digitColour(9));
}

TEST_F(Numbers, LevelTwelveSitsAt532And556)
{
    renderer.drawLevel(12);
    expectGlyph(digitColour(1), 532, 290);
    expectGlyph(digitColour(2), 556, 290);
}

TEST_F(Numbers, ClearedCountAndANegativeValueKeepTheirPlaces)
{
    renderer.drawClearedCount(-5);  // the minus sign leaves its place empty
    expectGlyph(digitColour(5), 606, 390);
    EXPECT_EQ(find(screen(), BackBufferFill).count, 640 * 480 - GlyphPixelsDrawn);
    renderer.drawNumber(-2147483647 - 1, 640, 0);  // the longest text there is
    expectGlyph(digitColour(6), 640 - 24 * 3, 0);
    expectGlyph(digitColour(7), 640 - 24 * 7, 0);
}

TEST_F(Numbers, RankingRowsAreLeftAlignedWithAPitchOfThirty)
{
    renderer.drawRankEntry(3, "abc", 4500);
    expectGlyph(letterColour(0), 180, 230);
    expectGlyph(letterColour(1), 210, 230);
    expectGlyph(letterColour(2), 240, 230);
    expectGlyph(digitColour(4), 300, 230);
    expectGlyph(digitColour(5), 330, 230);
    // Both zeros: 360 and 390.
    expectAt(digitColour(0), 360, 230, 54, 34, 2 * GlyphPixelsDrawn);
}

TEST_F(Numbers, RankingPlacesStepBySixtyFromY110)
{
    for (int place = 1; place <= 5; ++place) {
        ASSERT_TRUE(screen().createFilled(640, 480, 100, 255, 100));
        renderer.drawRankEntry(place, "", 8);
        // An empty name draws only the score.
        expectGlyph(digitColour(8), 300, 50 + 60 * place);
        EXPECT_EQ(find(screen(), BackBufferFill).count, 640 * 480 - GlyphPixelsDrawn);
    }
}

TEST_F(Numbers, PlacesOutsideOneToFiveDrawNothingAndLongNamesAreCut)
{
    renderer.drawRankEntry(0, "abc", 1);
    renderer.drawRankEntry(6, "abc", 1);
    expectUntouched();
    renderer.drawRankEntry(1, "xyzw", 1);
    expectGlyph(letterColour('z' - 'a'), 240, 110);
    EXPECT_EQ(find(screen(), letterColour('w' - 'a')).count, 0);
}
