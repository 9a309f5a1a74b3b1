// Where each element of a screen lands, and the way to the window.
#include "tests/render/sheets.h"

#include "field/block_list.h"
#include "field/puzzle_field.h"

#include <cstdio>
#include <vector>

using Screens = RendererTest;
using Presenting = RendererTest;

TEST_F(Screens, FieldCellsSitOnTheCentredGrid)
{
    PuzzleField field;
    ASSERT_TRUE(field.setCell(0, 0, 1));
    ASSERT_TRUE(field.setCell(7, 11, Stone));
    ASSERT_TRUE(field.setCell(3, 5, Bomb));
    renderer.drawField(field);
    expectCell(blockColour(1), 192, 48);
    expectCell(blockColour(5), 416, 400);
    expectCell(blockColour(4), 192 + 96, 48 + 160);
    // Empty cells draw nothing.
    EXPECT_EQ(find(screen(), BackBufferFill).count, 640 * 480 - 3 * CellPixelsDrawn);
}

TEST_F(Screens, AFullFieldCoversItsWholeRectangle)
{
    PuzzleField field;
    for (int r = 0; r < GridRows; ++r)
        for (int c = 0; c < GridColumns; ++c)
            ASSERT_TRUE(field.setCell(c, r, 2));
    renderer.drawField(field);
    expectAt(blockColour(2), 192, 48, 256, 384, 96 * CellPixelsDrawn);
}

TEST_F(Screens, AnUnknownCellIsSkippedWithOneBoxAndTheRestIsDrawn)
{
    PuzzleField field;
    ASSERT_TRUE(field.setCell(2, 2, 9));
    ASSERT_TRUE(field.setCell(4, 2, 0));
    renderer.drawField(field);
    ASSERT_EQ(headless::messageBoxes().size(), 1u);
    EXPECT_EQ(headless::messageBoxes()[0].text, "undefine block type!!");
    expectCell(blockColour(0), 192 + 128, 48 + 64);
    EXPECT_EQ(find(screen(), BackBufferFill).count, 640 * 480 - CellPixelsDrawn);
}

TEST_F(Screens, APairBlockSitsAtItsHalfRow)
{
    PairBlock block;
    ASSERT_TRUE(block.setColumn(5));
    ASSERT_TRUE(block.setHalfRow(7));
    block.setColour(2);
    renderer.drawPairBlock(block);
    expectCell(blockColour(2), 192 + 160, 48 + 7 * 16);
}

// The play screen draws its counters before the falling pieces and the
// preview; that is only the same picture while no counter reaches them.
TEST_F(Screens, TheGameScreensCountersStayClearOfTheWellAndThePreview)
{
    PuzzleField field;
    field.setScore(9999999);
    field.setClearedCount(9999999);
    ASSERT_EQ(field.level(), 19);
    renderer.drawGameScreen(field);
    const auto untouched = [&](int x, int y, int w, int h) {
        int n = 0;
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i)
                n += pixelAt(screen(), i, j) == GameBgColour;
        return n == w * h;
    };
    EXPECT_TRUE(untouched(FieldLeft, FieldTop, GridColumns * CellSize, GridRows * CellSize));
    EXPECT_TRUE(untouched(513, 185, 2 * CellSize, CellSize));
    // The counters are there: seven nines each in score and count, one in
    // the level.
    EXPECT_EQ(find(screen(), digitColour(9)).count, 15 * GlyphPixelsDrawn);
}

TEST_F(Screens, NextPairSitsRightOfTheField)
{
    renderer.drawNextPair(0, 3);
    expectCell(blockColour(0), 513, 185);
    expectCell(blockColour(3), 545, 185);
}

TEST_F(Screens, DroppingBlocksAreShiftedByTheSharedOffset)
{
    DropList drops;
    DropBlock a;
    ASSERT_TRUE(a.setColumn(2));
    ASSERT_TRUE(a.setRow(3));
    a.setColour(1);
    drops.append(a);
    DropBlock b;
    ASSERT_TRUE(b.setColumn(7));
    ASSERT_TRUE(b.setRow(0));
    b.setColour(Empty);
    drops.append(b);
    DropBlock::setDropOffset(12);
    renderer.drawFallingBlocks(drops);
    DropBlock::setDropOffset(0);
    expectCell(blockColour(1), 192 + 64, 48 + 96 + 12);
    EXPECT_EQ(find(screen(), BackBufferFill).count, 640 * 480 - CellPixelsDrawn);
}

