#include "game/asset_loader.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <system_error>

// Everything the running steps reach: kept alive by the thread while it
// runs, so an owner that stops waiting can go.
struct AssetLoader::Shared {
    std::vector<Step> steps;
    std::function<bool()> keepGoing;
    std::atomic<std::size_t> done{0};
    std::atomic<bool> stopAsked{false};
    std::atomic<bool> ended{false};
    // Only for waiting on the end.
    std::mutex mutex;
    std::condition_variable endedChanged;

    void run()
    {
        for (std::size_t i = 0; i < steps.size(); ++i) {
            if (stopAsked.load() || (keepGoing && !keepGoing())) break;
            steps[i]();
            // The step's slots are written before the count says so.
            done.store(i + 1, std::memory_order_release);
        }
        {
            std::lock_guard<std::mutex> lock(mutex);
            ended.store(true);
        }
        endedChanged.notify_all();
    }
};

AssetLoader::AssetLoader(std::vector<Step> steps, std::function<bool()> keepGoing)
    : shared_(std::make_shared<Shared>())
{
    shared_->steps = std::move(steps);
    shared_->keepGoing = std::move(keepGoing);
}

AssetLoader::~AssetLoader() { stop(TeardownWait); }

void AssetLoader::start(Where where)
{
    if (started_) return;
    started_ = true;
    if (where == Where::OwnThread) {
        try {
            thread_ = std::thread([shared = shared_] { shared->run(); });
            return;
        } catch (const std::system_error&) {
            // No thread to be had: the caller waits, as it would without one.
        }
    }
    shared_->run();
}

std::size_t AssetLoader::done() const { return shared_->done.load(std::memory_order_acquire); }

std::size_t AssetLoader::size() const { return shared_->steps.size(); }

bool AssetLoader::ended() const { return shared_->ended.load(); }

bool AssetLoader::stop(std::chrono::milliseconds wait)
{
    shared_->stopAsked.store(true);
    if (!thread_.joinable()) return ended() || !started_;
    bool finished = false;
    {
        std::unique_lock<std::mutex> lock(shared_->mutex);
        finished = shared_->endedChanged.wait_for(lock, wait, [this] { return shared_->ended.load(); });
    }
    if (finished)
        thread_.join();  // it has only to return
    else
        thread_.detach();
    return finished;
}
