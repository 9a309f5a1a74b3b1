// The game's state: the 8 x 12 grid of settled blocks, the falling pair and
// the next-pair preview, the groups of the last match check and the blocks
// that fall after a clear, score, level, cleared count, chain and bomb state,
// and the counters of the front-end screens. Reset, not rebuilt, between
// games.
#pragma once

#include "field/block.h"
#include "field/block_list.h"

#include <cstdint>

// Where pair block 1 sits, seen from pair block 0: by column first, then by
// cell row.
enum PairOrientation : int {
    PairSameCell = -1,
    PairLeft = 0,
    PairRight = 1,
    PairAbove = 2,
    PairBelow = 3,
};

// Name-entry commands taken by PuzzleField::editName.
enum NameCommand : int {
    NameCursorLeft = 0,
    NameCursorRight = 1,
    NameLetterPrevious = 2,
    NameLetterNext = 3,
};

class PuzzleField {
public:
    static constexpr int CellCount = GridColumns * GridRows;
    // Lines of three: two a row, four a column; and the bomb group.
    static constexpr int MaxGroups = GridRows * 2 + GridColumns * 4 + 1;
    static constexpr int PairCount = 2;
    static constexpr int NameLength = 3;
    static constexpr int LetterCount = 26;
    // Score and cleared count stop here, as the displays have seven digits.
    static constexpr int ScoreLimit = 9999999;
    static constexpr int LevelCount = 20;
    static constexpr int OverCountEnd = 80;
    static constexpr int CurtainEnd = 480;
    static constexpr int DropStepPixels = 12;

    // Makes the four pair and preview blocks (each rolls a colour), empty
    // lists, a fade step of 51, then reset().
    PuzzleField();
    virtual ~PuzzleField();

    // ---- Grid ----
    // The cell code at (column, row), Outside when the position is off the
    // grid.
    int cellAt(int column, int row) const;
    // Stores the code (any value) and returns true when the position is on
    // the grid; otherwise changes nothing and returns false.
    bool setCell(int column, int row, int code);
    // -1 for a column off the grid; a starting row below 0 or above 11 comes
    // back unchanged; otherwise the first row at or below it that is not
    // Empty, or 12 when the column is empty from there down.
    int landingRow(int column, int startRow) const;

    // ---- Falling pair and preview (index 0 or 1; any other index makes
    // these return false or -1 and change nothing) ----
    // Where pair block `index` spawns, in cells.
    bool setSpawnPosition(int index, int column, int row);
    bool spawnPosition(int index, int& column, int& row) const;
    // Zeroes the fall and move stamps, gives falling block `index` the colour
    // of next block `index`, puts it at its spawn position (half row = twice
    // the spawn row) and rolls a new colour for the next block.
    bool spawnPairBlock(int index);
    // Copies falling pair block `index` into `out` (raw half rows).
    bool getPairBlock(int index, Block& out) const;
    // Copies `in` into falling pair block `index` (its row taken as half rows).
    bool putPairBlock(int index, const Block& in);
    // The colour of next block `index`, -1 for another index.
    int nextColour(int index) const;
    // Where pair block 1 sits relative to block 0.
    PairOrientation pairOrientation() const;
    // The cells above, below, left and right of pair block `index` (its cell
    // row); a neighbour off the grid reads Outside.
    bool pairNeighbours(int index, int& above, int& below, int& left, int& right) const;

    // Empty grid, new preview colours, no bomb, zero score, level, chain,
    // cleared count, name and counters, menu cursor on game start. Spawn
    // positions, the falling pair and the two lists are kept.
    void reset();

    // ---- Line detection and clearing ----
    // Empties the groups and restarts the fade (level 255, stamp 0).
    void clearGroups();
    void setBomb(bool armed, int colourA, int colourB);
    void bombState(bool& armed, int& colourA, int* colourB = nullptr) const;
    // When the bomb is armed, appends the bomb group (even an empty one) and
    // returns its size; otherwise 0. Leaves the bomb armed.
    int collectBombGroup();
    // Appends one group per line of three or more in the row to `out` and
    // returns out's size; -1 (and `out` unchanged) for a row off the grid.
    int scanRow(int row, GroupList& out) const;
    // The same for a column.
    int scanColumn(int column, GroupList& out) const;
    // Appends the groups of all rows, then of all columns, to the groups;
    // returns how many groups there are now (a bomb group included).
    int findLines();
    // Empties every cell named by a group; returns the number of entries
    // visited (a cell named by two groups counts twice).
    int removeGroups();
    void copyGroups(GroupList& out) const;
    const GroupList& groups() const { return groups_; }
    // One fade step at `now`: stamp it and lower the fade level by the fade
    // step (not below 0). Nothing happens while there are no groups.
    void stepFade(std::uint32_t now);
    int fadeStep() const { return fadeStep_; }

