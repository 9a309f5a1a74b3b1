// Saves the settings file away from the frame thread. The frame thread only
// leaves a wish (the newest values of the keys that changed); a thread of the
// saver's own takes the latest wish and does the locked read, merge and write
// (saveSettings). Wishes made while a save runs are folded into one.
#pragma once

#include "settings/settings.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

class SettingsSaver {
public:
    // Writes the keys in changed with their values; false with reason when
    // nothing was written. retryPause is for a lock wait (saveSettings): it
    // returns false once the saver is closing.
    using Store = std::function<bool(const Settings& settings, SettingKeys changed, std::string& reason,
                                     const std::function<bool()>& retryPause)>;

    // How long a save still running at teardown may take before the game
    // goes without it: a few frames.
    static constexpr std::chrono::milliseconds CloseGrace{100};

    SettingsSaver();
    // close(CloseGrace).
    ~SettingsSaver();
    SettingsSaver(const SettingsSaver&) = delete;
    SettingsSaver& operator=(const SettingsSaver&) = delete;

    // Saves to the file at path from now on (none for an empty path), through
    // store (saveSettings on that path when empty). Before the first save.
    void use(const std::string& path, Store store = Store());

    // Frame thread: asks for the keys in changed to be saved with their
    // values in settings. Returns at once; a save that fails says so on
    // stderr in one line (the first failure of a run only), and its keys go
    // with the next wish. The thread
    // starts at the first wish, so a game that changes nothing has none.
    void save(const Settings& settings, SettingKeys changed);

    // Teardown: a wish still waiting or a save still running gets grace to
    // finish; then a lock wait gives up at once, and a save stuck in the disk
    // is left to the process's end, with one line on stderr. Later wishes are
    // dropped.
    void close(std::chrono::milliseconds grace);

    // Tests: waits until no wish waits and no save runs, limit at most.
    bool waitUntilIdle(std::chrono::milliseconds limit);

private:
    struct Shared;
    // The thread's loop: takes each wish in turn until the saver closes.
    static void run(Shared& shared);

    std::shared_ptr<Shared> shared_;
    std::thread thread_;
};
