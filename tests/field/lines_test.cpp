#include "field/puzzle_field.h"
#include "field_test_support.h"

class LinesTest : public FieldTestBase {
protected:
    // Groups of one row scan, as (column, row, code) triples.
    std::vector<std::vector<Entry>> rowGroups(int row)
    {
        GroupList out;
        field.scanRow(row, out);
        return allEntries(out);
    }
    std::vector<std::vector<Entry>> columnGroups(int column)
    {
        GroupList out;
        field.scanColumn(column, out);
        return allEntries(out);
    }
    static std::vector<std::vector<Entry>> allEntries(const GroupList& list)
    {
        std::vector<std::vector<Entry>> out;
        for (const ClearGroup& group : list)
            out.push_back(entries(group));
        return out;
    }

    PuzzleField field;
};

using Groups = std::vector<std::vector<Entry>>;

TEST_F(LinesTest, ThreeInARowFromTheLeftEdge)
{
    setRowCodes(field, 4, "00066666");
    EXPECT_EQ(rowGroups(4), (Groups{{{0, 4, 0}, {1, 4, 0}, {2, 4, 0}}}));
}

TEST_F(LinesTest, FullRowIsOneGroupFoundAtTheEnd)
{
    setRowCodes(field, 11, "11111111");
    const Groups groups = rowGroups(11);
    ASSERT_EQ(groups.size(), 1u);
    ASSERT_EQ(groups[0].size(), 8u);
    EXPECT_EQ(groups[0].front(), (Entry{0, 11, 1}));
    EXPECT_EQ(groups[0].back(), (Entry{7, 11, 1}));
}

