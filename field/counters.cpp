#include "field/puzzle_field.h"

#include "platform/platform.h"

namespace {
struct LevelStep {
    int clearedFrom;
    int fallInterval;  // ms per half-row fall step
};

// Each band of levels starts slower again (4, 8, 14, 18) and then speeds up.
constexpr LevelStep LevelTable[PuzzleField::LevelCount] = {
    {0, 1000},  {30, 500},  {60, 300},  {90, 100}, {140, 500}, {150, 300}, {160, 200},
    {190, 100}, {240, 300}, {250, 150}, {290, 70}, {340, 150}, {360, 70},  {410, 40},
    {440, 200}, {460, 150}, {490, 70},  {530, 40}, {600, 100}, {630, 40},
};
}  // namespace

// ---- Score, level and chain ----

void PuzzleField::setScore(int value) { score_ = value > ScoreLimit ? ScoreLimit : value; }

int PuzzleField::levelPoints() const { return level_ * 10 + 10; }

void PuzzleField::setClearedCount(int value)
{
    clearedCount_ = value > ScoreLimit ? ScoreLimit : value;
    updateLevel();
}

int PuzzleField::levelForCleared(int cleared)
{
    int level = 0;
    for (int i = 1; i < LevelCount; ++i) {
        if (cleared >= LevelTable[i].clearedFrom) level = i;
    }
    return level;
}

void PuzzleField::updateLevel() { level_ = levelForCleared(clearedCount_); }

int PuzzleField::levelFallInterval(int level)
{
    if (level < 0 || level >= LevelCount) {
        platform::messageBox("undefined game level", "error");
        return 1000;
    }
    return LevelTable[level].fallInterval;
}

int PuzzleField::fallInterval() const { return levelFallInterval(level_); }

void PuzzleField::setChainState(int steps, int cleared)
{
    chainSteps_ = steps;
    chainCleared_ = cleared;
}

void PuzzleField::clearChainState()
{
    chainSteps_ = 0;
    chainCleared_ = 0;
}

void PuzzleField::chainState(int& steps, int& cleared) const
{
    steps = chainSteps_;
    cleared = chainCleared_;
}

// ---- Screen counters ----

void PuzzleField::moveMenuCursor(char direction)
{
    // The menu lists game start (9), ranking (1) and quit (2), top to bottom.
    if (direction == 'd' || direction == 'D') {
        if (menuCursor_ == 9)
            menuCursor_ = 1;
        else if (menuCursor_ == 1)
            menuCursor_ = 2;
    } else if (direction == 't' || direction == 'T') {
        if (menuCursor_ == 2)
            menuCursor_ = 1;
        else if (menuCursor_ == 1)
            menuCursor_ = 9;
    }
}

int PuzzleField::nameLetter(int index) const
{
    if (index < 0 || index >= NameLength) return -1;
    return nameLetters_[index];
}

void PuzzleField::editName(int command)
{
    int& letter = nameLetters_[nameCursor_];
    switch (command) {
    case NameCursorLeft:
        if (nameCursor_ > 0) --nameCursor_;
        break;
    case NameCursorRight:
        if (nameCursor_ < NameLength - 1) ++nameCursor_;
        break;
    case NameLetterPrevious: letter = letter == 0 ? LetterCount - 1 : letter - 1; break;
    case NameLetterNext: letter = letter == LetterCount - 1 ? 0 : letter + 1; break;
    default: platform::messageBox("undefined score command", "error"); break;
    }
}

void PuzzleField::typeNameLetter(int letter)
{
    if (letter < 0 || letter >= LetterCount) return;
    nameLetters_[nameCursor_] = letter;
    editName(NameCursorRight);
}

bool PuzzleField::advanceOverCount()
{
    if (overCount_ >= OverCountEnd) return true;
    ++overCount_;
    return false;
}

bool PuzzleField::advanceCurtain()
{
    if (curtainOffset_ >= CurtainEnd) return true;
    // The banner slows to 2 pixels a step in mid screen.
    curtainOffset_ += (curtainOffset_ >= 210 && curtainOffset_ <= 269) ? 2 : 10;
    return false;
}
