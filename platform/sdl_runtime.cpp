// SDL platform: the flags the frame thread shares with the main thread, the
// frame pause, the clock and the executable's path. None of this needs SDL
// itself; it lives here because the headless platform answers the same
// calls differently.
#include "platform/platform.h"
#include "platform/sdl_internal.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>

namespace {

// Written by the main thread (window close, SIGTERM) and the frame thread
// (quit scene), read by the frame thread: atomics, not plain bytes.
std::atomic<bool> runningFlag{true};
// Set at start and by the audio side when the music reaches its end; taken
// by the frame thread.
std::atomic<bool> bgmRestart{true};

// The pause waits on this so that shutdown can cut it short.
std::mutex pauseMutex;
std::condition_variable pauseWake;

}  // namespace

namespace platform {

bool running() { return runningFlag.load(); }

void requestQuit()
{
    {
        // Under the lock, so a pause that has just checked the flag cannot
        // miss the wake-up.
        std::lock_guard<std::mutex> lock(pauseMutex);
        runningFlag.store(false);
    }
    pauseWake.notify_all();
}

bool takeBgmRestartRequest() { return bgmRestart.exchange(false); }

void sdlRaiseBgmRestart() { bgmRestart.store(true); }

void pauseFrame(std::uint32_t ms)
{
    std::unique_lock<std::mutex> lock(pauseMutex);
    pauseWake.wait_for(lock, std::chrono::milliseconds(ms), [] { return !runningFlag.load(); });
}

std::uint32_t milliseconds()
{
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

// Linux timers are already fine-grained: nothing to raise or restore.
TimerCaps timerCaps() { return TimerCaps{1, 1000000}; }
void beginTimerPeriod(std::uint32_t) {}
void endTimerPeriod(std::uint32_t) {}

std::string executablePath()
{
    char* resolved = ::realpath("/proc/self/exe", nullptr);
    if (!resolved) return std::string();
    std::string path(resolved);
    std::free(resolved);
    return path;
}

}  // namespace platform
