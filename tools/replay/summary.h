// Where a replay ends, as text: what the recorded-game tests compare, and
// what the browser page prints after playing recorded input, so that both
// can be held against each other line for line.
#pragma once

#include "game/game.h"

#include <string>

namespace replay {

// Scene, phase, score, level, cleared count, the grid ('0'..'5' for block
// codes, '.' for an empty cell, '?' for anything else) and the rank file
// under the working directory, one item a line.
std::string summarize(const Game& game);

// The rank file under the working directory, read as the game reads it:
// never waiting on it, only when it is a regular file, at most the game's
// cap (TextFileReader::MaxBytes). False when nothing was read; reason is
// then empty when there is no file, else says why ("not a regular file").
bool readRankBytes(std::string& bytes, std::string& reason);

}  // namespace replay
