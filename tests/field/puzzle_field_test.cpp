#include "field/puzzle_field.h"
#include "field/random.h"
#include "field_test_support.h"

class PuzzleFieldTest : public FieldTestBase {
protected:
    // Places falling block `index` at a column and half row.
    static void placePair(PuzzleField& field, int index, int column, int halfRow)
    {
        PairBlock block;
        ASSERT_TRUE(block.setColumn(column));
        ASSERT_TRUE(block.setHalfRow(halfRow));
        ASSERT_TRUE(field.putPairBlock(index, block));
    }
};

TEST_F(PuzzleFieldTest, CellsOffTheGridReadOutsideAndCannotBeSet)
{
    PuzzleField field;
    EXPECT_EQ(field.cellAt(0, 0), Empty);
    EXPECT_EQ(field.cellAt(7, 11), Empty);
    EXPECT_EQ(field.cellAt(8, 0), Outside);
    EXPECT_EQ(field.cellAt(-1, 0), Outside);
    EXPECT_EQ(field.cellAt(0, 12), Outside);
    EXPECT_EQ(field.cellAt(0, -1), Outside);

    const std::vector<int> before = gridCells(field);
    EXPECT_FALSE(field.setCell(8, 0, 1));
    EXPECT_FALSE(field.setCell(-1, 5, 1));
    EXPECT_FALSE(field.setCell(3, 12, 1));
    EXPECT_FALSE(field.setCell(3, -1, 1));
    EXPECT_EQ(gridCells(field), before);
}

TEST_F(PuzzleFieldTest, GridIsStoredRowByRowFromTheTopLeft)
{
    PuzzleField field;
    ASSERT_TRUE(field.setCell(7, 0, 1));
    ASSERT_TRUE(field.setCell(0, 1, 2));
    ASSERT_TRUE(field.setCell(7, 11, 3));
    const std::vector<int> cells = gridCells(field);
    EXPECT_EQ(cells[7], 1);
    EXPECT_EQ(cells[8], 2);
    EXPECT_EQ(cells[95], 3);
    // Codes are stored without a range test.
    ASSERT_TRUE(field.setCell(2, 2, 42));
    EXPECT_EQ(field.cellAt(2, 2), 42);
}

TEST_F(PuzzleFieldTest, LandingRowFindsTheFirstOccupiedCellBelow)
{
    PuzzleField field;
    EXPECT_EQ(field.landingRow(8, 0), -1);
    EXPECT_EQ(field.landingRow(-1, 0), -1);
    EXPECT_EQ(field.landingRow(2, 0), 12);
    EXPECT_EQ(field.landingRow(2, 12), 12);
    EXPECT_EQ(field.landingRow(2, 40), 40);
    EXPECT_EQ(field.landingRow(2, -3), -3);

    field.setCell(2, 11, 0);
    for (int start = 0; start < GridRows; ++start)
        EXPECT_EQ(field.landingRow(2, start), 11) << "from row " << start;

    field.setCell(2, 4, Stone);
    EXPECT_EQ(field.landingRow(2, 0), 4);
    EXPECT_EQ(field.landingRow(2, 4), 4);
    EXPECT_EQ(field.landingRow(2, 5), 11);
}

TEST_F(PuzzleFieldTest, SpawnPlacesThePairOneAboveTheOtherWithThePreviewColours)
{
    PuzzleField field;
    ASSERT_TRUE(field.setSpawnPosition(0, 3, 0));
    ASSERT_TRUE(field.setSpawnPosition(1, 3, 1));
    const int preview0 = field.nextColour(0);
    const int preview1 = field.nextColour(1);
    PairBlock::setFallStamp(500);
    PairBlock::setMoveStamp(600);
    PairBlock::setTurnStamp(700);

    ASSERT_TRUE(field.spawnPairBlock(0));
    ASSERT_TRUE(field.spawnPairBlock(1));

    Block first, second;
    ASSERT_TRUE(field.getPairBlock(0, first));
    ASSERT_TRUE(field.getPairBlock(1, second));
    EXPECT_EQ(first.column(), 3);
    EXPECT_EQ(first.row(), 0);
    EXPECT_EQ(first.colour(), preview0);
    EXPECT_EQ(second.column(), 3);
    EXPECT_EQ(second.row(), 2);  // half rows
    EXPECT_EQ(second.colour(), preview1);
    EXPECT_EQ(field.pairOrientation(), 3);
    EXPECT_EQ(PairBlock::fallStamp(), 0u);
    EXPECT_EQ(PairBlock::moveStamp(), 0u);
    EXPECT_EQ(PairBlock::turnStamp(), 700u);  // turns keep their gate
}

TEST_F(PuzzleFieldTest, SpawnRollsTheNextColourFromTheGenerator)
{
    PuzzleField field;
    const Block reference;
    seedBlockRandom(99);
    const int expected = reference.colourForDraw(nextBlockRandom() % 100);
    seedBlockRandom(99);
    ASSERT_TRUE(field.spawnPairBlock(1));
    EXPECT_EQ(field.nextColour(1), expected);
}

