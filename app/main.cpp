// Entry point: the main thread opens the window and serves its events while
// the frame thread runs the game.
#include "app/frame_loop.h"
#include "platform/platform.h"
#include "render/renderer.h"

#include <cstdio>
#include <system_error>
#include <thread>

namespace {
constexpr const char* WindowCaption = "Tessaloom";
constexpr int WindowLeft = 100;
constexpr int WindowTop = 100;
}  // namespace

int main()
{
    std::string error;
    if (!platform::openWindow(WindowCaption, WindowLeft, WindowTop, ScreenWidth, ScreenHeight, error)) {
        std::fprintf(stderr, "tessaloom: %s\n", error.c_str());
        return 1;
    }
    std::thread frameThread;
    try {
        frameThread = std::thread(frameThreadMain);
    } catch (const std::system_error& e) {
        std::fprintf(stderr, "tessaloom: cannot start the frame thread: %s\n", e.what());
        platform::closeWindow();
        return 1;
    }
    // Returns once the frame thread has left its loop and destroyed the
    // game, so teardown always completes before the window goes.
    platform::runEventLoop();
    frameThread.join();
    platform::closeWindow();
    return 0;
}
