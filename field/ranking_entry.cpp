#include "field/puzzle_field.h"

#include "rank/ranking.h"

#include <cstdio>
#include <string>

bool PuzzleField::qualifiesForRanking() const { return rankQualifies(score_); }

void PuzzleField::saveRanking()
{
    std::string name;
    for (int letter : nameLetters_)
        name += letterChar(letter);
    // A failed write leaves the old ranking in place and the game goes on,
    // but the lost entry is worth one line to whoever reads the output.
    std::string reason;
    if (!saveRankEntry(name, score_, &reason))
        std::fprintf(stderr, "tessaloom: cannot save the high score to %s: %s\n", RankFilePath,
                     reason.c_str());
}
