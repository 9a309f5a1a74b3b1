// What must hold after every frame, whatever the player did: known scene and
// phase, grid codes, score range and its monotony within a game, the level
// of the cleared count, no message box, a well-formed rank file.
#pragma once

#include "game/game.h"

#include <string>

namespace replay {

// The level a cleared count reaches, from the game's published level table
// (kept here on its own, so that a fault in the field's copy shows).
int expectedLevel(int cleared);

class InvariantChecker {
public:
    // Checks the game after a frame; empty when all holds, else the first
    // fault found. Keeps the score to see it never falls within a game.
    std::string check(const Game& game);
    // Checks the rank file under the working directory when it exists (see
    // support::rankFileFault). Rereading it every frame costs a file read,
    // so callers choose when.
    static std::string checkRankFile();

private:
    int lastScore_ = 0;
    int lastCleared_ = 0;
};

}  // namespace replay
