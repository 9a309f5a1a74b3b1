#include "app/frame_loop.h"
#include "platform/headless.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Notes how many message boxes had been shown at each call, so a test can
// tell whether the self-test box came before start-up or the first frame.
struct BoxWatch {
    std::vector<std::string> calls;
    int quitAfterUpdates = -1;
    int updates = 0;
};
BoxWatch watch;

std::string withBoxes(const char* call)
{
    return std::string(call) + ":" + std::to_string(headless::messageBoxes().size());
}

struct WatchingGame {
    void startUp(platform::WindowId) { watch.calls.push_back(withBoxes("startUp")); }
    void update()
    {
        watch.calls.push_back(withBoxes("update"));
        if (++watch.updates == watch.quitAfterUpdates) platform::requestQuit();
    }
    void present() { watch.calls.push_back("present"); }
    void serviceBgm() {}
    void finishStartUp() {}
};

// Notes whether the first-frame report was already on stderr when the rest
// of start-up began.
struct StagedWatchingGame : WatchingGame {
    void finishStartUp()
    {
        const std::string err = testing::internal::GetCapturedStderr();
        watch.calls.push_back(err.find("first frame presented at") != std::string::npos
                                  ? "finishStartUp after the report"
                                  : "finishStartUp before the report");
        testing::internal::CaptureStderr();
    }
};

void freshStart(int quitAfterUpdates)
{
    headless::reset();
    watch = BoxWatch{};
    watch.quitAfterUpdates = quitAfterUpdates;
}

// Restores one environment variable when the test ends.
class ScopedEnv {
public:
    explicit ScopedEnv(const char* name) : name_(name)
    {
        if (const char* v = std::getenv(name)) {
            had_ = true;
            old_ = v;
        }
    }
    ~ScopedEnv()
    {
        if (had_)
            setenv(name_, old_.c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    bool had_ = false;
    std::string old_;
};

}  // namespace

TEST(FrameHooks, SelfTestBoxShowsOnceAfterStartUpBeforeTheFirstFrameAndTheGameGoesOn)
{
    freshStart(3);
    FrameHooks hooks;
    hooks.showSelfTestBox = true;
    hooks.selfTestText = "box from the test";
    runGameThread<WatchingGame>(hooks);

    ASSERT_EQ(headless::messageBoxes().size(), 1u);
    EXPECT_EQ(headless::messageBoxes()[0].text, "box from the test");
    EXPECT_EQ(headless::messageBoxes()[0].caption, "self-test");
    const std::vector<std::string> expected{"startUp:0", "update:1", "present", "update:1",
                                            "present",   "update:1", "present"};
    EXPECT_EQ(watch.calls, expected);
}

TEST(FrameHooks, WithoutHooksNoBoxAndFramesRunUntilQuit)
{
    freshStart(5);
    runGameThread<WatchingGame>();
    EXPECT_TRUE(headless::messageBoxes().empty());
    EXPECT_EQ(watch.updates, 5);
}

TEST(FrameHooks, ExitAfterFirstFrameQuitsRightAfterTheFirstPresentWithoutPausing)
{
    freshStart(-1);
    WatchingGame game;
    EXPECT_EQ(runFrames(game, true), 1);
    EXPECT_FALSE(platform::running());
    EXPECT_TRUE(headless::pauses().empty());
    EXPECT_EQ(watch.calls, (std::vector<std::string>{"update:0", "present"}));
}

TEST(FrameHooks, TheFirstFrameIsReportedAtItsHandOverBeforeTheRestOfStartUpLoads)
{
    freshStart(-1);
    StagedWatchingGame game;
    testing::internal::CaptureStderr();
    EXPECT_EQ(runFrames(game, true), 1);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(watch.calls,
              (std::vector<std::string>{"update:0", "present", "finishStartUp after the report"}));
}

TEST(FrameHooks, EnvironmentSetsTheHooksAnEmptyBoxTextStillCounts)
{
    ScopedEnv box("TESSALOOM_SELFTEST_MESSAGE_BOX");
    ScopedEnv exit("TESSALOOM_EXIT_AFTER_FIRST_FRAME");
    unsetenv("TESSALOOM_SELFTEST_MESSAGE_BOX");
    unsetenv("TESSALOOM_EXIT_AFTER_FIRST_FRAME");
    FrameHooks none = frameHooksFromEnvironment();
    EXPECT_FALSE(none.showSelfTestBox);
    EXPECT_FALSE(none.exitAfterFirstFrame);

    setenv("TESSALOOM_SELFTEST_MESSAGE_BOX", "", 1);
    setenv("TESSALOOM_EXIT_AFTER_FIRST_FRAME", "1", 1);
    FrameHooks both = frameHooksFromEnvironment();
#ifdef TESSALOOM_TEST_HOOKS
    EXPECT_TRUE(both.showSelfTestBox);
    EXPECT_EQ(both.selfTestText, "");
#else
    // A player's build shows no box whatever the environment says.
    EXPECT_FALSE(both.showSelfTestBox);
#endif
    EXPECT_TRUE(both.exitAfterFirstFrame);

    setenv("TESSALOOM_SELFTEST_MESSAGE_BOX", "hello box", 1);
#ifdef TESSALOOM_TEST_HOOKS
    EXPECT_EQ(frameHooksFromEnvironment().selfTestText, "hello box");
#else
    EXPECT_FALSE(frameHooksFromEnvironment().showSelfTestBox);
#endif
}
