// Saving the table where the rank file is shared, linked or protected: two
// copies of the game saving at once, a link to the real file, a link to
// something else, a file the player made read-only.
#include "rank/ranking.h"

#include "platform/files.h"
#include "tests/platform/special_files.h"

#include "scratch_dir.h"

#include <algorithm>
#include <numeric>
#include <random>
#include <thread>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class SavingTest : public ScratchDirTest {
protected:
    static std::string rankFile() { return readBytes(RankFilePath); }

    static mode_t modeOf(const std::string& path)
    {
        struct stat st;
        EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
        return st.st_mode & 07777;
    }

    static bool isLink(const std::string& path) { return std::filesystem::is_symlink(path); }

    // Exit status of a child process: its exit code, or 128 + the signal.
    static int waitFor(pid_t child)
    {
        int status = 0;
        EXPECT_EQ(::waitpid(child, &status, 0), child);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    static void writeByte(int fd)
    {
        const char one = 1;
        if (::write(fd, &one, 1) != 1) ::_exit(3);
    }

    static bool readByte(int fd)
    {
        char byte = 0;
        return ::read(fd, &byte, 1) == 1;
    }
};

std::string row(const std::string& name, int score) { return name + "\r\n" + std::to_string(score) + "\r\n"; }

TEST_F(SavingTest, TwoGamesSavingAtOnceKeepEveryEntryThatBelongs)
{
    // The scores 1..2000 in a shuffled order, half to each process, so the
    // five best are saved at unforeseen moments by either of them.
    constexpr int PerGame = 1000;
    std::vector<int> scores(2 * PerGame);
    std::iota(scores.begin(), scores.end(), 1);
    std::shuffle(scores.begin(), scores.end(), std::mt19937(20240612u));
    auto name = [&](int game, int i) { return std::string(1, "pq"[game]) + std::to_string(i); };

    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    pid_t children[2];
    for (int game = 0; game < 2; ++game) {
        children[game] = ::fork();
        ASSERT_GE(children[game], 0);
        if (children[game] == 0) {
            ::close(start[1]);
            readByte(start[0]);  // both start on the same signal: the pipe closing
            for (int i = 0; i < PerGame; ++i)
                if (!saveRankEntry(name(game, i), scores[game * PerGame + i])) ::_exit(1);
            ::_exit(0);
        }
    }
    ::close(start[0]);
    ::close(start[1]);
    EXPECT_EQ(waitFor(children[0]), 0) << "a save of the first game failed";
    EXPECT_EQ(waitFor(children[1]), 0) << "a save of the second game failed";

    std::string expected;
    for (int best = 2 * PerGame; best > 2 * PerGame - RankPlaces; --best) {
        const int at = static_cast<int>(std::find(scores.begin(), scores.end(), best) - scores.begin());
        expected += row(name(at / PerGame, at % PerGame), best);
    }
    EXPECT_EQ(rankFile(), expected);
    EXPECT_EQ(listDir("Data"), std::vector<std::string>{"Rank.ds"});
}

TEST_F(SavingTest, ASaveInProgressKeepsItsTemporaryAndBothEntriesLand)
{
    ASSERT_TRUE(saveRankEntry("old", 10));
    int ready[2], go[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(go), 0);
    const pid_t other = ::fork();
    ASSERT_GE(other, 0);
    if (other == 0) {
        // Another copy of the game in the middle of its save: lock held,
        // temporary written, rename still to come.
        platform::LockedFile lock(RankFilePath);
        if (!lock.ok()) ::_exit(1);
        writeBytes("Data/.Rank.ds.tmp-OTHER1",
                   row("oth", 15) + row("old", 10) + row("", 0) + row("", 0) + row("", 0));
        writeByte(ready[1]);
        readByte(go[0]);
        // Space for the parent's save to be under way (it is then waiting).
        ::usleep(200 * 1000);
        ::_exit(::rename("Data/.Rank.ds.tmp-OTHER1", RankFilePath) == 0 ? 0 : 2);
    }
    ASSERT_TRUE(readByte(ready[0]));
    bool saved = false;
    std::thread save([&] { saved = saveRankEntry("new", 20); });
    writeByte(go[1]);
    save.join();
    EXPECT_EQ(waitFor(other), 0) << "the other game's temporary was taken away before its rename";
    EXPECT_TRUE(saved);
    EXPECT_EQ(rankFile(), row("new", 20) + row("oth", 15) + row("old", 10) + row("", 0) + row("", 0));
}

