// A seeded stand-in for a person at the keyboard: looks at the screen (the
// game's state before a frame) and decides which keys go down or up. It
// holds arrows to steer a pair to a column it picked, taps Z and C to turn,
// pushes down most of the time, picks menu entries (the ranking view too),
// mashes keys on the banners, spells a name and confirms, and after its
// games leaves through the menu or with Q. The same seed and the same game
// give the same keys.
#pragma once

#include "game/game.h"
#include "tools/replay/input_script.h"

#include <cstdint>
#include <vector>

namespace replay {

// splitmix64: small, fast and the same on every platform, so a seed names
// the same session everywhere.
class SeededRandom {
public:
    explicit SeededRandom(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next();
    // 0..n-1 (0 for n <= 0).
    int below(int n);
    // True with the given chance in percent.
    bool chance(int percent) { return below(100) < percent; }

private:
    std::uint64_t state_;
};

struct PlayerCounts {
    int gamesStarted = 0;
    int rankingViews = 0;
    int nameEntries = 0;
};

class RandomPlayer {
public:
    // Plays `games` games, then quits.
    RandomPlayer(std::uint64_t seed, int games);
    virtual ~RandomPlayer();

    // Appends this frame's key events (frame number `frame`) to `out`.
    void decide(const Game& game, int frame, std::vector<InputEvent>& out);

    const PlayerCounts& counts() const { return counts_; }

private:
    void press(platform::Key key, int frame, int holdFrames, std::vector<InputEvent>& out);
    void hold(platform::Key key, bool down, int frame, std::vector<InputEvent>& out);
    void releaseDue(int frame, std::vector<InputEvent>& out);
    void noise(int frame, int percent, std::vector<InputEvent>& out);

    void onSceneEntered(const Game& game);
    void title(const Game& game, int frame, std::vector<InputEvent>& out);
    void falling(const Game& game, int frame, std::vector<InputEvent>& out);
    void nameEntry(int frame, std::vector<InputEvent>& out);
    // A column where the lower block meets its colour or the stack is low,
    // away from the spawn column when that is getting full.
    int thoughtfulColumn(const PuzzleField& field, int lowerColour);

    SeededRandom random_;
    int gamesToPlay_;
    // Where the pair is read into. Every Block construction reseeds the
    // game's colour generator from the clock, so the player builds its one
    // block up front (before the game) and never during play: a replay
    // without the player must see the same colours.
    Block pairView_;
    Block pairView1_;
    PlayerCounts counts_;
    bool held_[platform::KeyCount] = {};
    int releaseAt_[platform::KeyCount];  // -1: no release planned
    int lastScene_ = -1;
    int lastPhase_ = -1;
    int wait_ = 0;  // frames to idle before the next deliberate key

    // Title plan.
    int menuTarget_ = SceneGameStart;
    bool quitWithQ_ = false;

    // Pair plan, made when a pair appears.
    int targetColumn_ = 3;
    int turnsLeft_ = 0;
    bool turnClockwise_ = true;
    bool pushFromStart_ = true;
    bool pushWhenPlaced_ = true;
    int stuckFrames_ = 0;
    int lastColumn_ = -1;
    int lastHalfRow_ = -1;

    // Name plan: commands left before the confirm.
    int nameCommandsLeft_ = 0;

    // Per-game style.
    int noisePercent_ = 2;
    int centreBias_ = 50;
    int thoughtPercent_ = 50;
};

}  // namespace replay
