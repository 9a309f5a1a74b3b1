// Shared set-up of the field tests: a fresh headless platform and the
// class-wide block values back at their start-of-program values, plus small
// helpers that build grids from digit strings and read groups as plain
// (column, row, code) triples.
#pragma once

#include "field/block.h"
#include "field/block_list.h"
#include "field/puzzle_field.h"
#include "platform/headless.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>


class FieldTestBase : public ::testing::Test {
protected:
    void SetUp() override
    {
        headless::reset();
        resetBlockClassValues();
    }
};

using Entry = std::array<int, 3>;  // column, row, code

template <class Kind>
std::vector<Entry> entries(const BlockList<Kind>& list)
{
    std::vector<Entry> out;
    for (const Kind& block : list)
        out.push_back({block.column(), block.row(), block.colour()});
    return out;
}

// Writes codes given as digits ('0'..'7'), column 0 first.
inline void setRowCodes(PuzzleField& field, int row, const std::string& codes)
{
    for (int column = 0; column < static_cast<int>(codes.size()); ++column)
        field.setCell(column, row, codes[column] - '0');
}

// Writes codes given as digits, row 0 (top) first.
inline void setColumnCodes(PuzzleField& field, int column, const std::string& codes)
{
    for (int row = 0; row < static_cast<int>(codes.size()); ++row)
        field.setCell(column, row, codes[row] - '0');
}

inline std::vector<int> gridCells(const PuzzleField& field)
{
    std::vector<int> cells;
    for (int row = 0; row < GridRows; ++row)
        for (int column = 0; column < GridColumns; ++column)
            cells.push_back(field.cellAt(column, row));
    return cells;
}
