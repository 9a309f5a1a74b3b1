// File reading off the frame thread: steps that run in order, each filling
// slots that only it writes, on a loader thread of their own or inline. The
// frame thread asks done() each frame and takes the slots of the steps that
// are done, so it never waits for a file. Once told to stop (or once its
// keepGoing says no) the loader starts no further step; its owner waits a
// bounded time for the step under way, and a step slower than that finishes
// alone: the thread holds the steps, and what they capture, until it ends.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

class AssetLoader {
public:
    using Step = std::function<void()>;
    enum class Where { Inline, OwnThread };

    // What the destructor waits for a step under way: on a working disk a
    // step takes a few milliseconds.
    static constexpr std::chrono::milliseconds TeardownWait{100};

    // keepGoing is asked before every step, on the thread that runs them;
    // once it says no, no further step starts. Empty: always go on.
    explicit AssetLoader(std::vector<Step> steps, std::function<bool()> keepGoing = {});
    // stop(TeardownWait).
    ~AssetLoader();
    AssetLoader(const AssetLoader&) = delete;
    AssetLoader& operator=(const AssetLoader&) = delete;

    // Runs the steps: inline, all of them before returning; or on a thread
    // of its own (inline when no thread can be had). Only the first call
    // does anything.
    void start(Where where);
    // Steps [0, done()) have finished: their slots are the caller's now.
    std::size_t done() const;
    std::size_t size() const;
    // No further step will finish: all are done, or the loader stopped.
    bool ended() const;
    // No further step starts; waits at most `wait` for the one under way.
    // True when the loader has ended (its thread is then joined); otherwise
    // the thread finishes that step alone.
    bool stop(std::chrono::milliseconds wait);

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
    std::thread thread_;
    bool started_ = false;
};
