// A save killed at any moment must leave a complete table: the old one or
// the new one, never a truncated or half-written file.
#include "rank/ranking.h"
#include "rank/text_file.h"

#include "scratch_dir.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <random>

#include <sys/wait.h>
#include <unistd.h>

namespace {

class CrashSafetyTest : public ScratchDirTest {};

bool isCanonicalScore(const std::string& s)
{
    if (s.empty() || s.size() > 10)
        return false;
    if (s == "0")
        return true;
    if (s[0] < '1' || s[0] > '9')
        return false;
    for (char c : s)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// Ten CR LF terminated lines of three-letter or empty names and canonical
// scores in descending order; a reason when not.
std::string tableProblem(const std::string& bytes)
{
    if (bytes.size() < 2 || bytes.compare(bytes.size() - 2, 2, "\r\n") != 0)
        return "not terminated by CR LF";
    TextFileReader r;
    r.open(RankFilePath);
    if (r.text() != bytes)
        return "changed while checking";
    if (r.lineCount() != 11)
        return "has " + std::to_string(r.lineCount() - 1) + " lines";
    int previous = -1;
    for (int place = 1; place <= 5; ++place) {
        std::string name, score;
        r.line(name, 2 * (place - 1));
        r.line(score, 2 * place - 1);
        if (!name.empty() && name.size() != 3)
            return "bad name line '" + name + "'";
        if (!isCanonicalScore(score))
            return "bad score line '" + score + "'";
        const int value = parseScore(score);
        if (place > 1 && value > previous)
            return "not in descending order";
        previous = value;
    }
    return "";
}

int leftoverTemporaries()
{
    int count = 0;
    for (const auto& e : std::filesystem::directory_iterator("Data"))
        if (e.path().filename().string().rfind(".Rank.ds.tmp-", 0) == 0)
            ++count;
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
    const auto saveMicros = std::chrono::duration_cast<std::chrono::microseconds>(
                                std::chrono::steady_clock::now() - t0).count() / Probes;

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
            // Ever higher scores, so every save changes the table. The first
            // finished save is announced, so the kill never lands during the
            // child's start-up, which says nothing about saving.
            for (int k = 1;; ++k) {
                const std::string name{letterChar(k % 26), letterChar(kill % 26), letterChar(k / 26 % 26)};
                if (!saveRankEntry(name, kill * 100000 + k))
                    ::_exit(1);
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
        ASSERT_EQ(tableProblem(now), "") << "after kill " << kill << ":\n" << now;
        if (now != previous)
            ++changed;
        previous = now;
        if (leftoverTemporaries() > 0)
            ++leftovers;
    }

    ASSERT_TRUE(saveRankEntry("zzz", 2));
    EXPECT_EQ(leftoverTemporaries(), 0);
    EXPECT_EQ(tableProblem(readBytes(RankFilePath)), "");
    // The children did get saves through, or the test proved nothing.
    EXPECT_GT(changed, Kills / 4);
    // ... and some kills did land inside a save.
    EXPECT_GT(leftovers, 0);

    std::printf("[ crash    ] %d kills: table changed after %d, temporaries left behind after %d\n",
                Kills, changed, leftovers);
    RecordProperty("kills", Kills);
    RecordProperty("tableChanged", changed);
    RecordProperty("temporariesLeft", leftovers);
}

}  // namespace
