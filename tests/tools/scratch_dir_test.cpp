// The scratch folder every test and tool works in must go away with all it
// holds, and must hand the working directory back.
#include "tools/support/scratch_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using support::ScratchDir;

TEST(ScratchDir, IsRemovedWithEverythingInItAtTheEnd)
{
    std::string path;
    {
        ScratchDir dir("tessaloom-test");
        ASSERT_TRUE(dir.ok());
        path = dir.path();
        EXPECT_TRUE(fs::is_directory(path));
        fs::create_directories(dir.file("Data/deeper"));
        std::ofstream(dir.file("Data/Rank.ds")) << "abc\r\n1\r\n";
    }
    EXPECT_FALSE(fs::exists(path));
}

TEST(ScratchDir, EnteringMakesItTheWorkingDirectoryUntilTheEnd)
{
    const fs::path before = fs::current_path();
    {
        ScratchDir dir("tessaloom-test");
        ASSERT_TRUE(dir.enter());
        EXPECT_EQ(fs::current_path(), fs::canonical(dir.path()));
        // Entering twice keeps the first way back.
        ASSERT_TRUE(dir.enter());
        std::ofstream("relative.txt") << "x";
        EXPECT_TRUE(fs::exists(dir.file("relative.txt")));
    }
    EXPECT_EQ(fs::current_path(), before);
}

TEST(ScratchDir, AMissingParentGivesNoFolderAndLeavesTheWorkingDirectory)
{
    const fs::path before = fs::current_path();
    ScratchDir dir("tessaloom-test", "no-such-parent/below");
    EXPECT_FALSE(dir.ok());
    EXPECT_TRUE(dir.path().empty());
    EXPECT_FALSE(dir.enter());
    EXPECT_EQ(fs::current_path(), before);
}
