#include "field/block.h"
#include "field/random.h"
#include "field_test_support.h"

class BlockTest : public FieldTestBase {};

TEST_F(BlockTest, ColumnAndRowSettersRefuseCellsOffTheGrid)
{
    Block block;
    ASSERT_TRUE(block.setColumn(4));
    ASSERT_TRUE(block.setRow(5));
    EXPECT_FALSE(block.setColumn(8));
    EXPECT_FALSE(block.setColumn(-1));
    EXPECT_FALSE(block.setRow(12));
    EXPECT_FALSE(block.setRow(-1));
    EXPECT_EQ(block.column(), 4);
    EXPECT_EQ(block.row(), 5);
    EXPECT_TRUE(block.setColumn(7));
    EXPECT_TRUE(block.setRow(11));
    EXPECT_EQ(block.column(), 7);
    EXPECT_EQ(block.row(), 11);
}

TEST_F(BlockTest, PairBlockCountsHalfRowsTwoToACell)
{
    PairBlock block;
    ASSERT_TRUE(block.setHalfRow(23));
    EXPECT_EQ(block.pairRow(false), 23);
    EXPECT_EQ(block.pairRow(true), 11);
    EXPECT_FALSE(block.setHalfRow(24));
    EXPECT_FALSE(block.setHalfRow(-1));
    EXPECT_EQ(block.pairRow(false), 23);

    const int expectedCell[] = {0, 0, 1, 1, 2};
    for (int halfRow = 0; halfRow < 5; ++halfRow) {
        ASSERT_TRUE(block.setHalfRow(halfRow));
        EXPECT_EQ(block.pairRow(true), expectedCell[halfRow]) << "half row " << halfRow;
    }
}

TEST_F(BlockTest, FadeLevelStaysABlendWeight)
{
    ClearBlock::setFadeLevel(-51);
    EXPECT_EQ(ClearBlock::fadeLevel(), 0);
    ClearBlock::setFadeLevel(300);
    EXPECT_EQ(ClearBlock::fadeLevel(), 255);
    ClearBlock::setFadeLevel(102);
    EXPECT_EQ(ClearBlock::fadeLevel(), 102);
    // The other class-wide values are stored as given.
    DropBlock::setDropOffset(-5);
    EXPECT_EQ(DropBlock::dropOffset(), -5);
    PairBlock::setTurnStamp(0xFFFFFFFFu);
    EXPECT_EQ(PairBlock::turnStamp(), 0xFFFFFFFFu);
}

TEST_F(BlockTest, DefaultBandsGiveBombsStonesAndFourColours)
{
    const Block block;
    struct Bound {
        int draw;
        int colour;
    };
    const Bound bounds[] = {
        {0, Bomb}, {1, Bomb}, {2, Stone}, {11, Stone}, {12, 0}, {33, 0},
        {34, 1},   {55, 1},   {56, 2},    {77, 2},     {78, 3}, {99, 3},
    };
    for (const Bound& b : bounds)
        EXPECT_EQ(block.colourForDraw(b.draw), b.colour) << "draw " << b.draw;

    int counts[8] = {};
    for (int draw = 0; draw < 100; ++draw)
        ++counts[block.colourForDraw(draw)];
    EXPECT_EQ(counts[Bomb], 2);
    EXPECT_EQ(counts[Stone], 10);
    for (int colour = 0; colour < 4; ++colour)
        EXPECT_EQ(counts[colour], 22) << "colour " << colour;
    EXPECT_EQ(counts[Outside], 0);
}

TEST_F(BlockTest, DrawOutsideEveryBandGivesNoColour)
{
    Block block;
    for (int band = 0; band < ColourBandCount; ++band)
        ASSERT_TRUE(block.setColourBand(band, 200, 300));
    EXPECT_EQ(block.rollColour(), Outside);
    EXPECT_EQ(block.colour(), Outside);
}

TEST_F(BlockTest, BandAccessRefusesBandsOutsideTheTable)
{
    Block block;
    int low = -9, high = -9;
    EXPECT_FALSE(block.colourBand(6, low, high));
    EXPECT_FALSE(block.colourBand(-1, low, high));
    EXPECT_EQ(low, -9);
    EXPECT_FALSE(block.setColourBand(6, 0, 99));
    ASSERT_TRUE(block.colourBand(5, low, high));
    EXPECT_EQ(low, 78);
    EXPECT_EQ(high, 99);
}

TEST_F(BlockTest, GeneratorFollowsTheReferenceSequence)
{
    // The C standard's example generator from seed 1.
    seedBlockRandom(1);
    const int expected[] = {16838, 5758, 10113, 17515, 31051};
    for (int value : expected)
        EXPECT_EQ(nextBlockRandom(), value);
}

TEST_F(BlockTest, ConstructionSeedsFromTheClockAndRollsOnce)
{
    headless::setClock(123456);
    const Block reference;
    seedBlockRandom(123456);
    const int expected = reference.colourForDraw(nextBlockRandom() % 100);
    EXPECT_EQ(reference.colour(), expected);

    // Blocks of any kind made in the same millisecond start alike.
    const PairBlock pair;
    const DropBlock drop;
    EXPECT_EQ(pair.colour(), expected);
    EXPECT_EQ(drop.colour(), expected);
}

TEST_F(BlockTest, CopyFromKeepsRawHalfRowsAndBands)
{
    PairBlock pair;
    ASSERT_TRUE(pair.setColumn(6));
    ASSERT_TRUE(pair.setHalfRow(21));
    pair.setColour(Stone);
    ASSERT_TRUE(pair.setColourBand(2, 40, 41));

    Block plain;
    plain.copyFrom(pair);
    EXPECT_EQ(plain.column(), 6);
    EXPECT_EQ(plain.row(), 21);  // half rows stay half rows
    EXPECT_EQ(plain.colour(), Stone);
    int low = 0, high = 0;
    ASSERT_TRUE(plain.colourBand(2, low, high));
    EXPECT_EQ(low, 40);
    EXPECT_EQ(high, 41);

    PairBlock back;
    back.copyFrom(plain);
    EXPECT_EQ(back.pairRow(true), 10);
}

TEST_F(BlockTest, ConstructionFromAnotherKindTakesItsValues)
{
    Block source;
    ASSERT_TRUE(source.setColumn(2));
    ASSERT_TRUE(source.setRow(9));
    source.setColour(3);
    const ClearBlock clear(source);
    const DropBlock drop(source);
    EXPECT_EQ(clear.column(), 2);
    EXPECT_EQ(clear.row(), 9);
    EXPECT_EQ(clear.colour(), 3);
    EXPECT_EQ(drop.column(), 2);
    EXPECT_EQ(drop.row(), 9);
    EXPECT_EQ(drop.colour(), 3);
}
