// Reading the game's files: only regular files are read, nothing waits on a
// special file, and every read is capped.
#include "platform/files.h"

#include "tests/platform/special_files.h"
#include "tests/rank/scratch_dir.h"

#include <string>
#include <vector>

using platform::OverCap;
using platform::ReadResult;

namespace {

class ReadFileTest : public ScratchDirTest {
protected:
    ReadResult read(const std::string& path, std::size_t cap, OverCap overCap = OverCap::ReadPrefix)
    {
        return platform::readFile(path, bytes, cap, overCap);
    }
    std::string text() const { return std::string(bytes.begin(), bytes.end()); }

    // A regular file of size bytes that holds no data (costs no disk).
    static void makeSparse(const std::string& path, off_t size)
    {
        writeBytes(path, "");
        ASSERT_EQ(::truncate(path.c_str(), size), 0);
    }

    std::vector<unsigned char> bytes{'x'};
};

TEST_F(ReadFileTest, ARegularFileIsReadWhole)
{
    writeBytes("f", std::string("ab\0cd", 5));
    const ReadResult r = read("f", 100);
    EXPECT_EQ(r.status, ReadResult::Read);
    EXPECT_TRUE(r.reason.empty());
    EXPECT_EQ(text(), std::string("ab\0cd", 5));
    // Exactly at the cap is still within it, either way.
    EXPECT_EQ(read("f", 5, OverCap::Reject).status, ReadResult::Read);
    EXPECT_EQ(text(), std::string("ab\0cd", 5));
}

TEST_F(ReadFileTest, AFifoIsMissingAndNeverWaitedOn)
{
    specialfiles::makeFifo("fifo");
    ReadResult r;
    EXPECT_TRUE(specialfiles::finishesWithoutWaiting("fifo", [&] { r = read("fifo", 100); }));
    EXPECT_EQ(r.status, ReadResult::Missing);
    EXPECT_EQ(r.reason, "not a regular file");
    EXPECT_TRUE(bytes.empty());
}

TEST_F(ReadFileTest, DirectoriesAndDevicesBehindLinksAreMissing)
{
    std::filesystem::create_directory("dir");
    EXPECT_EQ(read("dir", 100).status, ReadResult::Missing);
    EXPECT_TRUE(bytes.empty());

    // /dev/zero never ends: read as a file it would fill any cap.
    std::filesystem::create_symlink("/dev/zero", "zero.wav");
    const ReadResult r = read("zero.wav", 1 << 20, OverCap::Reject);
    EXPECT_EQ(r.status, ReadResult::Missing);
    EXPECT_EQ(r.reason, "not a regular file");
    EXPECT_TRUE(bytes.empty());

    std::filesystem::create_symlink("nowhere", "dangling");
    EXPECT_EQ(read("dangling", 100).status, ReadResult::Missing);
    EXPECT_EQ(read("no-such-file", 100).status, ReadResult::Missing);
    EXPECT_EQ(read("no-such-dir/f", 100).status, ReadResult::Missing);
}

TEST_F(ReadFileTest, AFileOverTheCapIsCutOrRejectedAsAsked)
{
    writeBytes("big", "0123456789");
    EXPECT_EQ(read("big", 4).status, ReadResult::Read);
    EXPECT_EQ(text(), "0123");

    const ReadResult r = read("big", 4, OverCap::Reject);
    EXPECT_EQ(r.status, ReadResult::TooLarge);
    EXPECT_EQ(r.reason, "larger than 4 bytes");
    EXPECT_TRUE(bytes.empty());

    // A huge sparse file is refused by its size, not read.
    makeSparse("huge", off_t(1) << 40);
    EXPECT_EQ(read("huge", 1 << 20, OverCap::Reject).status, ReadResult::TooLarge);
}

TEST_F(ReadFileTest, SoundFilesOverTheCapAreSkippedWithOneLineNamingThem)
{
    makeSparse("long.wav", 40 << 20);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(platform::readSoundFile("long.wav", bytes));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "tessaloom: skipping the sound file long.wav: larger than 33554432 bytes\n");
    EXPECT_TRUE(bytes.empty());

    makeSparse("cap.wav", platform::SoundFileMaxBytes);
    EXPECT_TRUE(platform::readSoundFile("cap.wav", bytes));
    EXPECT_EQ(bytes.size(), platform::SoundFileMaxBytes);
}

TEST_F(ReadFileTest, MissingAndSpecialSoundFilesAreSkippedSilently)
{
    specialfiles::makeFifo("fifo.wav");
    std::filesystem::create_symlink("/dev/urandom", "noise.wav");
    testing::internal::CaptureStderr();
    EXPECT_TRUE(specialfiles::finishesWithoutWaiting(
        "fifo.wav", [&] { EXPECT_FALSE(platform::readSoundFile("fifo.wav", bytes)); }));
    EXPECT_FALSE(platform::readSoundFile("noise.wav", bytes));
    EXPECT_FALSE(platform::readSoundFile("missing.wav", bytes));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
