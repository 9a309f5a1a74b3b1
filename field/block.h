// One block of the puzzle: its place on the 8 x 12 grid, its colour (a cell
// code) and the percentage bands its random colour is drawn from. Blocks are
// small values, copied freely into lists, the falling pair and temporaries.
// Each kind keeps class-wide values that serve as the clocks and counters of
// the animation that uses the kind.
#pragma once

#include <cstdint>

// Codes of a grid cell and of a block's colour. 0..3 are the four ordinary
// colours.
enum CellCode : int { Stone = 4, Bomb = 5, Empty = 6, Outside = 7 };

constexpr int GridColumns = 8;
constexpr int GridRows = 12;
constexpr int GridHalfRows = GridRows * 2;
// Pixels of a cell's side on the screen; the drop animation counts in them.
constexpr int CellSize = 32;
constexpr int ColourBandCount = 6;

class Block {
public:
    // Reseeds the colour generator from the millisecond clock, places the
    // block at (0, 0) with colour 0 and the default bands, then rolls a
    // colour. Blocks made within the same millisecond get the same colour.
    Block();
    // Copies of the same kind take the values as they are (no reseed).
    Block(const Block&) = default;
    Block& operator=(const Block&) = default;
    virtual ~Block();

    int column() const { return column_; }
    int row() const { return row_; }
    int colour() const { return colour_; }

    // Stores the column and returns true when it lies in 0..7; otherwise
    // leaves the block unchanged and returns false.
    bool setColumn(int column);
    // Stores the row and returns true when it lies in 0..11; otherwise leaves
    // the block unchanged and returns false.
    bool setRow(int row);
    // Stores any code without a range test.
    void setColour(int colour) { colour_ = colour; }

    // Draws the next generator value modulo 100, stores the colour of the
    // band it falls in (Outside when none) and returns it.
    int rollColour();
    // The colour a draw of 0..99 gives with this block's bands: the first
    // band (0 to 5) whose bounds enclose it, or Outside when none does.
    int colourForDraw(int draw) const;

    // Band 0..5 gives Bomb, Stone, 0, 1, 2, 3. The getter returns false for
    // another band and leaves the outputs alone; the setter returns false and
    // changes nothing for another band.
    bool colourBand(int band, int& low, int& high) const;
    bool setColourBand(int band, int low, int high);

    // Takes column, row (raw: half rows stay half rows), colour and bands
    // of another block; this block keeps its own kind.
    void copyFrom(const Block& other);

protected:
    // Stores a row without the cell-row range test (PairBlock's half rows).
    void setRawRow(int row) { row_ = row; }

private:
    int column_ = 0;
    int row_ = 0;
    int colour_ = 0;
    int colourBands_[ColourBandCount][2];
};

// A block of the falling pair or of the next-pair preview. Its row counts
// half rows (0..23); the cell row is the half-row count divided by 2.
class PairBlock : public Block {
public:
    PairBlock() = default;
    // A fresh block (reseeds and rolls, as every construction) that then
    // takes the values of `other`.
    explicit PairBlock(const Block& other);
    PairBlock(const PairBlock&) = default;
    PairBlock& operator=(const PairBlock&) = default;
    ~PairBlock() override;

    // Stores the half-row count and returns true when it lies in 0..23;
    // otherwise leaves the block unchanged and returns false.
    bool setHalfRow(int halfRow);
    // The half-row count, or with inCells the cell row it lies in.
    int pairRow(bool inCells) const;

    // Time of the pair's last half-row fall step (0: none yet).
    static std::uint32_t fallStamp();
    static void setFallStamp(std::uint32_t stamp);
    // Time of the pair's last sideways move (0: none yet).
    static std::uint32_t moveStamp();
    static void setMoveStamp(std::uint32_t stamp);
    // Time of the pair's last turn (0: none yet).
    static std::uint32_t turnStamp();
    static void setTurnStamp(std::uint32_t stamp);

private:
    static std::uint32_t fallStamp_;
    static std::uint32_t moveStamp_;
    static std::uint32_t turnStamp_;
};

// A block of a clear group; the class keeps the fade of the groups on screen.
class ClearBlock : public Block {
public:
    ClearBlock() = default;
    explicit ClearBlock(const Block& other);
    ClearBlock(const ClearBlock&) = default;
    ClearBlock& operator=(const ClearBlock&) = default;
    ~ClearBlock() override;

    // Weight the clearing groups are drawn with, 0..255 (255 at start).
    static int fadeLevel();
    // Stores 0 for any negative value and 255 for any value above 255.
    static void setFadeLevel(int level);
    // Time of the last fade step (0: none yet).
    static std::uint32_t fadeStamp();
    static void setFadeStamp(std::uint32_t stamp);

private:
    static int fadeLevel_;
    static std::uint32_t fadeStamp_;
};

// A block that falls after a clear; the class keeps the fall's pixel offset.
class DropBlock : public Block {
public:
    DropBlock() = default;
    explicit DropBlock(const Block& other);
    DropBlock(const DropBlock&) = default;
    DropBlock& operator=(const DropBlock&) = default;
    ~DropBlock() override;

    // Pixels by which dropping blocks are drawn below their stored row.
    static int dropOffset();
    static void setDropOffset(int offset);
    // Time of the last drop step (0: none yet).
    static std::uint32_t dropStamp();
    static void setDropStamp(std::uint32_t stamp);

private:
    static int dropOffset_;
    static std::uint32_t dropStamp_;
};

// What making a block does to the colour generator: reseed it from the
// millisecond clock, then one draw. The play phases call it on the frames
// where the game has always made blocks without keeping them, so the pairs
// that follow keep their colours.
void reseedAsNewBlock();

// Puts every class-wide animation value back to its program-start value
// (stamps 0, fade level 255, drop offset 0). They outlive any one game
// object, so a new session in the same process starts from here.
void resetBlockClassValues();
