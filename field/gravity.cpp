#include "field/puzzle_field.h"

void PuzzleField::clearDrops()
{
    drops_.clear();
    DropBlock::setDropOffset(0);
    DropBlock::setDropStamp(0);
}

void PuzzleField::collectFloating()
{
    drops_.clear();
    // Columns left to right, each from the bottom up: stepDrop relies on
    // this order so that a block sees the block below it land first.
    for (int column = 0; column < GridColumns; ++column) {
        bool gapBelow = false;
        for (int row = GridRows - 1; row >= 0; --row) {
            const int code = cellAt(column, row);
            if (code == Empty) {
                gapBelow = true;
            } else if (gapBelow) {
                DropBlock block;
                block.setColumn(column);
                block.setRow(row);
                block.setColour(code);
                drops_.append(block);
            }
        }
    }
}

void PuzzleField::copyDrops(DropList& out) const { out.assign(drops_); }

void PuzzleField::emptyCells(CellList cells)
{
    for (const Block& cell : cells)
        setCell(cell.column(), cell.row(), Empty);
}

void PuzzleField::stepDrop(std::uint32_t now)
{
    if (drops_.empty()) return;
    if (DropBlock::dropOffset() < CellSize) {
        DropBlock::setDropOffset(DropBlock::dropOffset() + DropStepPixels);
        DropBlock::setDropStamp(now);
        return;
    }
    // A whole cell has been passed: each block either moves its stored row
    // down or lands. Landings go into the grid during the pass, so the
    // block above (visited next) already sees them.
    DropList stillFalling;
    for (const DropBlock& block : drops_) {
        const int column = block.column();
        const int row = block.row();
        if (onGrid(column, row + 2) && cellAt(column, row + 2) == Empty) {
            DropBlock moved(block);
            moved.setRow(row + 1);
            stillFalling.append(moved);
        } else {
            setCell(column, row + 1, block.colour());
        }
    }
    drops_.clear();
    drops_.assign(stillFalling);
    DropBlock::setDropOffset(DropStepPixels);
    DropBlock::setDropStamp(now);
}
