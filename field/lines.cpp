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
    if (colourB) *colourB = bombColourB_;
}

int PuzzleField::collectBombGroup()
{
    if (!bombArmed_) return 0;
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
            if (!onGrid(x, y)) continue;
            const int code = cellAt(x, y);
            if (bombColour(code) || code == Bomb) return true;
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

// The group of a run from cell `first` to cell `last` of a line: the stone
// before the run, the stone after it (only when a cell broke the run: past
// the grid's edge there is never one), then each run block followed by the
// stones on its two sides. For a row the sides are below then above; for a
// column, right then left.
void PuzzleField::appendLineGroup(const Line& line, int first, int last, int colour, bool broken,
                                  GroupList& out) const
{
    const auto col = [&](int i) { return line.column + i * line.dx; };
    const auto row = [&](int i) { return line.row + i * line.dy; };
    ClearGroup group;
    auto takeStone = [&](int c, int r) {
        if (cellAt(c, r) == Stone) group.append(clearEntry(c, r, Stone));
    };
    takeStone(col(first - 1), row(first - 1));
    if (broken) takeStone(col(last + 1), row(last + 1));
    for (int i = first; i <= last; ++i) {
        group.append(clearEntry(col(i), row(i), colour));
        takeStone(col(i) + line.dy, row(i) + line.dx);
        takeStone(col(i) - line.dy, row(i) - line.dx);
    }
    out.append(group);
}

// The walk keeps k, the colour of the current run, and n, the cells of the
// run beyond its first; n >= 2 is a line. Empty cells never start a run and
// stones never make a line.
int PuzzleField::scanLine(const Line& line, GroupList& out) const
{
    const auto cell = [&](int i) { return cellAt(line.column + i * line.dx, line.row + i * line.dy); };
    int k = cell(0);
    int n = 0;
    for (int i = 1; i < line.length; ++i) {
        const int v = cell(i);
        if (k == Empty) {
            k = v;
        } else if (v == k) {
            ++n;
        } else {
            if (n >= 2 && k != Stone) appendLineGroup(line, i - n - 1, i - 1, k, true, out);
            k = v;
            n = 0;
        }
    }
    if (n >= 2 && k != Stone) appendLineGroup(line, line.length - 1 - n, line.length - 1, k, false, out);
    return out.size();
}

int PuzzleField::scanRow(int row, GroupList& out) const
{
    // Rows above the grid read Outside everywhere and would make a "line" of
    // eight outside cells, so they are refused like rows below it.
    if (row < 0 || row >= GridRows) return -1;
    return scanLine(Line{0, row, 1, 0, GridColumns}, out);
}

int PuzzleField::scanColumn(int column, GroupList& out) const
{
    if (column < 0 || column >= GridColumns) return -1;
    return scanLine(Line{column, 0, 0, 1, GridRows}, out);
}

int PuzzleField::findLines()
{
    // All rows first, then all columns, each straight into the groups.
    for (int row = 0; row < GridRows; ++row)
        scanRow(row, groups_);
    for (int column = 0; column < GridColumns; ++column)
        scanColumn(column, groups_);
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

void PuzzleField::copyGroups(GroupList& out) const { out.assign(groups_); }

void PuzzleField::stepFade(std::uint32_t now)
{
    if (groups_.empty()) return;
    ClearBlock::setFadeStamp(now);
    ClearBlock::setFadeLevel(ClearBlock::fadeLevel() - fadeStep_);
}
