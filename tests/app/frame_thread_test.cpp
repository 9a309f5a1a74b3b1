// The frame thread running the real game on the headless platform.
#include "app/frame_loop.h"
#include "game/game.h"
#include "platform/headless.h"
#include "tools/support/scratch_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

using headless::AudioOp;
using platform::Key;

namespace {

// A folder beside a pretend executable holding the three music files, so
// the game has music to start (the headless platform only needs the files
// to exist).
class GameFolder {
public:
    bool ready()
    {
        if (!dir_.ok()) return false;
        std::error_code failed;
        std::filesystem::create_directories(dir_.file("Sound/BGM"), failed);
        if (failed) return false;
        for (const char* name : {"Title", "Play", "Over"})
            std::ofstream(dir_.file("Sound/BGM/") + name + ".wav") << "RIFF";
        headless::setExecutablePath(dir_.file("tessaloom"));
        return true;
    }
    std::string path(const std::string& relative) const { return dir_.file(relative); }

private:
    support::ScratchDir dir_{"tessaloom-frame"};
};

int countOps(AudioOp op, const std::string& path)
{
    int n = 0;
    for (const auto& e : headless::audioLog())
        n += (e.op == op && (path.empty() || e.path == path));
    return n;
}

// The real game, with Q pressed before the given update.
struct GameQuitInFrame : Game {
    static int quitFrame;
    int frames = 0;
    void update()
    {
        if (++frames == quitFrame) headless::press(Key::Q);
        Game::update();
    }
};
int GameQuitInFrame::quitFrame = 0;

}  // namespace

TEST(FrameThread, QHeldAtStartRunsOneFrameWithTheMusicServiceThenTearsDown)
{
    headless::reset();
    GameFolder folder;
    ASSERT_TRUE(folder.ready());
    headless::press(Key::Q);

    runGameThread<Game>();

    EXPECT_FALSE(platform::running());
    EXPECT_TRUE(headless::pauses().empty());
    EXPECT_EQ(headless::framesPresented(), 1);
    // The title music starts on entering the title, and once more from the
    // service in the first frame.
    EXPECT_EQ(countOps(AudioOp::Play, folder.path("Sound/BGM/Title.wav")), 2);
    // Torn down: the raised timer period is ended and every sound closed.
    ASSERT_EQ(headless::timerPeriodsBegun().size(), 1u);
    EXPECT_EQ(headless::timerPeriodsEnded(), headless::timerPeriodsBegun());
    EXPECT_EQ(countOps(AudioOp::Close, ""), countOps(AudioOp::Open, ""));
    EXPECT_GT(countOps(AudioOp::Open, ""), 0);
}

TEST(FrameThread, QPressedInTheThirdFrameEndsTheLoopAfterTwoPauses)
{
    headless::reset();
    GameFolder folder;
    ASSERT_TRUE(folder.ready());
    GameQuitInFrame::quitFrame = 3;

    runGameThread<GameQuitInFrame>();

    EXPECT_EQ(headless::pauses(), (std::vector<std::uint32_t>{33, 33}));
    EXPECT_EQ(headless::framesPresented(), 3);
    // No track ended on its own, so only the first frame served the music.
    EXPECT_EQ(countOps(AudioOp::Play, folder.path("Sound/BGM/Title.wav")), 2);
    EXPECT_EQ(headless::timerPeriodsEnded().size(), 1u);
    EXPECT_TRUE(headless::messageBoxes().empty());
}
