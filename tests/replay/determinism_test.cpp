// The same input gives the same game, frame for frame: twice in a row, from
// a recording made by the seeded player, and in the frame images written.
#include "render/surface.h"
#include "tests/replay/replay_test_support.h"
#include "tools/replay/runner.h"
#include "tools/replay/soak.h"
#include "tools/support/scratch_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>

using namespace replay;
using namespace replaytest;
using namespace support;

namespace {

// The first `frames` frames of a recording.
InputScript firstFrames(InputScript script, int frames)
{
    script.frames = frames;
    while (!script.events.empty() && script.events.back().frame >= frames)
        script.events.pop_back();
    return script;
}

}  // namespace

TEST(Determinism, SameInputGivesTheSameFramesBitForBit)
{
    ScratchDir work;
    ASSERT_TRUE(work.enter());
    writeTestPictures(work.path() + "/assets");
    const InputScript script = firstFrames(loadRecording("chain.input"), 500);

    RunOptions options;
    options.session.assetDir = work.path() + "/assets";
    options.hashFrames = true;
    const RunResult first = runScript(script, options);
    // The second run must not see the first one's rank file either.
    fs::remove_all(work.path() + "/Data");
    const RunResult second = runScript(script, options);

    ASSERT_EQ(first.hashes.size(), 500u);
    EXPECT_EQ(first.hashes, second.hashes);
    EXPECT_EQ(first.summary, second.summary);
    // The pictures really show the game: title, curtain, falling pairs.
    const std::set<std::uint64_t> distinct(first.hashes.begin(), first.hashes.end());
    EXPECT_GT(distinct.size(), 100u);
}

TEST(Determinism, ChangingOneKeyEventChangesTheGame)
{
    ScratchDir work;
    ASSERT_TRUE(work.enter());
    InputScript script = firstFrames(loadRecording("chain.input"), 400);
    RunOptions options;
    options.hashFrames = true;
    options.session.assetDir = work.path() + "/assets";
    writeTestPictures(options.session.assetDir);
    const RunResult original = runScript(script, options);

    // The player lets go of every key from frame 150 on: the pairs fall
    // where they spawn, so the game must leave the recording's course.
    const auto it = std::find_if(script.events.begin(), script.events.end(),
                                 [](const InputEvent& e) { return e.frame >= 150; });
    ASSERT_NE(it, script.events.end());
    script.events.erase(it, script.events.end());
    for (int k = 0; k < platform::KeyCount; ++k)
        script.events.push_back({150, EventKind::Release, static_cast<platform::Key>(k), 0});
    const RunResult changed = runScript(script, options);
    EXPECT_NE(original.hashes, changed.hashes);
}

TEST(Determinism, RecordedSessionReplaysToTheSameEnd)
{
    ScratchDir work;
    ASSERT_TRUE(work.enter());
    SessionPlan plan;
    plan.seed = 2024;
    plan.games = 2;
    plan.jitterPercent = 20;
    plan.startMs = 0xffffffffu - 5000;  // across the clock's wrap
    std::string atEnd;
    int lastFrame = -1;
    const SessionOutcome recorded = playSession(plan, [&](const Game& game, int frame) {
        atEnd = summarize(game);
        lastFrame = frame;
        return true;
    });
    ASSERT_TRUE(recorded.fault.empty()) << recorded.fault;
    ASSERT_TRUE(recorded.quit);
    EXPECT_EQ(recorded.counts.gamesStarted, 2);

    fs::remove_all(work.path() + "/Data");
    InputScript script;
    std::string error;
    ASSERT_TRUE(parseInputScript(formatInputScript(recorded.input), script, error)) << error;
    const RunResult replayed = runScript(script, RunOptions{});
    EXPECT_TRUE(replayed.quit);
    EXPECT_EQ(replayed.frames, lastFrame + 1);
    EXPECT_EQ(replayed.summary, atEnd);
    EXPECT_TRUE(replayed.boxes.empty());
}

TEST(Determinism, SameSeedGivesTheSameKeys)
{
    ScratchDir work;
    ASSERT_TRUE(work.enter());
    SessionPlan plan;
    plan.seed = 99;
    const SessionOutcome a = playSession(plan);
    fs::remove_all(work.path() + "/Data");
    const SessionOutcome b = playSession(plan);
    EXPECT_EQ(formatInputScript(a.input), formatInputScript(b.input));
    plan.seed = 100;
    fs::remove_all(work.path() + "/Data");
    const SessionOutcome c = playSession(plan);
    EXPECT_NE(formatInputScript(a.input), formatInputScript(c.input));
}

TEST(FrameImages, DumpsAreNamedByFrameAndHoldThePresentedPixels)
{
    ScratchDir work;
    ASSERT_TRUE(work.enter());
    writeTestPictures(work.path() + "/assets");
    fs::create_directories(work.path() + "/frames");
    const InputScript script = firstFrames(loadRecording("chain.input"), 120);
    RunOptions options;
    options.session.assetDir = work.path() + "/assets";
    options.dumpDir = work.path() + "/frames";
    options.dumpEvery = 50;
    options.hashFrames = true;
    const RunResult result = runScript(script, options);
    EXPECT_FALSE(result.dumpFailed);
    EXPECT_EQ(result.dumped, 3);

    for (int frame : {0, 50, 100}) {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%06d.bmp", frame);
        Surface image;
        ASSERT_TRUE(image.loadBmp(work.path() + "/frames/" + name)) << name;
        headless::Frame back;
        back.width = image.width();
        back.height = image.height();
        back.pixels.assign(image.pixels(), image.pixels() + image.width() * image.height() * 3);
        EXPECT_EQ(frameHash(back), result.hashes[static_cast<std::size_t>(frame)]) << name;
    }
    EXPECT_FALSE(fs::exists(work.path() + "/frames/frame-000001.bmp"));
}

TEST(FrameImages, NothingPresentedNothingWritten)
{
    headless::Frame none;
    EXPECT_EQ(frameHash(none), 0u);
    EXPECT_FALSE(writeFrameBmp(none, "never-written.bmp"));
    headless::Frame torn;
    torn.width = 4;
    torn.height = 4;
    torn.pixels.resize(10);
    EXPECT_FALSE(writeFrameBmp(torn, "never-written.bmp"));
    EXPECT_FALSE(fs::exists("never-written.bmp"));
}
