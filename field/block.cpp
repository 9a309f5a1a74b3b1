#include "field/block.h"

#include "field/random.h"
#include "platform/platform.h"

namespace {
// Colour that each band gives, in band order.
constexpr int BandColours[ColourBandCount] = {Bomb, Stone, 0, 1, 2, 3};
// Default bands in percent: 2 % bombs, 10 % stones, 22 % each colour.
constexpr int DefaultBands[ColourBandCount][2] = {
    {0, 1}, {2, 11}, {12, 33}, {34, 55}, {56, 77}, {78, 99},
};
}  // namespace

std::uint32_t PairBlock::fallStamp_ = 0;
std::uint32_t PairBlock::moveStamp_ = 0;
std::uint32_t PairBlock::turnStamp_ = 0;
int ClearBlock::fadeLevel_ = 255;
std::uint32_t ClearBlock::fadeStamp_ = 0;
int DropBlock::dropOffset_ = 0;
std::uint32_t DropBlock::dropStamp_ = 0;

Block::Block()
{
    // Every construction reseeds from the clock, so blocks made within one
    // millisecond share their first colour; with the headless clock the
    // colours of a test are fixed.
    seedBlockRandom(platform::milliseconds());
    for (int band = 0; band < ColourBandCount; ++band) {
        colourBands_[band][0] = DefaultBands[band][0];
        colourBands_[band][1] = DefaultBands[band][1];
    }
    rollColour();
}

Block::~Block() = default;

bool Block::setColumn(int column)
{
    if (column < 0 || column >= GridColumns) return false;
    column_ = column;
    return true;
}

bool Block::setRow(int row)
{
    if (row < 0 || row >= GridRows) return false;
    row_ = row;
    return true;
}

int Block::rollColour()
{
    colour_ = colourForDraw(nextBlockRandom() % 100);
    return colour_;
}

int Block::colourForDraw(int draw) const
{
    for (int band = 0; band < ColourBandCount; ++band) {
        if (colourBands_[band][0] <= draw && draw <= colourBands_[band][1]) return BandColours[band];
    }
    return Outside;
}

bool Block::colourBand(int band, int& low, int& high) const
{
    if (band < 0 || band >= ColourBandCount) return false;
    low = colourBands_[band][0];
    high = colourBands_[band][1];
    return true;
}

bool Block::setColourBand(int band, int low, int high)
{
    if (band < 0 || band >= ColourBandCount) return false;
    colourBands_[band][0] = low;
    colourBands_[band][1] = high;
    return true;
}

void Block::copyFrom(const Block& other)
{
    column_ = other.column_;
    row_ = other.row_;
    colour_ = other.colour_;
    for (int band = 0; band < ColourBandCount; ++band) {
        colourBands_[band][0] = other.colourBands_[band][0];
        colourBands_[band][1] = other.colourBands_[band][1];
    }
}

// ---- PairBlock ----

PairBlock::PairBlock(const Block& other) { copyFrom(other); }

PairBlock::~PairBlock() = default;

bool PairBlock::setHalfRow(int halfRow)
{
    if (halfRow < 0 || halfRow >= GridHalfRows) return false;
    // The half-row count lives in the row field; setRow would refuse 12..23.
    setRawRow(halfRow);
    return true;
}

int PairBlock::pairRow(bool inCells) const { return inCells ? row() / 2 : row(); }

std::uint32_t PairBlock::fallStamp() { return fallStamp_; }
void PairBlock::setFallStamp(std::uint32_t stamp) { fallStamp_ = stamp; }
std::uint32_t PairBlock::moveStamp() { return moveStamp_; }
void PairBlock::setMoveStamp(std::uint32_t stamp) { moveStamp_ = stamp; }
std::uint32_t PairBlock::turnStamp() { return turnStamp_; }
void PairBlock::setTurnStamp(std::uint32_t stamp) { turnStamp_ = stamp; }

// ---- ClearBlock ----

ClearBlock::ClearBlock(const Block& other) { copyFrom(other); }

ClearBlock::~ClearBlock() = default;

int ClearBlock::fadeLevel() { return fadeLevel_; }

void ClearBlock::setFadeLevel(int level)
{
    // The level is a blend weight: keep it a valid one.
    if (level < 0) level = 0;
    if (level > 255) level = 255;
    fadeLevel_ = level;
}

std::uint32_t ClearBlock::fadeStamp() { return fadeStamp_; }
void ClearBlock::setFadeStamp(std::uint32_t stamp) { fadeStamp_ = stamp; }

// ---- DropBlock ----

DropBlock::DropBlock(const Block& other) { copyFrom(other); }

DropBlock::~DropBlock() = default;

int DropBlock::dropOffset() { return dropOffset_; }
void DropBlock::setDropOffset(int offset) { dropOffset_ = offset; }
std::uint32_t DropBlock::dropStamp() { return dropStamp_; }
void DropBlock::setDropStamp(std::uint32_t stamp) { dropStamp_ = stamp; }

void reseedAsNewBlock()
{
    seedBlockRandom(platform::milliseconds());
    nextBlockRandom();
}

void resetBlockClassValues()
{
    PairBlock::setFallStamp(0);
    PairBlock::setMoveStamp(0);
    PairBlock::setTurnStamp(0);
    ClearBlock::setFadeLevel(255);
    ClearBlock::setFadeStamp(0);
    DropBlock::setDropOffset(0);
    DropBlock::setDropStamp(0);
}
