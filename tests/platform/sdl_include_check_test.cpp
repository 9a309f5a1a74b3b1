// The build's guard that keeps SDL inside platform/ must really fail on an
// offender: run it on small trees made for the purpose.
#include "tools/support/scratch_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

// The checking script in the source tree.
fs::path checkScript() { return fs::path(TESSALOOM_SOURCE_DIR) / "tests" / "check_sdl_includes.cmake"; }

class SourceTree {
public:
    void write(const std::string& relative, const std::string& text)
    {
        const fs::path file = root_.file(relative);
        fs::create_directories(file.parent_path());
        std::ofstream(file) << text;
    }
    // True when the check accepts the tree.
    bool passesCheck() const
    {
        const std::string command = "cmake -DROOT='" + root_.path() + "' -P '" + checkScript().string() +
                                    "' >/dev/null 2>&1";
        return std::system(command.c_str()) == 0;
    }
    bool ready() const { return root_.ok(); }

private:
    support::ScratchDir root_{"tessaloom-sdlcheck"};
};

}  // namespace

TEST(SdlIncludeCheck, AcceptsSdlInsidePlatformAndPlainCodeElsewhere)
{
    ASSERT_TRUE(fs::exists(checkScript())) << checkScript();
    SourceTree tree;
    ASSERT_TRUE(tree.ready());
    tree.write("platform/sdl_window.cpp", "#include <SDL.h>\n#include <SDL_mixer.h>\n");
    tree.write("bench/blit_bench.cpp", "#include <SDL.h>\n");
    tree.write("game/game.cpp", "// drawn through SDL by the platform\n#include \"platform/platform.h\"\n");
    tree.write("build-x/generated.cpp", "#include <SDL.h>\n");
    EXPECT_TRUE(tree.passesCheck());
}

TEST(SdlIncludeCheck, RejectsAnSdlIncludeInAnyOtherFolder)
{
    const char* offenders[] = {
        "#include <SDL.h>\n",
        "#include \"SDL_mixer.h\"\n",
        "  #  include <SDL2/SDL_events.h>\n",
    };
    const char* places[] = {"render/surface.cpp", "game/game.h", "tests/render/x_test.cpp"};
    for (int i = 0; i < 3; ++i) {
        SourceTree tree;
        ASSERT_TRUE(tree.ready());
        tree.write("platform/sdl_window.cpp", "#include <SDL.h>\n");
        tree.write(places[i], std::string("#include <vector>\n") + offenders[i]);
        EXPECT_FALSE(tree.passesCheck()) << places[i] << ": " << offenders[i];
    }
}
