#include "field/block_list.h"
#include "field/random.h"
#include "field_test_support.h"

class BlockListTest : public FieldTestBase {
protected:
    static Block at(int column, int row, int colour)
    {
        Block block;
        block.setColumn(column);
        block.setRow(row);
        block.setColour(colour);
        return block;
    }
};

TEST_F(BlockListTest, EmptyListHasNothingToGive)
{
    const CellList list;
    EXPECT_EQ(list.size(), 0);
    EXPECT_EQ(list.last(), nullptr);
    EXPECT_EQ(list.at(0), nullptr);
    EXPECT_EQ(list.begin(), list.end());
}

TEST_F(BlockListTest, ElementsKeepTheirAppendOrder)
{
    CellList list;
    list.append(at(0, 0, 1));
    list.append(at(1, 2, 3));
    list.append(at(7, 11, Stone));
    ASSERT_EQ(list.size(), 3);
    EXPECT_EQ(entries(list), (std::vector<Entry>{{0, 0, 1}, {1, 2, 3}, {7, 11, Stone}}));
    ASSERT_NE(list.at(1), nullptr);
    EXPECT_EQ(list.at(1)->column(), 1);
    ASSERT_NE(list.last(), nullptr);
    EXPECT_EQ(list.last()->colour(), Stone);
    EXPECT_EQ(list.at(-1), nullptr);
    EXPECT_EQ(list.at(3), nullptr);
}

TEST_F(BlockListTest, AppendedBlockBecomesTheListsKindWithTheSameValues)
{
    PairBlock pair;
    pair.setColumn(5);
    pair.setHalfRow(17);
    pair.setColour(Bomb);
    pair.setColourBand(0, 50, 60);
    ClearGroup group;
    group.append(pair);
    const ClearBlock* element = group.at(0);
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->column(), 5);
    EXPECT_EQ(element->row(), 17);
    EXPECT_EQ(element->colour(), Bomb);
    int low = 0, high = 0;
    ASSERT_TRUE(element->colourBand(0, low, high));
    EXPECT_EQ(low, 50);
    EXPECT_EQ(high, 60);
}

TEST_F(BlockListTest, AssignReplacesAndEmptySourceEmpties)
{
    DropList source;
    source.append(at(1, 1, 1));
    source.append(at(2, 2, 2));
    DropList target;
    target.append(at(6, 6, 0));
    target.assign(source);
    EXPECT_EQ(entries(target), entries(source));
    target.append(at(3, 3, 3));  // the tail still links after assign
    EXPECT_EQ(target.size(), 3);
    EXPECT_EQ(source.size(), 2);

    target.assign(DropList());
    EXPECT_EQ(target.size(), 0);
    EXPECT_EQ(target.last(), nullptr);
}

TEST_F(BlockListTest, AssigningAListToItselfKeepsIt)
{
    DropList list;
    list.append(at(4, 5, 2));
    list.assign(list);
    EXPECT_EQ(entries(list), (std::vector<Entry>{{4, 5, 2}}));
    const DropList& same = list;
    list = same;
    EXPECT_EQ(list.size(), 1);
}

TEST_F(BlockListTest, GroupListCopyOwnsItsOwnGroups)
{
    GroupList source;
    for (int g = 0; g < 2; ++g) {
        ClearGroup group;
        for (int i = 0; i < 3; ++i)
            group.append(at(i, g, g));
        source.append(group);
    }
    GroupList copy(source);
    ASSERT_EQ(copy.size(), 2);
    EXPECT_EQ(entries(*copy.at(1)), entries(*source.at(1)));
    EXPECT_NE(copy.at(0), source.at(0));

    copy.clear();
    ASSERT_EQ(source.size(), 2);
    EXPECT_EQ(entries(*source.at(0)), (std::vector<Entry>{{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}));
    EXPECT_EQ(entries(*source.at(1)), (std::vector<Entry>{{0, 1, 1}, {1, 1, 1}, {2, 1, 1}}));

    GroupList assigned;
    assigned = source;
    source.clear();
    ASSERT_EQ(assigned.size(), 2);
    EXPECT_EQ(assigned.at(1)->size(), 3);
}

// Lists reuse the storage of cleared nodes; an element put there is still a
// new block, which reseeds the colour generator from the clock and draws once.
TEST_F(BlockListTest, AnElementInReusedStorageStillReseedsTheColours)
{
    DropList list;
    list.append(at(1, 1, 1));
    list.clear();

    const Block element = at(2, 3, 0);
    headless::setClock(5678);
    seedBlockRandom(1);
    list.append(element);
    const int afterAppend = nextBlockRandom();

    seedBlockRandom(5678);
    nextBlockRandom();
    EXPECT_EQ(afterAppend, nextBlockRandom());
    EXPECT_EQ(entries(list), (std::vector<Entry>{{2, 3, 0}}));
}

TEST_F(BlockListTest, ReadingInPlaceReseedsAsACopyWould)
{
    const Block element = at(0, 0, 2);
    headless::setClock(4321);
    seedBlockRandom(99);
    DropList copied;
    copied.append(element);
    const int afterCopy = nextBlockRandom();

    headless::setClock(4321);
    seedBlockRandom(99);
    reseedAsNewBlock();
    EXPECT_EQ(nextBlockRandom(), afterCopy);
}
