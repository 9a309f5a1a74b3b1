// The replay tool reads files from outside, the rank file in its working
// folder and the recording it is given, as the game reads its own: a device
// or a FIFO in their place is named in one line and never read, so the tool
// neither fills the memory nor waits forever.
#include "tools/support/scratch_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

struct ToolRun {
    bool exited = false;
    int code = -1;
    std::string output;  // standard output and error
};

// Runs tessaloom-replay with args, bounded: at most 2 GiB of address space
// (not under AddressSanitizer, which reserves far more) and 60 s, so a tool
// that reads /dev/zero to its end or waits on a FIFO fails here instead of
// taking the machine down.
ToolRun runTool(const std::string& args)
{
    std::string command;
#ifndef __SANITIZE_ADDRESS__
    command = "ulimit -v 2097152; ";
#endif
    command += "timeout -s KILL 60 '" TESSALOOM_REPLAY_TOOL "' " + args + " 2>&1";
    ToolRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.output.append(buffer, n);
    const int status = ::pclose(pipe);
    run.exited = WIFEXITED(status);
    run.code = run.exited ? WEXITSTATUS(status) : -1;
    return run;
}

// What stands where the tool expects a regular file.
enum class Stand { ZeroDevice, Fifo };

void place(Stand stand, const std::string& path)
{
    fs::create_directories(fs::path(path).parent_path());
    if (stand == Stand::ZeroDevice)
        fs::create_symlink("/dev/zero", path);
    else
        ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
}

const Stand Stands[] = {Stand::ZeroDevice, Stand::Fifo};

}  // namespace

TEST(OutsideFiles, ARankFileThatIsNoRegularFileIsNamedAndTheReplayEnds)
{
    for (Stand stand : Stands) {
        support::ScratchDir dir("replay-rank");
        ASSERT_TRUE(dir.ok());
        place(stand, dir.file("work/Data/Rank.ds"));
        std::ofstream(dir.file("title.input")) << "tessaloom-input 1\nframes 3\n";

        const ToolRun run = runTool("play " + dir.file("title.input") + " --workdir " + dir.file("work"));
        SCOPED_TRACE(stand == Stand::Fifo ? "a FIFO" : "a link to /dev/zero");
        EXPECT_TRUE(run.exited && run.code == 0) << run.output;
        EXPECT_NE(run.output.find("\nrank unreadable: not a regular file\n"), std::string::npos)
            << run.output;
    }
}

TEST(OutsideFiles, ARecordingThatIsNoRegularFileIsRefusedByName)
{
    for (Stand stand : Stands) {
        support::ScratchDir dir("replay-input");
        ASSERT_TRUE(dir.ok());
        const std::string recording = dir.file("in/recording.input");
        place(stand, recording);

        const ToolRun run = runTool("play " + recording + " --workdir " + dir.file("in"));
        SCOPED_TRACE(stand == Stand::Fifo ? "a FIFO" : "a link to /dev/zero");
        EXPECT_TRUE(run.exited && run.code != 0) << run.output;
        EXPECT_NE(run.output.find("cannot read " + recording + ": not a regular file"), std::string::npos)
            << run.output;
    }
}
