// Seeded random sessions with the invariants checked after every frame, and
// the soak that runs many of them. Every session is recorded, so a failing
// one can be written out and replayed as a regression case.
#pragma once

#include "tools/replay/input_script.h"
#include "tools/replay/player.h"
#include "tools/replay/runner.h"

#include <cstdint>
#include <string>
#include <vector>

namespace replay {

struct SessionPlan {
    std::uint64_t seed = 1;
    int games = 1;              // games the player starts before it quits
    std::uint32_t startMs = 1;  // clock of frame 0
    int jitterPercent = 5;      // frames whose step is not 33 ms
    int presentEvery = 0;       // see SessionOptions
    int maxFrames = 200000;     // a session still running then is a fault
    std::string assetDir;
};

struct SessionOutcome {
    InputScript input;  // everything needed to replay the session
    int frames = 0;
    bool quit = false;
    std::string fault;  // first broken invariant, "" when none
    int faultFrame = -1;
    PlayerCounts counts;
    int maxChainSteps = 0;
    int bombSteps = 0;  // clear steps whose groups held a bomb
    int maxScore = 0;
    int maxLevel = 0;
    int gameOvers = 0;
};

// Plays one seeded session: the player decides, the clock steps 33 ms (or a
// jittered step), the frame runs, the invariants are checked. Stops at the
// first fault, when the game quits, or at plan.maxFrames. The observer (if
// any) sees every frame as well.
SessionOutcome playSession(const SessionPlan& plan, const FrameObserver& observer = {});

struct SoakOptions {
    std::uint64_t seed = 1;
    int games = 100;
    int maxGamesPerSession = 3;
    int jitterPercent = 5;
    int wrapPercent = 10;       // sessions whose clock crosses 2^32 early on
    int freshRankPercent = 10;  // sessions that start without a rank file
    int presentEvery = 0;
    int maxFramesPerGame = 40000;
    std::string assetDir;  // see SessionOptions
    // Where failing sessions' inputs go ("" nowhere): soak-<seed>.input.
    std::string failureDir;
    // Prints one line per session to stderr.
    bool verbose = false;
};

struct SoakFailure {
    std::uint64_t sessionSeed = 0;
    int frame = -1;
    std::string fault;
    std::string inputPath;  // "" when not written
};

struct SoakResult {
    int sessions = 0;
    int games = 0;
    long long frames = 0;
    int rankingViews = 0;
    int nameEntries = 0;
    int gameOvers = 0;
    int maxChainSteps = 0;
    int bombSteps = 0;
    int maxScore = 0;
    int maxLevel = 0;
    double seconds = 0;
    std::vector<SoakFailure> failures;
};

// Runs sessions until options.games games have been started. The rank file
// under the working directory carries over from session to session.
SoakResult runSoak(const SoakOptions& options);

// The seed of session `index` of a soak with `seed`.
std::uint64_t sessionSeed(std::uint64_t seed, int index);

}  // namespace replay
