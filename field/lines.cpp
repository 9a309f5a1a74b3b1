#include "field/puzzle_field.h"

namespace {
// A cleared entry: a fresh ClearBlock taking the cell's place and code.
ClearBlock clearEntry(int column, int row, int code)
{
    ClearBlock entry;
    entry.setColumn(column);
    entry.setRow(row);
    entry.setColour(code);
    return entry;
}
}  // namespace

void PuzzleField::clearGroups()
{
    groups_.clear();
    ClearBlock::setFadeLevel(255);
    ClearBlock::setFadeStamp(0);
}

void PuzzleField::setBomb(bool armed, int colourA, int colourB)
{
    bombArmed_ = armed;
    bombColourA_ = colourA;
    bombColourB_ = colourB;
}

void PuzzleField::bombState(bool& armed, int& colourA, int* colourB) const
{
    armed = bombArmed_;
    colourA = bombColourA_;
    if (colourB)
        *colourB = bombColourB_;
}

int PuzzleField::collectBombGroup()
{
    if (!bombArmed_)
        return 0;
    // An empty cell holds no block, so a bomb colour of Empty clears nothing
    // (as Outside never does); otherwise every empty cell would be "cleared"
    // and counted.
    const auto bombColour = [this](int code) {
        return code != Empty && (code == bombColourA_ || code == bombColourB_);
    };
    // Only neighbours on the grid count: a cell off the grid reads Outside,
    // which is also the "no colour" value of a bomb that landed on the floor.
    const auto stoneTaken = [&](int column, int row) {
        const int offsets[4][2] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};
        for (const auto& offset : offsets) {
            const int x = column + offset[0];
            const int y = row + offset[1];
            if (!onGrid(x, y))
                continue;
            const int code = cellAt(x, y);
            if (bombColour(code) || code == Bomb)
                return true;
        }
        return false;
    };

    ClearGroup group;
    for (int row = 0; row < GridRows; ++row) {
        for (int column = 0; column < GridColumns; ++column) {
            const int code = cellAt(column, row);
            if (bombColour(code) || (code == Stone && stoneTaken(column, row)) || code == Bomb)
                group.append(clearEntry(column, row, code));
        }
    }
    groups_.append(group);
    return group.size();
}

void PuzzleField::appendRowGroup(int row, int first, int last, int colour, bool broken,
                                 GroupList& out) const
{
    ClearGroup group;
    if (cellAt(first - 1, row) == Stone)
        group.append(clearEntry(first - 1, row, Stone));
    if (broken && cellAt(last + 1, row) == Stone)
        group.append(clearEntry(last + 1, row, Stone));
    for (int column = first; column <= last; ++column) {
        group.append(clearEntry(column, row, colour));
        if (cellAt(column, row + 1) == Stone)
            group.append(clearEntry(column, row + 1, Stone));
        if (cellAt(column, row - 1) == Stone)
            group.append(clearEntry(column, row - 1, Stone));
    }
    out.append(group);
}

void PuzzleField::appendColumnGroup(int column, int first, int last, int colour, bool broken,
                                    GroupList& out) const
{
    ClearGroup group;
    if (cellAt(column, first - 1) == Stone)
        group.append(clearEntry(column, first - 1, Stone));
    if (broken && cellAt(column, last + 1) == Stone)
        group.append(clearEntry(column, last + 1, Stone));
    for (int row = first; row <= last; ++row) {
        group.append(clearEntry(column, row, colour));
        if (cellAt(column + 1, row) == Stone)
            group.append(clearEntry(column + 1, row, Stone));
        if (cellAt(column - 1, row) == Stone)
            group.append(clearEntry(column - 1, row, Stone));
    }
    out.append(group);
}

// The walk keeps k, the colour of the current run, and n, the cells of the
// run beyond its first; n >= 2 is a line. Empty cells never start a run and
// stones never make a line.
int PuzzleField::scanRow(int row, GroupList& out) const
{
    // Rows above the grid read Outside everywhere and would make a "line" of
    // eight outside cells, so they are refused like rows below it.
    if (row < 0 || row >= GridRows)
        return -1;
    int k = cellAt(0, row);
    int n = 0;
    for (int x = 1; x < GridColumns; ++x) {
        const int v = cellAt(x, row);
        if (k == Empty) {
            k = v;
        } else if (v == k) {
            ++n;
        } else {
            if (n >= 2 && k != Stone)
                appendRowGroup(row, x - n - 1, x - 1, k, true, out);
            k = v;
            n = 0;
        }
    }
    if (n >= 2 && k != Stone)
        appendRowGroup(row, GridColumns - 1 - n, GridColumns - 1, k, false, out);
    return out.size();
}

int PuzzleField::scanColumn(int column, GroupList& out) const
{
    if (column < 0 || column >= GridColumns)
        return -1;
    int k = cellAt(column, 0);
    int n = 0;
    for (int y = 1; y < GridRows; ++y) {
        const int v = cellAt(column, y);
        if (k == Empty) {
            k = v;
        } else if (v == k) {
            ++n;
        } else {
            if (n >= 2 && k != Stone)
                appendColumnGroup(column, y - n - 1, y - 1, k, true, out);
            k = v;
            n = 0;
        }
    }
    if (n >= 2 && k != Stone)
        appendColumnGroup(column, GridRows - 1 - n, GridRows - 1, k, false, out);
    return out.size();
}

int PuzzleField::findLines()
{
    GroupList rowGroups;
    GroupList columnGroups;
    for (int row = 0; row < GridRows; ++row)
        scanRow(row, rowGroups);
    for (int column = 0; column < GridColumns; ++column)
        scanColumn(column, columnGroups);
    for (const ClearGroup& group : rowGroups)
        groups_.append(group);
    for (const ClearGroup& group : columnGroups)
        groups_.append(group);
    return groups_.size();
}

int PuzzleField::removeGroups()
{
    int visited = 0;
    for (const ClearGroup& group : groups_) {
        for (const ClearBlock& block : group) {
            setCell(block.column(), block.row(), Empty);
            ++visited;
        }
    }
    return visited;
}

void PuzzleField::copyGroups(GroupList& out) const
{
    out.assign(groups_);
}

void PuzzleField::stepFade(std::uint32_t now)
{
    if (groups_.empty())
        return;
    ClearBlock::setFadeStamp(now);
    ClearBlock::setFadeLevel(ClearBlock::fadeLevel() - fadeStep_);
}
