#include "field/puzzle_field.h"

#include "rank/ranking.h"

#include <string>

bool PuzzleField::qualifiesForRanking() const
{
    return rankQualifies(score_);
}

void PuzzleField::saveRanking()
{
    std::string name;
    for (int letter : nameLetters_)
        name += letterChar(letter);
    // A failed write leaves the old ranking in place; nothing to report.
    saveRankEntry(name, score_);
}
