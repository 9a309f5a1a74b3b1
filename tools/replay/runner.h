// Replaying recorded input through the real Game, and the text summary of
// where a replay ends (what the recorded-game tests compare).
#pragma once

#include "game/game.h"
#include "platform/headless.h"
#include "tools/replay/input_script.h"
#include "tools/replay/session.h"
#include "tools/replay/summary.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace replay {

struct RunOptions {
    // Asset folder and present rate; the start clock comes from the script.
    SessionOptions session;
    // Folder for frame images ("" none): frame-<number>.bmp, number padded
    // to six digits, for every dumpEvery-th presented frame.
    std::string dumpDir;
    int dumpEvery = 1;
    // Keep the hash of every presented frame.
    bool hashFrames = false;
};

// Called after every frame with the frame's number; returning false ends the
// run after that frame.
using FrameObserver = std::function<bool(const Game& game, int frame)>;

struct RunResult {
    int frames = 0;                     // frames run
    bool quit = false;                  // the game asked to quit
    std::vector<std::uint64_t> hashes;  // one per presented frame, if asked
    std::vector<headless::MessageBoxRecord> boxes;
    int dumped = 0;  // frame images written
    bool dumpFailed = false;
    std::string summary;  // summarize() after the last frame
};

// Runs the script from a fresh game. The working directory holds the rank
// file the game reads and writes.
RunResult runScript(const InputScript& script, const RunOptions& options, const FrameObserver& observer = {});

// Applies one key event to the headless keyboard (clock events are ignored).
void applyKeyEvent(const InputEvent& event);

}  // namespace replay