    // ---- Gravity ----
    // Empties the drops and zeroes the drop offset and stamp.
    void clearDrops();
    // Refills the drops with every block that has an empty cell below it in
    // its column: columns left to right, each from the bottom up. The grid
    // is not changed.
    void collectFloating();
    void copyDrops(DropList& out) const;
    const DropList& drops() const { return drops_; }
    // Sets every listed position that is on the grid to Empty.
    void emptyCells(CellList cells);
    // One step of the fall at `now`: 12 pixels more, or once a whole cell is
    // passed, each block moves down a row or lands in the grid. Nothing
    // happens while there are no drops.
    void stepDrop(std::uint32_t now);

    // ---- Score, level and chain ----
    int score() const { return score_; }
    // Stores the value, 9999999 for any larger one.
    void setScore(int value);
    int level() const { return level_; }
    // Points of one cleared block at the current level.
    int levelPoints() const;
    int clearedCount() const { return clearedCount_; }
    // Stores the value (9999999 for any larger one) and updates the level.
    void setClearedCount(int value);
    // The level that the cleared count has reached.
    void updateLevel();
    // Milliseconds between two half-row fall steps at the current level.
    int fallInterval() const;
    // The same for any level; outside 0..19 it shows "undefined game level"
    // and returns 1000.
    static int levelFallInterval(int level);
    // The level that `cleared` blocks reach.
    static int levelForCleared(int cleared);
    void setChainState(int steps, int cleared);
    void clearChainState();
    void chainState(int& steps, int& cleared) const;

    // ---- Screen counters ----
    // 'd'/'D' moves the title cursor down (9, 1, 2), 't'/'T' up; any other
    // character changes nothing.
    void moveMenuCursor(char direction);
    int menuCursor() const { return menuCursor_; }
    // Letter index (0 = a) at position 0..2, -1 for another position.
    int nameLetter(int index) const;
    int nameCursor() const { return nameCursor_; }
    // Applies one NameCommand; any other value shows "undefined score
    // command" and changes nothing.
    void editName(int command);
    // A typed letter (0 = a .. 25 = z; others change nothing) takes the
    // cursor's place, and the cursor moves on (it stays on the last one).
    void typeNameLetter(int letter);
    // True once the counter is 80 (then unchanged); else counts one more and
    // returns false.
    bool advanceOverCount();
    int overCount() const { return overCount_; }
    void setOverStamp(std::uint32_t stamp) { overStamp_ = stamp; }
    std::uint32_t overStamp() const { return overStamp_; }
    // True once the offset is 480 (then unchanged); else moves it 2 pixels
    // within 210..269 and 10 elsewhere and returns false.
    bool advanceCurtain();
    int curtainOffset() const { return curtainOffset_; }
    void setCurtainStamp(std::uint32_t stamp) { curtainStamp_ = stamp; }
    std::uint32_t curtainStamp() const { return curtainStamp_; }

    // ---- Ranking ----
    // Whether the score may enter the ranking file's table.
    bool qualifiesForRanking() const;
    // Inserts the entered name with the score and rewrites the ranking file.
    void saveRanking();

    // Name-entry commands, also reachable through the class.
    static constexpr int NameCursorLeft = ::NameCursorLeft;
    static constexpr int NameCursorRight = ::NameCursorRight;
    static constexpr int NameLetterPrevious = ::NameLetterPrevious;
    static constexpr int NameLetterNext = ::NameLetterNext;

private:
    // Slots of pairs_: falling block 0, next block 0, falling block 1, next
    // block 1.
    static int fallingSlot(int index) { return index * 2; }
    static int nextSlot(int index) { return index * 2 + 1; }
    static bool validPairIndex(int index) { return index == 0 || index == 1; }
    static bool onGrid(int column, int row)
    {
        return column >= 0 && column < GridColumns && row >= 0 && row < GridRows;
    }
    // One straight line of the grid: `length` cells from (column, row)
    // stepping by (dx, dy); its sides lie at (dy, dx) and the opposite.
    struct Line {
        int column, row, dx, dy, length;
    };
    int scanLine(const Line& line, GroupList& out) const;
    void appendLineGroup(const Line& line, int first, int last, int colour, bool broken,
                         GroupList& out) const;

    int grid_[CellCount];
    int spawnColumn_[PairCount] = {0, 0};
    int spawnRow_[PairCount] = {0, 0};
    PairBlock pairs_[PairCount * 2];
    DropList drops_;
    GroupList groups_;
    int fadeStep_ = 51;
    // The rest, like grid_, is set by reset(), which the constructor calls.
    bool bombArmed_;
    int bombColourA_;
    int bombColourB_;
    int score_;
    int level_;
    int chainSteps_;
    int chainCleared_;
    int clearedCount_;
    int menuCursor_;
    int nameLetters_[NameLength];
    int nameCursor_;
    int overCount_;
    std::uint32_t overStamp_;
    int curtainOffset_;
    std::uint32_t curtainStamp_;
};
