// A settings save never holds up the play: M leaves the file work to the
// saver's thread, so the arrows tapped right after it move the pair while
// the save still hangs in the disk or waits for a lock another process
// holds, and nothing is left behind once the game is gone.
#include "play_fixture.h"

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using platform::Key;
using namespace std::chrono_literals;

namespace {

int countOf(const char* folder)
{
    int n = 0;
    for (auto it = std::filesystem::directory_iterator(folder); it != std::filesystem::directory_iterator();
         ++it)
        ++n;
    return n;
}

}  // namespace

class SettingsSaveTest : public PlayTest {
protected:
    std::string settingsFile() const { return soundDir.file("config/tessaloom/settings.ini"); }

    // Taps M, then ten arrows a frame apart, left and right in turn; the
    // number of them that moved the pair.
    int arrowsThatMoveAfterMute()
    {
        game->changePhase(PhaseFalling);
        placePair(3, 4, 0, 3, 6, 1);
        Millis t = 1000;
        headless::press(Key::M);
        frameAt(t += 33);
        headless::release(Key::M);
        int moved = 0;
        for (int k = 0; k < 10; ++k) {
            PairBlock::setFallStamp(t);
            const int before = pair(0).column();
            const Key arrow = k % 2 ? Key::Right : Key::Left;
            headless::press(arrow);
            frameAt(t += 60);
            headless::release(arrow);
            moved += pair(0).column() != before;
        }
        return moved;
    }
};

TEST_F(SettingsSaveTest, ArrowsRightAfterMMoveThePairWhileTheSaveHangs)
{
    // The save, as a disk stuck in its flush, holds until let go (10 s at
    // most, so that a frame waiting for it fails the test instead of hanging).
    std::mutex mutex;
    std::condition_variable changed;
    bool inSave = false, letGo = false, heldToTheEnd = false;
    GameTestAccess::settingsSaver(*game).use(
        settingsFile(), [&](const Settings&, SettingKeys, std::string&, const std::function<bool()>&) {
            std::unique_lock<std::mutex> hold(mutex);
            inSave = true;
            changed.notify_all();
            heldToTheEnd = changed.wait_for(hold, 10s, [&] { return letGo; });
            return true;
        });
    EXPECT_EQ(arrowsThatMoveAfterMute(), 10);
    EXPECT_TRUE(game->settings().mute);
    {
        std::unique_lock<std::mutex> hold(mutex);
        ASSERT_TRUE(changed.wait_for(hold, 10s, [&] { return inSave; }));
        letGo = true;
        changed.notify_all();
    }
    ASSERT_TRUE(GameTestAccess::settingsSaver(*game).waitUntilIdle(10s));
    EXPECT_TRUE(heldToTheEnd) << "a frame waited for the save";
}

TEST_F(SettingsSaveTest, ArrowsRightAfterMMoveThePairWhileAnotherProcessHoldsTheLockAndNothingIsLeft)
{
    std::filesystem::create_directories(std::filesystem::path(settingsFile()).parent_path());
    const int held = ::open(std::filesystem::path(settingsFile()).parent_path().c_str(),
                            O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    const int threads = countOf("/proc/self/task");
    const int descriptors = countOf("/proc/self/fd");
    game->useSettingsFile(settingsFile());

    EXPECT_EQ(arrowsThatMoveAfterMute(), 10);
    // The save still waits for the lock: the frames above did not.
    EXPECT_FALSE(GameTestAccess::settingsSaver(*game).waitUntilIdle(0ms));
    // More presses while it waits: one thread, one lock try at a time.
    for (int k = 0; k < 3; ++k) {
        headless::press(Key::M);
        frameAt(2000 + 33 * k);
        headless::release(Key::M);
    }
    EXPECT_EQ(countOf("/proc/self/task"), threads + 1);

    // The lock let go: the newest wish lands (four presses: sound on).
    ::close(held);
    ASSERT_TRUE(GameTestAccess::settingsSaver(*game).waitUntilIdle(10s));
    EXPECT_EQ(loadSettings(settingsFile()), Settings());
    EXPECT_TRUE(std::filesystem::exists(settingsFile()));
    game.reset();
    EXPECT_EQ(countOf("/proc/self/task"), threads);
    EXPECT_EQ(countOf("/proc/self/fd"), descriptors - 1);  // less the lock just let go
}
