// No frame touches the heap: the frame thread runs thirty frames a second
// for as long as the game is open. A whole recorded session (title, game
// start, the three play phases, game over, name entry, the ranking view and
// back) is replayed through the real Game with the test pictures, and every
// update and present after the first frame is counted by this binary's own
// operator new.
#include "rank/ranking.h"
#include "tests/replay/replay_test_support.h"
#include "tools/replay/runner.h"
#include "tools/support/scratch_dir.h"

#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <set>
#include <sstream>
#include <string>
#include <vector>

// The replacement pairs malloc with free by design; GCC cannot see that
// through the inlined operators.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

void* counted(std::size_t size)
{
    if (counting) ++allocations;
    return std::malloc(size ? size : 1);
}
}  // namespace

void* operator new(std::size_t size)
{
    if (void* p = counted(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
    if (void* p = counted(size)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return counted(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return counted(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

using namespace replay;
using namespace replaytest;

namespace {

// Tells whether anything in a folder was opened, created, changed or renamed
// since the last look: the frames that read or write the rank file, which
// must be among the counted ones.
class FolderWatch {
public:
    explicit FolderWatch(const std::string& dir) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        if (fd_ >= 0)
            watch_ = inotify_add_watch(fd_, dir.c_str(),
                                       IN_OPEN | IN_CREATE | IN_MODIFY | IN_MOVED_TO | IN_DELETE);
    }
    ~FolderWatch()
    {
        if (fd_ >= 0) ::close(fd_);
    }
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    bool ready() const { return fd_ >= 0 && watch_ >= 0; }
    bool touched()
    {
        alignas(inotify_event) char events[4096];
        bool any = false;
        while (::read(fd_, events, sizeof events) > 0)
            any = true;
        return any;
    }

private:
    int fd_;
    int watch_ = -1;
};

struct FrameCount {
    int frame;
    SceneId scene;
    PhaseId phase;
    long allocations;
};

std::string describe(const std::vector<FrameCount>& frames)
{
    std::ostringstream s;
    for (const FrameCount& f : frames)
        s << "frame " << f.frame << " (scene " << f.scene << ", phase " << f.phase << "): " << f.allocations
          << " allocation(s)\n";
    return s.str();
}

}  // namespace

TEST(FrameAllocation, AWholeSessionAllocatesNothingAfterItsFirstFrame)
{
    support::ScratchDir work("tessaloom-replay");
    ASSERT_TRUE(work.enter());
    writeTestPictures(work.path() + "/assets");
    // The rank file's folder, empty as in the recording.
    std::filesystem::create_directories("Data");
    FolderWatch rankFolder("Data");
    ASSERT_TRUE(rankFolder.ready());

    const InputScript script = loadRecording("whole_session.input");
    RunOptions options;
    options.session.assetDir = work.path() + "/assets";

    std::vector<FrameCount> allocating;  // frames that allocated
    int rankFrames = 0;                  // frames that read or wrote the rank file
    std::set<int> scenes;
    std::set<int> phases;
    bool rankingWithFile = false;
    const RunResult result = runScript(script, options, [&](const Game& game, int frame) {
        counting = false;
        const FrameCount count{frame, game.scene(), game.phase(), allocations};
        const bool rankFile = rankFolder.touched();
        if (frame > 0) {
            if (rankFile) ++rankFrames;
            if (count.allocations != 0) allocating.push_back(count);
        }
        scenes.insert(game.scene());
        if (game.scene() == ScenePlay) phases.insert(game.phase());
        if (game.scene() == SceneRanking && std::filesystem::exists(RankFilePath)) rankingWithFile = true;
        allocations = 0;
        counting = true;
        return true;
    });
    counting = false;

    EXPECT_TRUE(allocating.empty()) << describe(allocating);

    // The session shows everything the game draws and plays.
    EXPECT_EQ(scenes, (std::set<int>{SceneTitle, SceneRanking, SceneQuit, ScenePlay, SceneGameOver,
                                     SceneNameEntry, SceneGameStart}));
    EXPECT_EQ(phases, (std::set<int>{PhaseFalling, PhaseClearing, PhaseDropping}));
    EXPECT_TRUE(rankingWithFile);
    EXPECT_TRUE(result.quit);
    EXPECT_TRUE(result.boxes.empty());

    // Among them the frames that read the rank file (the ranking view reads
    // it every frame) and the one that saved the name.
    EXPECT_GT(rankFrames, 1);
}

TEST(FrameAllocation, TheCountSeesAnAllocation)
{
    allocations = 0;
    counting = true;
    void* volatile probe = ::operator new(16);
    ::operator delete(probe);
    std::vector<int> grown(3);
    counting = false;
    EXPECT_EQ(allocations.exchange(0), 2);
}