TEST_F(PuzzleFieldTest, PairOperationsRefuseOtherIndices)
{
    PuzzleField field;
    field.setSpawnPosition(0, 3, 0);
    field.setSpawnPosition(1, 3, 1);
    field.spawnPairBlock(0);
    field.spawnPairBlock(1);
    PairBlock::setFallStamp(40);
    const int preview0 = field.nextColour(0);
    Block probe;
    probe.setColumn(6);

    EXPECT_FALSE(field.spawnPairBlock(2));
    EXPECT_FALSE(field.spawnPairBlock(-1));
    EXPECT_EQ(PairBlock::fallStamp(), 40u);
    EXPECT_EQ(field.nextColour(0), preview0);
    EXPECT_EQ(field.nextColour(2), -1);
    EXPECT_EQ(field.nextColour(-1), -1);
    EXPECT_FALSE(field.setSpawnPosition(2, 0, 0));
    EXPECT_FALSE(field.getPairBlock(2, probe));
    EXPECT_EQ(probe.column(), 6);
    EXPECT_FALSE(field.putPairBlock(2, probe));
    int a = -9, b = -9, l = -9, r = -9;
    EXPECT_FALSE(field.pairNeighbours(2, a, b, l, r));
    EXPECT_EQ(a, -9);
    Block first;
    field.getPairBlock(0, first);
    EXPECT_EQ(first.column(), 3);
}

TEST_F(PuzzleFieldTest, OrientationJudgesColumnsThenCellRows)
{
    PuzzleField field;
    placePair(field, 0, 3, 5);
    placePair(field, 1, 3, 4);  // both in cell row 2
    EXPECT_EQ(field.pairOrientation(), -1);
    placePair(field, 0, 3, 4);
    placePair(field, 1, 3, 2);
    EXPECT_EQ(field.pairOrientation(), 2);
    placePair(field, 1, 3, 7);
    EXPECT_EQ(field.pairOrientation(), 3);
    placePair(field, 1, 2, 23);
    EXPECT_EQ(field.pairOrientation(), 0);
    placePair(field, 1, 4, 0);
    EXPECT_EQ(field.pairOrientation(), 1);
    // At the borders of the grid.
    placePair(field, 0, 0, 23);
    placePair(field, 1, 0, 21);
    EXPECT_EQ(field.pairOrientation(), 2);
    placePair(field, 0, 7, 0);
    placePair(field, 1, 6, 1);
    EXPECT_EQ(field.pairOrientation(), 0);
}

TEST_F(PuzzleFieldTest, NeighboursUseTheCellRowAndReadOutsideAtTheBorders)
{
    PuzzleField field;
    setRowCodes(field, 10, "01234000");
    setRowCodes(field, 11, "32100000");
    int above, below, left, right;

    placePair(field, 0, 0, 19);  // cell row 9, column 0
    ASSERT_TRUE(field.pairNeighbours(0, above, below, left, right));
    EXPECT_EQ(above, Empty);
    EXPECT_EQ(below, 0);
    EXPECT_EQ(left, Outside);
    EXPECT_EQ(right, Empty);

    placePair(field, 1, 1, 23);  // cell row 11, column 1
    ASSERT_TRUE(field.pairNeighbours(1, above, below, left, right));
    EXPECT_EQ(above, 1);
    EXPECT_EQ(below, Outside);
    EXPECT_EQ(left, 3);
    EXPECT_EQ(right, 1);

    placePair(field, 1, 7, 1);  // cell row 0, column 7
    ASSERT_TRUE(field.pairNeighbours(1, above, below, left, right));
    EXPECT_EQ(above, Outside);
    EXPECT_EQ(right, Outside);
    EXPECT_EQ(left, Empty);
}

TEST_F(PuzzleFieldTest, ResetStartsANewGameButKeepsThePairAndSpawns)
{
    PuzzleField field;
    field.setSpawnPosition(0, 5, 2);
    placePair(field, 0, 1, 9);
    placePair(field, 1, 2, 9);
    field.setCell(4, 4, 2);
    field.setBomb(true, 1, 2);
    field.setScore(1234);
    field.setClearedCount(200);
    field.setChainState(3, 9);
    field.moveMenuCursor('d');
    field.editName(NameLetterNext);
    field.editName(NameCursorRight);
    field.advanceOverCount();
    field.setOverStamp(10);
    field.advanceCurtain();
    field.setCurtainStamp(20);

    const Block reference;
    seedBlockRandom(4242);
    const int preview0 = reference.colourForDraw(nextBlockRandom() % 100);
    const int preview1 = reference.colourForDraw(nextBlockRandom() % 100);
    seedBlockRandom(4242);
    field.reset();

    EXPECT_EQ(gridCells(field), std::vector<int>(PuzzleField::CellCount, Empty));
    EXPECT_EQ(field.nextColour(0), preview0);
    EXPECT_EQ(field.nextColour(1), preview1);
    bool armed = true;
    int a = 0, b = 0;
    field.bombState(armed, a, &b);
    EXPECT_FALSE(armed);
    EXPECT_EQ(a, Outside);
    EXPECT_EQ(b, Outside);
    EXPECT_EQ(field.score(), 0);
    EXPECT_EQ(field.level(), 0);
    EXPECT_EQ(field.clearedCount(), 0);
    int steps = -1, cleared = -1;
    field.chainState(steps, cleared);
    EXPECT_EQ(steps, 0);
    EXPECT_EQ(cleared, 0);
    EXPECT_EQ(field.menuCursor(), 9);
    EXPECT_EQ(field.nameLetter(0), 0);
    EXPECT_EQ(field.nameCursor(), 0);
    EXPECT_EQ(field.overCount(), 0);
    EXPECT_EQ(field.overStamp(), 0u);
    EXPECT_EQ(field.curtainOffset(), 0);
    EXPECT_EQ(field.curtainStamp(), 0u);
    EXPECT_EQ(field.fadeStep(), 51);

    Block first;
    field.getPairBlock(0, first);
    EXPECT_EQ(first.column(), 1);
    EXPECT_EQ(first.row(), 9);
    int column = 0, row = 0;
    ASSERT_TRUE(field.spawnPosition(0, column, row));
    EXPECT_EQ(column, 5);
    EXPECT_EQ(row, 2);
}
