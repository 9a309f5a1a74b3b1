#include "settings/settings_saver.h"

#include "platform/files.h"

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <system_error>

namespace {

#ifdef __EMSCRIPTEN__
// The page has one thread, and its files are in memory: a save there has no
// disk to wait for, and runs at once.
constexpr bool OwnThread = false;
#else
constexpr bool OwnThread = true;
#endif

}  // namespace

// What the frame thread and the saver's thread share. The thread holds it
// too, so a thread left behind at teardown never reaches a freed saver.
struct SettingsSaver::Shared {
    std::string path;
    Store store;
    std::mutex mutex;
    std::condition_variable changed;
    Settings wished;             // the newest values
    SettingKeys wishedKeys = 0;  // the keys waiting to be saved; none: no wish
    SettingKeys carried = 0;     // the keys of a failed save, for the next wish
    bool saving = false;
    bool stopping = false;   // lock waits give up, no save starts
    bool abandoned = false;  // the saver went without this thread: it says no more
    // A folder that cannot be written fails every save alike: the first
    // failure has a line, the rest of the run stays quiet. Either thread.
    std::atomic<bool> reported{false};

    void reportNotSaved(const std::string& reason)
    {
        if (reported.exchange(true)) return;
        std::fprintf(stderr, "tessaloom: could not save the settings to %s: %s\n", path.c_str(),
                     reason.c_str());
    }
};

SettingsSaver::SettingsSaver() : shared_(std::make_shared<Shared>()) {}

SettingsSaver::~SettingsSaver() { close(CloseGrace); }

void SettingsSaver::use(const std::string& path, Store store)
{
    if (!store)
        store = [path](const Settings& settings, SettingKeys changed, std::string& reason,
                       const std::function<bool()>& retryPause) {
            return saveSettings(path, settings, changed, &reason, retryPause);
        };
    std::lock_guard<std::mutex> hold(shared_->mutex);
    shared_->path = path;
    shared_->store = path.empty() ? Store() : store;
}

void SettingsSaver::save(const Settings& settings, SettingKeys changed)
{
    Shared& s = *shared_;
    if (!changed || !s.store) return;
    if (!OwnThread) {
        std::string reason;
        if (!s.store(settings, changed | s.carried, reason, platform::pauseBeforeLockRetry)) {
            s.carried |= changed;
            s.reportNotSaved(reason);
        } else {
            s.carried = 0;
        }
        return;
    }
    {
        std::lock_guard<std::mutex> hold(s.mutex);
        if (s.stopping) return;
        s.wished = settings;
        s.wishedKeys |= changed | s.carried;
        s.carried = 0;
    }
    s.changed.notify_all();
    if (thread_.joinable()) return;
    try {
        thread_ = std::thread([shared = shared_] { run(*shared); });
    } catch (const std::system_error& e) {
        // The wish stays; the next one tries again.
        s.reportNotSaved(std::string("cannot start a thread: ") + e.what());
    }
}

void SettingsSaver::run(Shared& s)
{
    // Between two tries at a held lock; cut short when the saver closes.
    const std::function<bool()> retryPause = [&s] {
        std::unique_lock<std::mutex> hold(s.mutex);
        return !s.changed.wait_for(hold, platform::LockRetryPause, [&s] { return s.stopping; });
    };
    std::unique_lock<std::mutex> hold(s.mutex);
    for (;;) {
        s.changed.wait(hold, [&s] { return s.wishedKeys != 0 || s.stopping; });
        if (s.stopping) return;
        const Settings settings = s.wished;
        const SettingKeys keys = s.wishedKeys;
        s.wishedKeys = 0;
        s.saving = true;
        hold.unlock();

        std::string reason;
        const bool saved = s.store(settings, keys, reason, retryPause);
        // Said before the save counts as over, and not under the lock: a
        // slow stderr must not hold up a wish.
        if (!saved) {
            hold.lock();
            const bool quiet = s.abandoned;
            hold.unlock();
            if (!quiet) s.reportNotSaved(reason);
        }

        hold.lock();
        s.saving = false;
        if (!saved) {
            if (s.stopping)
                s.wishedKeys = 0;  // the line above spoke for it too
            else if (s.wishedKeys != 0)
                s.wishedKeys |= keys;  // a newer wish holds the newest values of every key
            else
                s.carried |= keys;
        }
        s.changed.notify_all();
    }
}

void SettingsSaver::close(std::chrono::milliseconds grace)
{
    if (!thread_.joinable()) return;
    Shared& s = *shared_;
    std::unique_lock<std::mutex> hold(s.mutex);
    const auto idle = [&s] { return s.wishedKeys == 0 && !s.saving; };
    s.changed.wait_for(hold, grace, idle);
    s.stopping = true;
    s.changed.notify_all();
    // A lock wait ends at once now; a save in the disk's hands may not.
    const bool ended = s.changed.wait_for(hold, grace, [&s] { return !s.saving; });
    const bool unsaved = s.wishedKeys != 0;
    if (!ended) s.abandoned = true;
    hold.unlock();
    if (ended) {
        thread_.join();
        if (unsaved) s.reportNotSaved("the game closed first");
    } else {
        // The process ends soon and takes the thread with it; the file is
        // then the old one, and the save's temporary is swept by the next.
        thread_.detach();
        s.reportNotSaved("the save did not finish before the game closed");
    }
}

bool SettingsSaver::waitUntilIdle(std::chrono::milliseconds limit)
{
    Shared& s = *shared_;
    std::unique_lock<std::mutex> hold(s.mutex);
    return s.changed.wait_for(hold, limit, [&s] { return s.wishedKeys == 0 && !s.saving; });
}
