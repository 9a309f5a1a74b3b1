#include "field/puzzle_field.h"

PuzzleField::PuzzleField()
{
    // Node storage for the largest match check and drop any grid can give,
    // so that no frame asks the heap for list nodes. A check holds at most
    // three entries for each cell of a row line and of a column line (the
    // cell and its two side stones), two end stones a line, the bomb group
    // with its working copy and the line group being built: below ten
    // entries a cell. A drop step holds the drops and the ones still falling.
    ClearGroup::reserveNodes(10 * CellCount);
    GroupList::reserveNodes(MaxGroups);
    DropList::reserveNodes(2 * CellCount);
    reset();
}

PuzzleField::~PuzzleField() = default;

// ---- Grid ----

int PuzzleField::cellAt(int column, int row) const
{
    if (!onGrid(column, row)) return Outside;
    return grid_[row * GridColumns + column];
}

bool PuzzleField::setCell(int column, int row, int code)
{
    if (!onGrid(column, row)) return false;
    grid_[row * GridColumns + column] = code;
    return true;
}

int PuzzleField::landingRow(int column, int startRow) const
{
    if (column < 0 || column >= GridColumns) return -1;
    if (startRow < 0 || startRow >= GridRows) return startRow;
    int row = startRow;
    while (row < GridRows && cellAt(column, row) == Empty)
        ++row;
    return row;
}

// ---- Falling pair and preview ----

bool PuzzleField::setSpawnPosition(int index, int column, int row)
{
    if (!validPairIndex(index)) return false;
    spawnColumn_[index] = column;
    spawnRow_[index] = row;
    return true;
}

bool PuzzleField::spawnPosition(int index, int& column, int& row) const
{
    if (!validPairIndex(index)) return false;
    column = spawnColumn_[index];
    row = spawnRow_[index];
    return true;
}

bool PuzzleField::spawnPairBlock(int index)
{
    if (!validPairIndex(index)) return false;
    // A new pair starts its fall and move gates afresh.
    PairBlock::setFallStamp(0);
    PairBlock::setMoveStamp(0);
    PairBlock& falling = pairs_[fallingSlot(index)];
    PairBlock& next = pairs_[nextSlot(index)];
    falling.setColour(next.colour());
    falling.setColumn(spawnColumn_[index]);
    falling.setHalfRow(spawnRow_[index] * 2);
    next.rollColour();
    return true;
}

bool PuzzleField::getPairBlock(int index, Block& out) const
{
    if (!validPairIndex(index)) return false;
    out.copyFrom(pairs_[fallingSlot(index)]);
    return true;
}

bool PuzzleField::putPairBlock(int index, const Block& in)
{
    if (!validPairIndex(index)) return false;
    pairs_[fallingSlot(index)].copyFrom(in);
    return true;
}

int PuzzleField::nextColour(int index) const
{
    if (!validPairIndex(index)) return -1;
    return pairs_[nextSlot(index)].colour();
}

PairOrientation PuzzleField::pairOrientation() const
{
    const PairBlock& first = pairs_[fallingSlot(0)];
    const PairBlock& second = pairs_[fallingSlot(1)];
    if (second.column() < first.column()) return PairLeft;
    if (second.column() > first.column()) return PairRight;
    const int firstRow = first.pairRow(true);
    const int secondRow = second.pairRow(true);
    if (secondRow < firstRow) return PairAbove;
    if (secondRow > firstRow) return PairBelow;
    return PairSameCell;
}

bool PuzzleField::pairNeighbours(int index, int& above, int& below, int& left, int& right) const
{
    if (!validPairIndex(index)) return false;
    const PairBlock& block = pairs_[fallingSlot(index)];
    const int x = block.column();
    const int y = block.pairRow(true);
    above = cellAt(x, y - 1);
    below = cellAt(x, y + 1);
    left = cellAt(x - 1, y);
    right = cellAt(x + 1, y);
    return true;
}

void PuzzleField::reset()
{
    for (int& cell : grid_)
        cell = Empty;
    pairs_[nextSlot(0)].rollColour();
    pairs_[nextSlot(1)].rollColour();
    bombArmed_ = false;
    bombColourA_ = Outside;
    bombColourB_ = Outside;
    score_ = 0;
    level_ = 0;
    chainSteps_ = 0;
    chainCleared_ = 0;
    clearedCount_ = 0;
    menuCursor_ = 9;
    for (int& letter : nameLetters_)
        letter = 0;
    nameCursor_ = 0;
    overCount_ = 0;
    overStamp_ = 0;
    curtainOffset_ = 0;
    curtainStamp_ = 0;
}