TEST_F(SavingTest, ALinkToARegularFileIsSavedThroughAndKept)
{
    writeBytes("Elsewhere/scores.txt", row("abc", 100));
    std::filesystem::create_directory("Data");
    std::filesystem::create_symlink("../Elsewhere/scores.txt", RankFilePath);
    ASSERT_EQ(::chmod("Elsewhere/scores.txt", 0600), 0);

    ASSERT_TRUE(saveRankEntry("new", 200));
    EXPECT_TRUE(isLink(RankFilePath));
    EXPECT_EQ(readBytes("Elsewhere/scores.txt"),
              row("new", 200) + row("abc", 100) + row("", 0) + row("", 0) + row("", 0));
    EXPECT_EQ(modeOf("Elsewhere/scores.txt"), 0600u);
    EXPECT_EQ(listDir("Data"), std::vector<std::string>{"Rank.ds"});
    EXPECT_EQ(listDir("Elsewhere"), std::vector<std::string>{"scores.txt"});
}

TEST_F(SavingTest, ALinkToADeviceOrToNothingGetsNothingWritten)
{
    std::filesystem::create_directory("Data");
    std::filesystem::create_symlink("/dev/zero", RankFilePath);
    std::string reason;
    EXPECT_TRUE(rankQualifies(1));  // reads as an empty table
    EXPECT_FALSE(saveRankEntry("abc", 100, &reason));
    EXPECT_EQ(reason, "a link to something other than a regular file");
    EXPECT_TRUE(isLink(RankFilePath));
    EXPECT_EQ(std::filesystem::read_symlink(RankFilePath), "/dev/zero");

    std::filesystem::remove(RankFilePath);
    std::filesystem::create_symlink("../Gone/scores.txt", RankFilePath);
    EXPECT_FALSE(saveRankEntry("abc", 100, &reason));
    EXPECT_EQ(reason, "a link to nothing");
    EXPECT_TRUE(isLink(RankFilePath));
    EXPECT_FALSE(std::filesystem::exists("Gone"));
    EXPECT_EQ(listDir("Data"), std::vector<std::string>{"Rank.ds"});
}

TEST_F(SavingTest, AFifoRankFileReadsAsEmptyAtOnceAndIsNotReplaced)
{
    std::filesystem::create_directory("Data");
    specialfiles::makeFifo(RankFilePath);
    bool qualifies = false;
    std::string name = "keep";
    int score = -1;
    EXPECT_TRUE(specialfiles::finishesWithoutWaiting(RankFilePath, [&] {
        qualifies = rankQualifies(1);
        rankEntry(1, name, score);
    }));
    EXPECT_TRUE(qualifies);
    EXPECT_EQ(name, "");
    EXPECT_EQ(score, 0);

    std::string reason;
    EXPECT_FALSE(saveRankEntry("abc", 100, &reason));
    EXPECT_EQ(reason, "not a regular file");
    EXPECT_TRUE(std::filesystem::is_fifo(RankFilePath));
}

TEST_F(SavingTest, TheModeIsKeptButNeverOpensTheFileToOthers)
{
    writeBytes(RankFilePath, "");
    ASSERT_EQ(::chmod(RankFilePath, 0600), 0);
    ASSERT_TRUE(saveRankEntry("abc", 100));
    EXPECT_EQ(modeOf(RankFilePath), 0600u);

    ASSERT_EQ(::chmod(RankFilePath, 0666), 0);
    ASSERT_TRUE(saveRankEntry("abd", 90));
    EXPECT_EQ(modeOf(RankFilePath), 0644u);

    ASSERT_EQ(::chmod(RankFilePath, 0640), 0);
    ASSERT_TRUE(saveRankEntry("abe", 80));
    EXPECT_EQ(modeOf(RankFilePath), 0640u);
    EXPECT_EQ(rankFile(), row("abc", 100) + row("abd", 90) + row("abe", 80) + row("", 0) + row("", 0));
}

TEST_F(SavingTest, AReadOnlyRankFileIsLeftAsItIs)
{
    writeBytes(RankFilePath, row("abc", 100));
    ASSERT_EQ(::chmod(RankFilePath, 0444), 0);
    std::string reason;
    EXPECT_FALSE(saveRankEntry("new", 200, &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(rankFile(), row("abc", 100));
    EXPECT_EQ(modeOf(RankFilePath), 0444u);
    EXPECT_EQ(listDir("Data"), std::vector<std::string>{"Rank.ds"});
}

TEST_F(SavingTest, TheTableInMemoryIsWhatASaveWrites)
{
    const std::string files[] = {
        "",
        "abc\r\n1200\r\n",
        "aaa\r\n500\r\nbbb\r\n400\r\nccc\r\n300\r\nddd\r\n200\r\neee\r\n100\r\n",
        "mid\r\n300\r\ntop\r\n0900\r\nlow\r\n-5\r\nsam\r\n300\r\n",
        std::string("ab\0c\r\n7\r\n", 9),
        "no line breaks at all",
        std::string(70 * 1024, 'x') + "\r\n5\r\n",  // past the read cap
    };
    for (const std::string& file : files) {
        writeBytes(RankFilePath, file);
        ASSERT_TRUE(saveRankEntry("new", 300));
        RankTable table = parseRankTable(file);
        insertRankEntry(table, "new", 300);
        EXPECT_EQ(formatRankTable(table), rankFile()) << "file: " << file.substr(0, 60);
    }
}

}  // namespace
