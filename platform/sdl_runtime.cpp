// SDL platform: the flags the frame thread shares with the main thread, the
// frame pause, the clock, the executable's path and the process set-up
// (standard streams, the main thread's wake-up pipe, SIGHUP, and SIGTERM
// and SIGINT while the start waits for the display). None of this
// needs SDL itself; it lives here because the headless platform answers the
// same calls differently.
#include "platform/platform.h"
#include "platform/sdl_internal.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
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

// The pause waits on this so that shutdown, or a key press when asked for,
// can cut it short.
std::mutex pauseMutex;
std::condition_variable pauseWake;
std::atomic<bool> keyEndsPause{false};
bool keyPressed = false;  // since the last pause began; under pauseMutex

// The main thread's wake-up pipe: the frame thread and the SIGHUP handler
// write a byte, the event loop polls the read end beside the display.
int wakeRead = -1;
int wakeWrite = -1;
// Set by the SIGHUP handler, taken by the main thread.
std::atomic<bool> hangUp{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler needs a lock-free flag");

// A closed standard stream would hand its number to the next file or
// socket opened: the display connection then receives whatever is written
// to "stderr", and the game hangs talking to the X server.
void reopenClosedStandardStreams()
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // open() returns the lowest free number, which is this one.
        const int opened = ::open("/dev/null", O_RDWR);
        if (opened != -1 && opened != fd) ::close(opened);
    }
}

void onHangUp(int)
{
    const int savedErrno = errno;
    hangUp.store(true);
    platform::sdlWakeMainThread();
    errno = savedErrno;
}

// SIGTERM or SIGINT during sdlWaitAtStart(), for the main thread.
std::atomic<int> stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs a lock-free number");

void onStopSignal(int signal)
{
    const int savedErrno = errno;
    stopSignal.store(signal);
    platform::sdlWakeMainThread();
    errno = savedErrno;
}

// Ends the process by the signal, as if no handler had ever been set.
[[noreturn]] void endBySignal(int signal)
{
    ::signal(signal, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    ::raise(signal);
    _exit(128 + signal);
}

// A hang-up (the terminal closed) ends the game like SIGTERM. Left alone
// when the game was started to ignore it (nohup).
void quitOnHangUp()
{
    struct sigaction current {};
    if (::sigaction(SIGHUP, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) return;
    struct sigaction action {};
    action.sa_handler = onHangUp;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGHUP, &action, nullptr);
}

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
    pauseWake.wait_for(lock, std::chrono::milliseconds(ms), [] { return !runningFlag.load() || keyPressed; });
    keyPressed = false;
}

void setKeyEndsPause(bool on) { keyEndsPause.store(on); }

void sdlKeyPressed()
{
    if (!keyEndsPause.load()) return;
    {
        std::lock_guard<std::mutex> lock(pauseMutex);
        keyPressed = true;
    }
    pauseWake.notify_all();
}

std::uint32_t milliseconds()
{
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

// Linux timers are already fine-grained: nothing to raise or restore.
TimerCaps timerCaps() { return TimerCaps{1, 1000000}; }
void beginTimerPeriod(std::uint32_t) {}
void endTimerPeriod(std::uint32_t) {}

void sdlPrepareProcess()
{
    // Before anything else opens a descriptor, the pipe included.
    reopenClosedStandardStreams();
    if (wakeRead < 0) {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) == 0) {
            wakeRead = ends[0];
            wakeWrite = ends[1];
        }
    }
    quitOnHangUp();
}

void sdlWakeMainThread()
{
    if (wakeWrite < 0) return;
    // A full pipe already wakes the loop: a failed write loses nothing.
    const ssize_t written = ::write(wakeWrite, "w", 1);
    static_cast<void>(written);
}

int sdlWakeFd() { return wakeRead; }

bool sdlTakeWakeUps()
{
    char bytes[64];
    if (wakeRead >= 0)
        while (::read(wakeRead, bytes, sizeof bytes) > 0) {
        }
    return hangUp.exchange(false);
}

bool sdlWaitAtStart(const std::function<bool()>& done, std::chrono::steady_clock::time_point deadline)
{
    // Caught for the wait only: SDL takes them over once it starts.
    constexpr int Stops[] = {SIGTERM, SIGINT};
    struct sigaction previous[2] = {};
    bool caught[2] = {};
    for (int i = 0; i < 2; ++i) {
        if (::sigaction(Stops[i], nullptr, &previous[i]) != 0 || previous[i].sa_handler == SIG_IGN) continue;
        struct sigaction action {};
        action.sa_handler = onStopSignal;
        sigemptyset(&action.sa_mask);
        caught[i] = ::sigaction(Stops[i], &action, nullptr) == 0;
    }
    bool finished = false;
    for (;;) {
        const bool hungUp = sdlTakeWakeUps();
        if (const int signal = stopSignal.load()) endBySignal(signal);
        if (hungUp) endBySignal(SIGHUP);
        if ((finished = done())) break;
        const auto left = deadline - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero()) break;
        // Rounded up, so that the last wait does not end just short of the
        // deadline; without the pipe, the flags are looked at often.
        const auto leftMs = std::chrono::ceil<std::chrono::milliseconds>(left).count();
        pollfd wake = {wakeRead, POLLIN, 0};
        if (wakeRead >= 0)
            ::poll(&wake, 1, static_cast<int>(std::min<long long>(leftMs, 60000)));
        else
            ::poll(nullptr, 0, static_cast<int>(std::min<long long>(leftMs, 10)));
    }
    for (int i = 0; i < 2; ++i)
        if (caught[i]) ::sigaction(Stops[i], &previous[i], nullptr);
    // One that came between the last look and the handlers' removal.
    if (const int signal = stopSignal.load()) endBySignal(signal);
    return finished;
}

std::string executablePath()
{
    char* resolved = ::realpath("/proc/self/exe", nullptr);
    if (!resolved) return std::string();
    std::string path(resolved);
    std::free(resolved);
    return path;
}

}  // namespace platform
