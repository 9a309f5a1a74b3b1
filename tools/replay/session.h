// One run of the real Game on the headless platform, frame by frame, as the
// frame thread runs it: clock advance (none before the first frame), then
// the frame thread's own stepFrame. Also the frame hash and the frame image
// writer.
#pragma once

#include "game/game.h"
#include "platform/headless.h"

#include <cstdint>
#include <memory>
#include <string>

namespace replay {

struct SessionOptions {
    // Folder holding Graphics/ and Sound/; empty runs without any picture or
    // sound (cheap to draw, and the logic needs none).
    std::string assetDir;
    std::uint32_t startMs = 1;
    // Present (hand the back buffer to the headless window) every n-th
    // frame; 0 never. Presenting copies the whole screen.
    int presentEvery = 1;
};

class Session {
public:
    // Resets the headless platform and the class-wide animation values of
    // the blocks, sets the clock, builds a Game and starts it up.
    explicit Session(const SessionOptions& options);
    virtual ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Runs the next frame, the clock advanced by stepMs first (except for
    // frame 0). Key events for the frame must be applied before.
    void runFrame(std::uint32_t stepMs);

    Game& game() { return *game_; }
    // Frames run so far.
    int frames() const { return frames_; }
    // Whether the frame just run was presented.
    bool presentedLast() const { return presentedLast_; }
    // False once the game asked to quit.
    bool running() const { return platform::running(); }

private:
    SessionOptions options_;
    std::unique_ptr<Game> game_;
    int frames_ = 0;
    bool presentedLast_ = false;
};

// A 64-bit hash of a presented frame (size and pixels); 0 for no frame.
std::uint64_t frameHash(const headless::Frame& frame);

// Writes the frame as a 24-bit BMP file. False when there is no frame or the
// file cannot be written.
bool writeFrameBmp(const headless::Frame& frame, const std::string& path);

}  // namespace replay
