#include "app/frame_loop.h"

#include "app/players_game.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

FrameHooks frameHooksFromEnvironment()
{
    FrameHooks hooks;
#ifdef TESSALOOM_TEST_HOOKS
    if (const char* text = std::getenv("TESSALOOM_SELFTEST_MESSAGE_BOX")) {
        hooks.showSelfTestBox = true;
        hooks.selfTestText = text;
    }
#endif
    // Kept in every build: the start-up benchmark times the player's build,
    // and all the hook does is end the game after its first picture.
    hooks.exitAfterFirstFrame = std::getenv("TESSALOOM_EXIT_AFTER_FIRST_FRAME") != nullptr;
    return hooks;
}

void reportFirstFramePresented()
{
    // Wall clock, not the game's monotonic one: the measuring script compares
    // it with the moment it started the process.
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(
                        std::chrono::system_clock::now().time_since_epoch())
                        .count();
    std::fprintf(stderr, "tessaloom: first frame presented at %lld.%06lld\n",
                 static_cast<long long>(us / 1000000), static_cast<long long>(us % 1000000));
}

namespace {

// The player's game on the desktop, where the frame thread must never wait
// for a file: the rest of start-up is read on a loader thread, which stops
// between files once shutdown begins.
struct DesktopGame : PlayersGame {
    DesktopGame() { setBackgroundLoading(platform::running); }
};

}  // namespace

void frameThreadMain() { runGameThread<DesktopGame>(frameHooksFromEnvironment()); }