TEST_F(LinesTest, TwoRunsComeOutLeftToRight)
{
    setRowCodes(field, 0, "00011166");
    EXPECT_EQ(rowGroups(0), (Groups{{{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}, {{3, 0, 1}, {4, 0, 1}, {5, 0, 1}}}));
}

TEST_F(LinesTest, EmptyCellsBreakRunsAndStonesNeverLineUp)
{
    setRowCodes(field, 3, "00600600");
    setRowCodes(field, 5, "44446666");
    setRowCodes(field, 7, "66644466");
    EXPECT_TRUE(rowGroups(3).empty());
    EXPECT_TRUE(rowGroups(5).empty());
    EXPECT_TRUE(rowGroups(7).empty());
    // Stones and empties between colours: 0 4 0 4 0 is no line either.
    setRowCodes(field, 9, "04040666");
    EXPECT_TRUE(rowGroups(9).empty());
}

TEST_F(LinesTest, RowRunTakesTheStonesBesideItFirst)
{
    setRowCodes(field, 6, "64222466");
    EXPECT_EQ(rowGroups(6), (Groups{{{1, 6, Stone}, {5, 6, Stone}, {2, 6, 2}, {3, 6, 2}, {4, 6, 2}}}));
}

TEST_F(LinesTest, RowRunTakesStonesBelowThenAboveEachBlock)
{
    setRowCodes(field, 4, "66464666");
    setRowCodes(field, 5, "64111466");
    setRowCodes(field, 6, "66644666");
    EXPECT_EQ(rowGroups(5), (Groups{{{1, 5, Stone},
                                     {5, 5, Stone},
                                     {2, 5, 1},
                                     {2, 4, Stone},
                                     {3, 5, 1},
                                     {3, 6, Stone},
                                     {4, 5, 1},
                                     {4, 6, Stone},
                                     {4, 4, Stone}}}));
}

TEST_F(LinesTest, BottomRowRunReadsOutsideBelow)
{
    setRowCodes(field, 11, "66622266");
    field.setCell(4, 10, Stone);
    EXPECT_EQ(rowGroups(11), (Groups{{{3, 11, 2}, {4, 11, 2}, {4, 10, Stone}, {5, 11, 2}}}));
}

TEST_F(LinesTest, RunAtTheRightEdgeTakesTheStoneBeforeIt)
{
    setRowCodes(field, 0, "66664333");
    field.setCell(7, 1, Stone);
    EXPECT_EQ(rowGroups(0), (Groups{{{4, 0, Stone}, {5, 0, 3}, {6, 0, 3}, {7, 0, 3}, {7, 1, Stone}}}));
}

TEST_F(LinesTest, BombsLineUpLikeAColour)
{
    setRowCodes(field, 2, "55566666");
    EXPECT_EQ(rowGroups(2), (Groups{{{0, 2, Bomb}, {1, 2, Bomb}, {2, 2, Bomb}}}));
}

TEST_F(LinesTest, ColumnRunTakesStonesAboveBelowThenRightAndLeft)
{
    //            rows 0..11
    setColumnCodes(field, 3, "666642224666");
    field.setCell(4, 6, Stone);
    field.setCell(2, 6, Stone);
    field.setCell(2, 5, Stone);
    EXPECT_EQ(columnGroups(3), (Groups{{{3, 4, Stone},
                                        {3, 8, Stone},
                                        {3, 5, 2},
                                        {2, 5, Stone},
                                        {3, 6, 2},
                                        {4, 6, Stone},
                                        {2, 6, Stone},
                                        {3, 7, 2}}}));
}

TEST_F(LinesTest, ColumnRunsAtTheTopAndBottomEdges)
{
    setColumnCodes(field, 0, "111466666000");
    field.setCell(1, 0, Stone);
    EXPECT_EQ(columnGroups(0), (Groups{{{0, 3, Stone}, {0, 0, 1}, {1, 0, Stone}, {0, 1, 1}, {0, 2, 1}},
                                       {{0, 9, 0}, {0, 10, 0}, {0, 11, 0}}}));
    setColumnCodes(field, 7, "666666664000");
    field.setCell(6, 11, Stone);
    EXPECT_EQ(columnGroups(7), (Groups{{{7, 8, Stone}, {7, 9, 0}, {7, 10, 0}, {7, 11, 0}, {6, 11, Stone}}}));
}

TEST_F(LinesTest, ScansOffTheGridReturnMinusOneAndLeaveTheOutput)
{
    GroupList out;
    ClearGroup group;
    group.append(ClearBlock());
    out.append(group);
    EXPECT_EQ(field.scanRow(12, out), -1);
    EXPECT_EQ(field.scanRow(-1, out), -1);
    EXPECT_EQ(field.scanColumn(8, out), -1);
    EXPECT_EQ(field.scanColumn(-1, out), -1);
    EXPECT_EQ(out.size(), 1);
    // On the grid the result counts what the output list holds.
    setRowCodes(field, 1, "22266666");
    EXPECT_EQ(field.scanRow(1, out), 2);
}

TEST_F(LinesTest, CrossingLinesAreTwoGroupsAndTheSharedCellCountsTwice)
{
    setRowCodes(field, 9, "66111666");
    field.setCell(3, 8, 1);
    field.setCell(3, 10, 1);
    EXPECT_EQ(field.findLines(), 2);
    ASSERT_EQ(field.groups().size(), 2);
    // Row groups come before column groups.
    EXPECT_EQ(field.groups().at(0)->at(0)->row(), 9);
    EXPECT_EQ(field.groups().at(1)->at(0)->column(), 3);
    EXPECT_EQ(field.removeGroups(), 6);
    EXPECT_EQ(gridCells(field), std::vector<int>(PuzzleField::CellCount, Empty));
    // The groups stay for the fade.
    EXPECT_EQ(field.groups().size(), 2);
}

TEST_F(LinesTest, NothingToFindLeavesNoGroups)
{
    EXPECT_EQ(field.findLines(), 0);
    EXPECT_EQ(field.groups().size(), 0);
    EXPECT_EQ(field.collectBombGroup(), 0);  // not armed
    EXPECT_EQ(field.groups().size(), 0);
}

TEST_F(LinesTest, BombGroupTakesTheColourBombsAndStonesTouchingThem)
{
    // rows 8..11
    setRowCodes(field, 8, "44666624");
    setRowCodes(field, 9, "44662666");
    setRowCodes(field, 10, "66454166");
    setRowCodes(field, 11, "22434100");
    field.setBomb(true, 2, Outside);

    EXPECT_EQ(field.collectBombGroup(), 9);
    ASSERT_EQ(field.groups().size(), 1);
    // The stones at the top left touch only stones; the stone at (4, 11)
    // touches a 3, a 1, a stone and the floor, none of which is taken.
    EXPECT_EQ(entries(*field.groups().at(0)), (std::vector<Entry>{{6, 8, 2},
                                                                  {7, 8, Stone},
                                                                  {4, 9, 2},
                                                                  {2, 10, Stone},
                                                                  {3, 10, Bomb},
                                                                  {4, 10, Stone},
                                                                  {0, 11, 2},
                                                                  {1, 11, 2},
                                                                  {2, 11, Stone}}));
    bool armed = false;
    int a = 0;
    field.bombState(armed, a);
    EXPECT_TRUE(armed);  // the caller disarms
}

TEST_F(LinesTest, BombGroupWithTwoColours)
{
    setRowCodes(field, 11, "01234566");
    field.setBomb(true, 0, 3);
    EXPECT_EQ(field.collectBombGroup(), 4);
    EXPECT_EQ(entries(*field.groups().at(0)),
              (std::vector<Entry>{{0, 11, 0}, {3, 11, 3}, {4, 11, Stone}, {5, 11, Bomb}}));
}

TEST_F(LinesTest, BombOnTheFloorStillClearsBombsAndAnEmptyGroupIsKept)
{
    field.setBomb(true, Outside, Outside);
    EXPECT_EQ(field.collectBombGroup(), 0);
    EXPECT_EQ(field.groups().size(), 1);
    EXPECT_EQ(field.findLines(), 1);

    field.clearGroups();
    field.setCell(5, 11, Bomb);
    field.setCell(6, 11, Stone);
    EXPECT_EQ(field.collectBombGroup(), 2);
}

TEST_F(LinesTest, AnEmptyBombColourClearsNoEmptyCells)
{
    field.setCell(0, 11, Bomb);
    field.setBomb(true, Empty, Outside);
    EXPECT_EQ(field.collectBombGroup(), 1);
    EXPECT_EQ(field.removeGroups(), 1);
}

TEST_F(LinesTest, BombGroupComesBeforeTheLines)
{
    setRowCodes(field, 11, "11136666");
    field.setCell(4, 10, 3);
    field.setBomb(true, 3, Outside);
    field.collectBombGroup();
    EXPECT_EQ(field.findLines(), 2);
    EXPECT_EQ(field.groups().at(0)->size(), 2);  // the two 3s
    EXPECT_EQ(field.groups().at(1)->size(), 3);  // the row of 1s
    EXPECT_EQ(field.removeGroups(), 5);
}

TEST_F(LinesTest, FadeRunsDownInStepsOf51AndStops)
{
    setRowCodes(field, 11, "22266666");
    field.findLines();
    const int expected[] = {204, 153, 102, 51, 0, 0};
    std::uint32_t now = 1000;
    for (int level : expected) {
        field.stepFade(now);
        EXPECT_EQ(ClearBlock::fadeLevel(), level);
        EXPECT_EQ(ClearBlock::fadeStamp(), now);
        now += 100;
    }
    field.clearGroups();
    EXPECT_EQ(ClearBlock::fadeLevel(), 255);
    EXPECT_EQ(ClearBlock::fadeStamp(), 0u);
    EXPECT_EQ(field.groups().size(), 0);
}

TEST_F(LinesTest, FadeWithoutGroupsChangesNothing)
{
    ClearBlock::setFadeLevel(153);
    ClearBlock::setFadeStamp(77);
    field.stepFade(5000);
    EXPECT_EQ(ClearBlock::fadeLevel(), 153);
    EXPECT_EQ(ClearBlock::fadeStamp(), 77u);
}

TEST_F(LinesTest, CopyGroupsGivesAnIndependentCopy)
{
    setRowCodes(field, 11, "22266666");
    field.findLines();
    GroupList copy;
    field.copyGroups(copy);
    ASSERT_EQ(copy.size(), 1);
    EXPECT_EQ(entries(*copy.at(0)), entries(*field.groups().at(0)));
    field.clearGroups();
    EXPECT_EQ(copy.at(0)->size(), 3);
}
