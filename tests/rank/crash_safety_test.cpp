// A save killed at any moment must leave a complete table: the old one or
// the new one, never a truncated or half-written file.
#include "rank/ranking.h"

#include "scratch_dir.h"
#include "tools/support/rank_file_check.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <random>

#include <sys/wait.h>
#include <unistd.h>

namespace {

class CrashSafetyTest : public ScratchDirTest {};

int leftoverTemporaries()
{
    int count = 0;
    for (const auto& e : std::filesystem::directory_iterator("Data"))
        if (e.path().filename().string().rfind(".Rank.ds.tmp-", 0) == 0) ++count;
    return count;
}

TEST_F(CrashSafetyTest, KilledSavesLeaveACompleteOldOrNewTable)
{
    constexpr int Kills = 240;
    ASSERT_TRUE(saveRankEntry("aaa", 1));

    // Kill moments are spread over a few save durations measured here, so
    // the test lands inside saves however slow the machine (or a sanitizer)
    // makes them.
    const auto t0 = std::chrono::steady_clock::now();
    constexpr int Probes = 10;
    for (int k = 0; k < Probes; ++k)
        ASSERT_TRUE(saveRankEntry("aab", 2 + k));
    const auto saveMicros =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - t0).count() /
        Probes;

    std::mt19937 random(20240611u);
    std::uniform_int_distribution<long long> delayMicros(0, 3 * std::max<long long>(saveMicros, 100));
    int changed = 0;
    int leftovers = 0;
    std::string previous = readBytes(RankFilePath);

    for (int kill = 0; kill < Kills; ++kill) {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(ready[0]);
            // Ever higher scores within the game's cap, so every save changes
            // the table. The first finished save is announced, so the kill
            // never lands during the child's start-up, which says nothing
            // about saving.
            for (int k = 1;; ++k) {
                const std::string name{letterChar(k % 26), letterChar(kill % 26), letterChar(k / 26 % 26)};
                if (!saveRankEntry(name, kill * 40000 + k)) ::_exit(1);
                if (k == 1) {
                    const char one = 1;
                    if (::write(ready[1], &one, 1) != 1) ::_exit(1);
                    ::close(ready[1]);
                }
            }
        }
        ::close(ready[1]);
        char byte = 0;
        ASSERT_EQ(::read(ready[0], &byte, 1), 1) << "the saving child failed before its first save";
        ::close(ready[0]);
        ::usleep(static_cast<useconds_t>(delayMicros(random)));
        ASSERT_EQ(::kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child stopped by itself at kill " << kill;

        const std::string now = readBytes(RankFilePath);
        ASSERT_EQ(support::rankFileFault(now), "") << "after kill " << kill << ":\n" << now;
        if (now != previous) ++changed;
        previous = now;
        if (leftoverTemporaries() > 0) ++leftovers;
    }

    ASSERT_TRUE(saveRankEntry("zzz", 2));
    EXPECT_EQ(leftoverTemporaries(), 0);
    EXPECT_EQ(support::rankFileFault(readBytes(RankFilePath)), "");
    // The children did get saves through, or the test proved nothing.
    EXPECT_GT(changed, Kills / 4);
    // ... and some kills did land inside a save.
    EXPECT_GT(leftovers, 0);

    std::printf("[ crash    ] %d kills: table changed after %d, temporaries left behind after %d\n", Kills,
                changed, leftovers);
    RecordProperty("kills", Kills);
    RecordProperty("tableChanged", changed);
    RecordProperty("temporariesLeft", leftovers);
}

}  // namespace
