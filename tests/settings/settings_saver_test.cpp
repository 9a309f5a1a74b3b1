// The settings saver: wishes never wait for a save, wishes made while one
// runs are folded into the next with the newest values, a failed save's keys
// go with the next wish, and at teardown a stuck save is left behind with one
// line on stderr.
#include "settings/settings_saver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

namespace {

using namespace std::chrono_literals;

// A store that records every save and holds each one until the test lets it
// go (a disk stuck in a flush); after 10 s it gives up, so a fault fails the
// test instead of hanging it.
struct HeldStore {
    struct Call {
        Settings settings;
        SettingKeys keys;
    };
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Call> calls;
    int released = 0;  // saves allowed to finish
    bool fail = false;

    SettingsSaver::Store store()
    {
        return
            [this](const Settings& s, SettingKeys keys, std::string& reason, const std::function<bool()>&) {
                std::unique_lock<std::mutex> hold(mutex);
                calls.push_back({s, keys});
                changed.notify_all();
                const std::size_t mine = calls.size();
                changed.wait_for(hold, 10s, [&] { return released >= static_cast<int>(mine); });
                reason = "the disk said no";
                return !fail;
            };
    }
    // Waits until n saves have begun.
    bool begun(std::size_t n)
    {
        std::unique_lock<std::mutex> hold(mutex);
        return changed.wait_for(hold, 10s, [&] { return calls.size() >= n; });
    }
    void release()
    {
        std::lock_guard<std::mutex> hold(mutex);
        ++released;
        changed.notify_all();
    }
};

Settings with(bool mute, int music)
{
    Settings s;
    s.mute = mute;
    s.musicVolume = music;
    return s;
}

SettingKeys keysOf(const Settings& s) { return settingKeysChanged(Settings(), s); }

TEST(SettingsSaver, WishesMadeDuringASaveAreFoldedIntoOneWithTheNewestValues)
{
    HeldStore held;
    SettingsSaver saver;
    saver.use("settings.ini", held.store());
    saver.save(with(true, 100), keysOf(with(true, 100)));
    ASSERT_TRUE(held.begun(1));
    // The first save hangs; these return at once all the same.
    saver.save(with(true, 90), keysOf(with(false, 90)));
    saver.save(with(false, 90), keysOf(with(true, 100)));
    held.release();
    ASSERT_TRUE(held.begun(2));
    held.release();
    ASSERT_TRUE(saver.waitUntilIdle(10s));
    ASSERT_EQ(held.calls.size(), 2u);
    EXPECT_EQ(held.calls[1].settings, with(false, 90));
    EXPECT_EQ(held.calls[1].keys, keysOf(with(true, 90)));
}

TEST(SettingsSaver, AFailedSavesKeysGoWithTheNextWishAndARunSaysSoOnce)
{
    HeldStore held;
    held.fail = true;
    held.released = 100;
    SettingsSaver saver;
    saver.use("settings.ini", held.store());
    testing::internal::CaptureStderr();
    saver.save(with(true, 100), keysOf(with(true, 100)));
    ASSERT_TRUE(saver.waitUntilIdle(10s));
    saver.save(with(false, 100), keysOf(with(true, 100)));
    ASSERT_TRUE(saver.waitUntilIdle(10s));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "tessaloom: could not save the settings to settings.ini: the disk said no\n");
    held.fail = false;
    saver.save(with(false, 90), keysOf(with(false, 90)));
    ASSERT_TRUE(saver.waitUntilIdle(10s));
    ASSERT_EQ(held.calls.size(), 3u);
    EXPECT_EQ(held.calls[2].keys, keysOf(with(true, 90)));
}

TEST(SettingsSaver, AtTeardownASaveStuckInTheDiskIsLeftBehindWithOneLine)
{
    // The store outlives the saver: the thread left behind still uses it.
    const auto held = std::make_shared<HeldStore>();
    auto saver = std::make_unique<SettingsSaver>();
    saver->use("settings.ini", [held](const Settings& s, SettingKeys k, std::string& r,
                                      const std::function<bool()>& p) { return held->store()(s, k, r, p); });
    saver->save(with(true, 100), keysOf(with(true, 100)));
    ASSERT_TRUE(held->begun(1));
    testing::internal::CaptureStderr();
    const auto start = std::chrono::steady_clock::now();
    saver->close(50ms);
    // Only a hang is caught here; the grace is the saver's to keep.
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    saver.reset();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "tessaloom: could not save the settings to settings.ini: the save did not finish before the "
              "game closed\n");
    held->release();
}

TEST(SettingsSaver, NoPathNoThreadAndNothingSaved)
{
    HeldStore held;
    SettingsSaver saver;
    saver.use("", held.store());
    saver.save(with(true, 100), keysOf(with(true, 100)));
    EXPECT_TRUE(saver.waitUntilIdle(0ms));
    EXPECT_TRUE(held.calls.empty());
}

}  // namespace