TEST_F(Screens, ClearingGroupsAreBlendedByTheFadeLevel)
{
    GroupList groups;
    ClearGroup group;
    for (int c = 0; c < 3; ++c) {
        ClearBlock block;
        ASSERT_TRUE(block.setColumn(c));
        ASSERT_TRUE(block.setRow(11));
        block.setColour(3);
        group.append(block);
    }
    groups.append(group);
    ClearBlock::setFadeLevel(128);
    renderer.drawClearingGroups(groups);
    ClearBlock::setFadeLevel(255);
    Rgb mixed;
    const Rgb c = blockColour(3);
    for (int k = 0; k < 3; ++k)
        mixed[k] = BackBufferFill[k] + (((c[k] - BackBufferFill[k]) * 128) >> 8);
    expectAt(mixed, 192, 400, 96, 32, 3 * CellPixelsDrawn);
}

TEST_F(Screens, MenuCursorIsTheBombBesideEachEntry)
{
    const int items[] = {9, 1, 2};
    const int ys[] = {350, 390, 430};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(screen().createFilled(640, 480, 100, 255, 100));
        renderer.drawMenuCursor(items[i]);
        expectCell(blockColour(128 / 32), 210, ys[i]);
    }
    ASSERT_TRUE(screen().createFilled(640, 480, 100, 255, 100));
    for (int item : {0, 3, 7, -1})
        renderer.drawMenuCursor(item);
    expectUntouched();
}

TEST_F(Screens, ABannerLowDownShowsOnlyWhatFitsAndAtTheBottomNothing)
{
    renderer.drawGameStartBanner(192, 400);
    // 80 rows remain; the bottom corners are cut away with the rest.
    expectAt(GameStartColour, 192, 400, 256, 80, 256 * 80 - 2);
    ASSERT_TRUE(screen().createFilled(640, 480, 100, 255, 100));
    renderer.drawGameStartBanner(192, 480);
    expectUntouched();
    renderer.drawGameOverBanner(192, 80);
    expectAt(GameOverColour, 192, 80, 256, 160, 256 * 160 - 4);
}

TEST_F(Screens, NameCursorIsCopiedOpaque)
{
    renderer.drawNameCursor(351, 290);
    // Its key-green corners are drawn too: the cursor is not keyed.
    expectAt(NameCursorColour, 351, 290, 24, 5, 24 * 5 - 4);
    EXPECT_EQ(pixelAt(screen(), 351, 290), KeyGreen);
}

TEST_F(Screens, BackgroundsCoverOnlyTheirOwnSize)
{
    renderer.drawGameBackground();
    EXPECT_EQ(find(screen(), GameBgColour).count, 640 * 480 - 4);
    renderer.drawTitleBackground();
    EXPECT_EQ(find(screen(), TitleColour).count, 640 * 480 - 4);
    renderer.drawRankingBackground();  // 320 x 240: the rest stays
    expectAt(RankBgColour, 0, 0, 320, 240, 320 * 240 - 4);
    EXPECT_EQ(find(screen(), TitleColour).count, 640 * 480 - 320 * 240 - 3);
}

TEST_F(Screens, MissingPicturesDrawNothing)
{
    for (int slot = 0; slot < ImageSlotCount; ++slot)
        renderer.image(slot).release();
    PuzzleField field;
    ASSERT_TRUE(field.setCell(0, 0, 1));
    renderer.drawGameBackground();
    renderer.drawField(field);
    renderer.drawScore(123);
    renderer.drawGameOverBanner(192, 0);
    renderer.drawRankEntry(1, "abc", 5);
    renderer.drawNameCursor(0, 0);
    expectUntouched();
}

