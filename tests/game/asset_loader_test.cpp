// The loader's rules: every step once, in order; shutdown stops it between
// steps; teardown waits only briefly for a step under way, which then
// finishes alone.
#include "game/asset_loader.h"

#include "step_gate.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

using gametest::HangLimit;

namespace {

using Where = AssetLoader::Where;

// Polls until the condition holds or HangLimit passes.
template <class Condition>
bool eventually(Condition condition)
{
    const auto deadline = std::chrono::steady_clock::now() + HangLimit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// A step that blocks until the test releases it, and tells when it has
// begun and when it has finished. Shared, as the loader's steps are.
struct BlockingStep {
    std::atomic<bool> begun{false};
    std::atomic<bool> released{false};
    std::atomic<bool> finished{false};

    static AssetLoader::Step of(const std::shared_ptr<BlockingStep>& s)
    {
        return [s] {
            s->begun = true;
            eventually([&] { return s->released.load(); });
            s->finished = true;
        };
    }
};

}  // namespace

TEST(AssetLoaderTest, EveryStepRunsOnceInOrderInlineOrOnItsOwnThread)
{
    for (Where where : {Where::Inline, Where::OwnThread}) {
        const auto order = std::make_shared<std::vector<int>>();
        std::vector<AssetLoader::Step> steps;
        for (int i = 0; i < 4; ++i)
            steps.push_back([order, i] { order->push_back(i); });
        AssetLoader loader(std::move(steps));
        EXPECT_EQ(loader.done(), 0u);
        loader.start(where);
        ASSERT_TRUE(eventually([&] { return loader.ended(); }));
        loader.start(where);  // only the first start runs anything

        EXPECT_EQ(loader.done(), 4u);
        EXPECT_EQ(loader.size(), 4u);
        EXPECT_EQ(*order, (std::vector<int>{0, 1, 2, 3}));
        EXPECT_TRUE(loader.stop(std::chrono::milliseconds(0)));
    }
}

TEST(AssetLoaderTest, ShutdownStopsItBetweenStepsAfterTheStepUnderWay)
{
    std::atomic<bool> running{true};
    const auto slow = std::make_shared<BlockingStep>();
    std::atomic<int> after{0};
    AssetLoader loader({[] {}, BlockingStep::of(slow), [&after] { ++after; }, [&after] { ++after; }},
                       [&running] { return running.load(); });
    loader.start(Where::OwnThread);
    ASSERT_TRUE(eventually([&] { return slow->begun.load(); }));

    running = false;  // shutdown begins while the second file is read
    slow->released = true;
    ASSERT_TRUE(eventually([&] { return loader.ended(); }));
    EXPECT_TRUE(slow->finished);
    EXPECT_EQ(loader.done(), 2u);
    EXPECT_EQ(after, 0);
}

TEST(AssetLoaderTest, TeardownLeavesASlowStepToFinishAlone)
{
    const auto slow = std::make_shared<BlockingStep>();
    const auto slot = std::make_shared<int>(0);
    {
        AssetLoader loader({BlockingStep::of(slow), [slot] { *slot = 1; }});
        loader.start(Where::OwnThread);
        ASSERT_TRUE(eventually([&] { return slow->begun.load(); }));
        EXPECT_FALSE(loader.stop(std::chrono::milliseconds(10)));
    }
    // The loader is gone while its step still runs; the step goes on with
    // what it shares and no further step starts.
    EXPECT_FALSE(slow->finished);
    slow->released = true;
    EXPECT_TRUE(eventually([&] { return slow->finished.load(); }));
    EXPECT_EQ(*slot, 0);

    AssetLoader neverStarted({[slot] { *slot = 2; }});
    EXPECT_TRUE(neverStarted.stop(std::chrono::milliseconds(0)));
    neverStarted.start(Where::Inline);
    EXPECT_EQ(*slot, 0);
}
