#include "app/frame_loop.h"
#include "platform/headless.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records what the frame thread asks of its game, with the clock at each
// call, and can quit after a given number of updates.
struct Journal {
    std::vector<std::string> calls;
    std::vector<std::uint32_t> updateTimes;
    int quitAfterUpdates = -1;
    int alive = 0;
    platform::WindowId startedOn = -1;
};
Journal journal;

struct RecordingGame {
    RecordingGame()
    {
        ++journal.alive;
        journal.calls.push_back("construct");
    }
    ~RecordingGame()
    {
        --journal.alive;
        journal.calls.push_back("destroy");
    }
    void startUp(platform::WindowId window)
    {
        journal.startedOn = window;
        journal.calls.push_back("startUp");
    }
    void update()
    {
        journal.calls.push_back("update");
        journal.updateTimes.push_back(platform::milliseconds());
        if (static_cast<int>(journal.updateTimes.size()) == journal.quitAfterUpdates) platform::requestQuit();
    }
    void present() { journal.calls.push_back("present"); }
    void serviceBgm() { journal.calls.push_back("serviceBgm"); }
    void finishStartUp() {}
};

// Also notes the rest of start-up, as the real game's finishStartUp would
// load it.
struct StagedGame : RecordingGame {
    void finishStartUp() { journal.calls.push_back("finishStartUp"); }
};

void freshStart(int quitAfterUpdates)
{
    headless::reset();
    journal = Journal{};
    journal.quitAfterUpdates = quitAfterUpdates;
}

int count(const std::string& name)
{
    int n = 0;
    for (const auto& c : journal.calls)
        n += (c == name);
    return n;
}

}  // namespace

TEST(FrameLoop, FirstFrameRunsAtOnceThenEveryFrameWaits33Ms)
{
    freshStart(4);
    headless::setClock(1000);
    RecordingGame game;
    EXPECT_EQ(runFrames(game), 4);
    ASSERT_EQ(headless::pauses().size(), 3u);
    for (std::uint32_t p : headless::pauses())
        EXPECT_EQ(p, 33u);
    EXPECT_EQ(journal.updateTimes, (std::vector<std::uint32_t>{1000, 1033, 1066, 1099}));
}

TEST(FrameLoop, EachFrameUpdatesThenPresentsAndTheFirstServesTheMusic)
{
    freshStart(3);
    RecordingGame game;
    runFrames(game);
    const std::vector<std::string> expected = {
        "construct", "update",  "present", "serviceBgm",  // restart requested at start
        "update",    "present",                           // nothing requested
        "update",    "present",
    };
    EXPECT_EQ(journal.calls, expected);
    EXPECT_FALSE(headless::bgmRestartPending());
}

TEST(FrameLoop, MusicThatEndsDuringAFrameIsRestartedInThatFrameOnly)
{
    freshStart(3);
    const platform::SoundHandle track = platform::openSound(platform::executablePath());
    ASSERT_NE(track, platform::NoSound);
    platform::playSound(track, true);
    // The track reaches its end while the second frame updates.
    struct TrackEndsInFrameTwo : RecordingGame {
        platform::SoundHandle track = platform::NoSound;
        void update()
        {
            RecordingGame::update();
            if (journal.updateTimes.size() == 2) headless::finishSound(track);
        }
    } game;
    game.track = track;
    runFrames(game);
    const std::vector<std::string> expected = {
        "construct", "update",  "present",    "serviceBgm",  // the request that stands at start
        "update",    "present", "serviceBgm",                // the track's end
        "update",    "present",
    };
    EXPECT_EQ(journal.calls, expected);
}

TEST(FrameStep, AFrameLeftUnpresentedStillServesTheMusicRequest)
{
    freshStart(-1);
    RecordingGame game;
    stepFrame(game, false);
    stepFrame(game);
    const std::vector<std::string> expected = {
        "construct", "update",  "serviceBgm",  // the request that stands at start
        "update",    "present",
    };
    EXPECT_EQ(journal.calls, expected);
    EXPECT_TRUE(headless::pauses().empty());
}

TEST(FrameStep, TheRestOfStartUpComesAfterThePresentAndBeforeTheMusicItMayLoad)
{
    freshStart(-1);
    StagedGame game;
    stepFrame(game, true, [] { journal.calls.push_back("after present"); });
    stepFrame(game, false, [] { journal.calls.push_back("after present"); });
    const std::vector<std::string> expected = {
        "construct",  "update", "present",       "after present", "finishStartUp",
        "serviceBgm", "update", "finishStartUp",  // unpresented: nothing after a present, the game decides the rest
    };
    EXPECT_EQ(journal.calls, expected);
}

TEST(FrameLoop, NoFrameRunsWhenShutdownCameDuringStartUp)
{
    freshStart(-1);
    platform::requestQuit();
    runGameThread<RecordingGame>();
    EXPECT_EQ(journal.calls, (std::vector<std::string>{"construct", "startUp", "destroy"}));
    EXPECT_TRUE(headless::pauses().empty());
}

TEST(FrameLoop, GameThreadStartsOnTheMainWindowAndTearsDownAfterTheLastFrame)
{
    freshStart(2);
    runGameThread<RecordingGame>();
    EXPECT_EQ(journal.startedOn, platform::mainWindow());
    EXPECT_NE(journal.startedOn, platform::NoWindow);
    EXPECT_EQ(journal.alive, 0);
    ASSERT_GE(journal.calls.size(), 2u);
    EXPECT_EQ(journal.calls[1], "startUp");
    EXPECT_EQ(journal.calls.back(), "destroy");
    // The quit came in the second update: that frame is finished, then the
    // loop ends.
    EXPECT_EQ(count("update"), 2);
    EXPECT_EQ(count("present"), 2);
}
