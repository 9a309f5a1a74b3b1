// Assets are found beside the executable and saves are written beside the
// rank file: both split a path at its last '/'.
#include "platform/path.h"

#include <gtest/gtest.h>

using platform::fileNameOf;
using platform::folderOf;

TEST(Path, FolderKeepsItsSlashSoAFileNameCanFollow)
{
    EXPECT_EQ(folderOf("/usr/lib/tessaloom/tessaloom"), "/usr/lib/tessaloom/");
    EXPECT_EQ(folderOf("/tessaloom"), "/");
    EXPECT_EQ(folderOf("Data/Rank.ds"), "Data/");
    EXPECT_EQ(folderOf("a//b"), "a//");
    EXPECT_EQ(folderOf("Data/"), "Data/");
}

TEST(Path, APathWithoutASlashHasNoFolderAndIsAllFileName)
{
    EXPECT_EQ(folderOf("tessaloom"), "");
    EXPECT_EQ(fileNameOf("tessaloom"), "tessaloom");
    EXPECT_EQ(folderOf(""), "");
    EXPECT_EQ(fileNameOf(""), "");
}

TEST(Path, FileNameIsWhatFollowsTheLastSlash)
{
    EXPECT_EQ(fileNameOf("/usr/lib/tessaloom/Sound/SE/Move.wav"), "Move.wav");
    EXPECT_EQ(fileNameOf("/Move.wav"), "Move.wav");
    EXPECT_EQ(fileNameOf("Data/"), "");
}
