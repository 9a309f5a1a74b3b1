// A gate for a loader's keepGoing: the loader reads a file only when the
// test lets one through, so a test can stand the game between any two
// files. Every wait here is bounded by HangLimit, which only catches a hang.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

namespace gametest {

constexpr auto HangLimit = std::chrono::seconds(10);

class StepGate {
public:
    // The keepGoing to hand to the loader: waits until a step is let through
    // (true) or the gate is closed (false).
    static std::function<bool()> keepGoing(const std::shared_ptr<StepGate>& gate)
    {
        return [gate] { return gate->pass(); };
    }

    void allow(int steps)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        allowed_ += steps;
        changed_.notify_all();
    }
    // Every step from now on.
    void open() { allow(1 << 20); }
    void close()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closed_ = true;
        changed_.notify_all();
    }
    // Whether the loader has come back to the gate with nothing let through:
    // the steps allowed so far are done.
    bool awaitLoaderAtGate()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, HangLimit, [this] { return waiting_ > 0 && allowed_ == 0; });
    }

private:
    bool pass()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        ++waiting_;
        changed_.notify_all();
        const bool through = changed_.wait_for(lock, HangLimit, [this] { return allowed_ > 0 || closed_; });
        --waiting_;
        if (!through || closed_) return false;
        --allowed_;
        return true;
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    int allowed_ = 0;
    int waiting_ = 0;
    bool closed_ = false;
};

}  // namespace gametest
