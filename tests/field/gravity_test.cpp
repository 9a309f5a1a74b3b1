#include "field/puzzle_field.h"
#include "field_test_support.h"

class GravityTest : public FieldTestBase {
protected:
    // Settles as play control does: collect, lift the floating blocks out of
    // the grid.
    void liftFloating()
    {
        field.clearDrops();
        field.collectFloating();
        DropList working;
        field.copyDrops(working);
        CellList cells;
        for (const DropBlock& block : working)
            cells.append(block);
        field.emptyCells(cells);
    }
    // Steps until the next cell step has happened (offset back at 12).
    void stepToNextCell(std::uint32_t& now)
    {
        for (;;) {
            const bool cellStep = DropBlock::dropOffset() >= CellSize;
            now += 30;
            field.stepDrop(now);
            if (cellStep) return;
        }
    }
    std::string column(int c) const
    {
        std::string codes;
        for (int row = 0; row < GridRows; ++row)
            codes += static_cast<char>('0' + field.cellAt(c, row));
        return codes;
    }

    PuzzleField field;
};

TEST_F(GravityTest, GapUnderTwoBlocksClosesInOneCellStep)
{
    setColumnCodes(field, 0, "666666662161");  // rows 8, 9 over an empty row 10
    field.collectFloating();
    EXPECT_EQ(entries(field.drops()), (std::vector<Entry>{{0, 9, 1}, {0, 8, 2}}));
    EXPECT_EQ(column(0), "666666662161");  // collecting leaves the grid alone

    liftFloating();
    EXPECT_EQ(column(0), "666666666661");
    for (int step = 0; step < 3; ++step)
        field.stepDrop(100 + step);
    EXPECT_EQ(column(0), "666666666661");  // only drawn lower so far
    field.stepDrop(200);
    EXPECT_EQ(column(0), "666666666211");
    EXPECT_EQ(field.drops().size(), 0);
}

TEST_F(GravityTest, BlocksOverTwoGapsStackWithoutGaps)
{
    setColumnCodes(field, 5, "666666636261");  // 3 at row 7, 2 at row 9
    liftFloating();
    EXPECT_EQ(column(5), "666666666661");
    std::uint32_t now = 0;
    stepToNextCell(now);
    EXPECT_EQ(column(5), "666666666621");
    EXPECT_EQ(entries(field.drops()), (std::vector<Entry>{{5, 8, 3}}));
    stepToNextCell(now);
    EXPECT_EQ(column(5), "666666666321");
    EXPECT_EQ(field.drops().size(), 0);
}

TEST_F(GravityTest, BlockOverAnEmptyBottomRowLandsOnTheFloor)
{
    field.setCell(2, 10, Stone);
    liftFloating();
    ASSERT_EQ(field.drops().size(), 1);
    std::uint32_t now = 0;
    stepToNextCell(now);
    EXPECT_EQ(field.cellAt(2, 11), Stone);
    EXPECT_EQ(field.cellAt(2, 10), Empty);
    EXPECT_EQ(field.drops().size(), 0);
}

TEST_F(GravityTest, FullAndBottomFilledColumnsGiveNothing)
{
    setColumnCodes(field, 0, "012301230123");
    setColumnCodes(field, 1, "666666012301");
    field.collectFloating();
    EXPECT_EQ(field.drops().size(), 0);
}

TEST_F(GravityTest, DropsRunColumnByColumnEachFromTheBottomUp)
{
    setColumnCodes(field, 6, "666666106661");
    setColumnCodes(field, 1, "666666666236");
    field.collectFloating();
    EXPECT_EQ(entries(field.drops()), (std::vector<Entry>{{1, 10, 3}, {1, 9, 2}, {6, 7, 0}, {6, 6, 1}}));
}

TEST_F(GravityTest, OffsetsRunTwelveTwentyFourThirtySixThenACellStep)
{
    setColumnCodes(field, 4, "663666666666");
    liftFloating();
    const int offsets[] = {12, 24, 36, 12, 24, 36, 12};
    const int rows[] = {2, 2, 2, 3, 3, 3, 4};
    std::uint32_t now = 1000;
    for (int i = 0; i < 7; ++i) {
        field.stepDrop(now);
        EXPECT_EQ(DropBlock::dropOffset(), offsets[i]) << "step " << i + 1;
        EXPECT_EQ(DropBlock::dropStamp(), now);
        ASSERT_EQ(field.drops().size(), 1);
        EXPECT_EQ(field.drops().at(0)->row(), rows[i]) << "step " << i + 1;
        now += 30;
    }
}

TEST_F(GravityTest, LandingEndsTheFallAtTheBottom)
{
    setColumnCodes(field, 4, "666666666306");  // 0 at row 10, 3 at row 9
    liftFloating();
    std::uint32_t now = 0;
    stepToNextCell(now);
    EXPECT_EQ(column(4), "666666666630");
    EXPECT_EQ(field.drops().size(), 0);
    const std::uint32_t stamp = DropBlock::dropStamp();
    field.stepDrop(now + 30);
    EXPECT_EQ(DropBlock::dropOffset(), 12);
    EXPECT_EQ(DropBlock::dropStamp(), stamp);
}

TEST_F(GravityTest, NoDropsMeansNoStep)
{
    DropBlock::setDropOffset(24);
    DropBlock::setDropStamp(55);
    field.stepDrop(900);
    EXPECT_EQ(DropBlock::dropOffset(), 24);
    EXPECT_EQ(DropBlock::dropStamp(), 55u);
    field.clearDrops();
    EXPECT_EQ(DropBlock::dropOffset(), 0);
    EXPECT_EQ(DropBlock::dropStamp(), 0u);
}

TEST_F(GravityTest, EmptyCellsSkipsPositionsOffTheGridAndKeepsTheCallersList)
{
    setRowCodes(field, 11, "12301230");
    CellList cells;
    Block block;
    block.setColumn(2);
    block.setRow(11);
    cells.append(block);
    PairBlock offGrid;  // half row 23: row 23 lies below the grid
    offGrid.setColumn(2);
    offGrid.setHalfRow(23);
    cells.append(offGrid);
    field.emptyCells(cells);
    EXPECT_EQ(field.cellAt(2, 11), Empty);
    EXPECT_EQ(field.cellAt(1, 11), 2);
    EXPECT_EQ(cells.size(), 2);
}