TEST_F(Presenting, TheWholeBackBufferReachesTheWindow)
{
    renderer.drawBlock(0, 0, 1, -1);
    ASSERT_TRUE(renderer.present());
    EXPECT_EQ(headless::framesPresented(), 1);
    EXPECT_EQ(headless::lastFrame().width, 640);
    EXPECT_EQ(headless::lastFrame().height, 480);
    EXPECT_EQ(headless::lastFrame().pixels,
              std::vector<std::uint8_t>(screen().pixels(), screen().pixels() + screen().byteCount()));
}

TEST_F(Presenting, NoWindowOrNoBackBufferMeansNoFrame)
{
    Renderer bare;
    EXPECT_FALSE(bare.createBackBuffer(640, 480, 100, 255, 100));
    EXPECT_TRUE(bare.backBuffer().isEmpty());
    EXPECT_FALSE(bare.present());
    bare.attachWindow(platform::mainWindow());
    EXPECT_FALSE(bare.present());
    EXPECT_EQ(headless::framesPresented(), 0);
}

TEST_F(Presenting, BitmapSlotsOutsideTheTableChangeNothing)
{
    const std::string path = testing::TempDir() + "render_slot.bmp";
    std::vector<unsigned char> bmp(54 + 4 * 1 * 3, 0);
    const unsigned char head[] = {'B', 'M', 66, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  40,
                                  0,   0,   0,  4, 0, 0, 0, 1, 0, 0, 0,  1, 0, 24, 0};
    std::copy(std::begin(head), std::end(head), bmp.begin());
    bmp[54 + 4] = 255;  // pixel 1 is key green (bytes 0, 255, 0)
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bmp.data(), 1, bmp.size(), f);
    std::fclose(f);

    EXPECT_FALSE(renderer.loadBitmap(12, path, true));
    EXPECT_FALSE(renderer.loadBitmap(-1, path, true));
    EXPECT_EQ(renderer.image(SlotBlocks).width(), 192);

    EXPECT_TRUE(renderer.loadBitmap(SlotDigits, path, true));
    EXPECT_EQ(renderer.image(SlotDigits).width(), 4);
    ASSERT_TRUE(renderer.image(SlotDigits).hasKeyRuns());
    EXPECT_EQ(renderer.image(SlotDigits).keyRunCount(0), 2);

    EXPECT_TRUE(renderer.loadBitmap(SlotNameCursor, path, false));
    EXPECT_FALSE(renderer.image(SlotNameCursor).hasKeyRuns());

    EXPECT_FALSE(renderer.loadBitmap(SlotTitle, path + ".missing", true));
    EXPECT_TRUE(renderer.image(SlotTitle).isEmpty());
    EXPECT_FALSE(renderer.image(SlotTitle).hasKeyRuns());
    std::remove(path.c_str());
}

TEST_F(Presenting, ARejectedPictureSaysWhyOnStderrAndAMissingOneSaysNothing)
{
    const std::string path = testing::TempDir() + "render_top_down.bmp";
    // A 4 x 1 picture stored top-down (negative height): not a shape the game reads.
    std::vector<unsigned char> bmp(54 + 4 * 1 * 3, 0);
    const unsigned char head[] = {'B', 'M', 66, 0, 0, 0, 0, 0,    0,    0,    54,   0, 0, 0,  40,
                                  0,   0,   0,  4, 0, 0, 0, 0xff, 0xff, 0xff, 0xff, 1, 0, 24, 0};
    std::copy(std::begin(head), std::end(head), bmp.begin());
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bmp.data(), 1, bmp.size(), f);
    std::fclose(f);

    testing::internal::CaptureStderr();
    EXPECT_FALSE(renderer.loadBitmap(SlotTitle, path, false));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "tessaloom: skipping the picture " + path + ": height out of range (or top-down)\n");
    EXPECT_TRUE(renderer.image(SlotTitle).isEmpty());

    testing::internal::CaptureStderr();
    EXPECT_FALSE(renderer.loadBitmap(SlotTitle, path + ".missing", false));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    std::remove(path.c_str());
}
