// Takes the README's screenshots from the real game on the headless
// platform: the title, the options, a chain clearing with its label, the
// game over, the name entry of a new record and the ranking.
//   screenshots_tool <folder with Graphics/> <output folder>
// The game runs with its clock under our control, the field is set up
// directly, and each screen is written as a binary PPM (RGB, top-down).
//   screenshots_tool --compose <folder with Graphics/> <output folder>
// instead composes screens from the pictures alone (see composed.h).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>

#include "app/frame_step.h"
#include "field/block.h"
#include "game/game.h"
#include "platform/headless.h"
#include "tools/screenshots/composed.h"
#include "tools/support/scratch_dir.h"

namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t FrameMs = 33;

bool writePpm(const headless::Frame& frame, const fs::path& path)
{
    if (frame.width <= 0 || frame.pixels.size() != std::size_t(frame.width) * frame.height * 3) return false;
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << "P6\n" << frame.width << " " << frame.height << "\n255\n";
    // The frame is B, G, R with the bottom row first.
    for (int y = frame.height - 1; y >= 0; --y) {
        const std::uint8_t* row = frame.pixels.data() + std::size_t(y) * frame.width * 3;
        for (int x = 0; x < frame.width; ++x) {
            const char rgb[3] = {char(row[x * 3 + 2]), char(row[x * 3 + 1]), char(row[x * 3])};
            f.write(rgb, 3);
        }
    }
    return static_cast<bool>(f);
}

void frame(Game& game)
{
    headless::advanceClock(FrameMs);
    stepFrame(game);
}

// Cells from strings, the last one on the bottom row: digits are cell codes
// (0..3 colours, 4 stone, 5 bomb), anything else is empty.
void fill(PuzzleField& field, std::initializer_list<const char*> rows)
{
    int row = 12 - static_cast<int>(rows.size());
    for (const char* cells : rows) {
        for (int c = 0; c < 8 && cells[c]; ++c)
            if (cells[c] >= '0' && cells[c] <= '5') field.setCell(c, row, cells[c] - '0');
        ++row;
    }
}

void placePair(PuzzleField& field, int column, int halfRow0, int colour0, int halfRow1, int colour1)
{
    PairBlock block;
    block.setColumn(column);
    block.setHalfRow(halfRow0);
    block.setColour(colour0);
    field.putPairBlock(0, block);
    block.setHalfRow(halfRow1);
    block.setColour(colour1);
    field.putPairBlock(1, block);
}

bool writeRankFile()
{
    fs::create_directories("Data");
    std::ofstream f("Data/Rank.ds", std::ios::binary | std::ios::trunc);
    f << "mwq\r\n48210\r\ntes\r\n31570\r\nbob\r\n20940\r\nzed\r\n12300\r\nkat\r\n5280\r\n";
    return static_cast<bool>(f);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--compose") {
        if (writeComposedScreens(argv[2], argv[3])) return 0;
        std::fprintf(stderr, "screenshots: could not write into %s\n", argv[3]);
        return 1;
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s [--compose] <folder with Graphics/> <output folder>\n", argv[0]);
        return 2;
    }
    const fs::path assets = fs::absolute(argv[1]), out = fs::absolute(argv[2]);
    // The rank file is relative to the working directory: use a scratch one.
    support::ScratchDir scratch("tessaloom-shots");
    if (!scratch.enter()) {
        std::fprintf(stderr, "screenshots: no temporary folder\n");
        return 1;
    }
    bool ok = writeRankFile();

    headless::reset();
    headless::setClock(1000);
    headless::setExecutablePath((assets / "tessaloom").string());
    Game game;
    game.startUp(platform::mainWindow());
    PuzzleField& field = game.field();

    frame(game);
    ok &= writePpm(headless::lastFrame(), out / "title.ppm");

    // The options, the music turned down to 70 % with the arrows.
    for (platform::Key key : {platform::Key::O, platform::Key::Down, platform::Key::Down, platform::Key::Left,
                              platform::Key::Left, platform::Key::Left}) {
        headless::press(key);
        frame(game);
        headless::release(key);
    }
    frame(game);
    ok &= game.scene() == SceneOptions && game.settings().musicVolume == 70;
    ok &= writePpm(headless::lastFrame(), out / "options.ppm");

    // A chain: the red below the falling pair completes the bottom row's
    // reds; the blue above then drops between two blues and clears with them.
    game.enterGameStart();
    game.changeScene(ScenePlay);
    game.changePhase(PhaseFalling);
    fill(field, {
                    "      3 ",
                    "4  1  23",
                    "31 0 332",
                    "33 31013",
                    "00 22310",
                });
    field.setScore(4120);
    field.setClearedCount(57);
    field.updateLevel();
    placePair(field, 2, 19, 2, 21, 0);
    bool shot = false;
    for (int i = 0; i < 400 && !shot; ++i) {
        frame(game);
        int steps = 0, cleared = 0;
        field.chainState(steps, cleared);
        if (game.phase() == PhaseClearing && steps >= 2 &&
            ClearBlock::fadeLevel() <= 255 - 2 * field.fadeStep()) {
            ok &= writePpm(headless::lastFrame(), out / "chain.ppm");
            shot = true;
        }
    }
    if (!shot) std::fprintf(stderr, "screenshots: the chain did not reach its second step\n");
    ok &= shot;

    // Game over below the fifth place: the banner stays with "press Z".
    game.enterTitle();
    fill(field, {
                    "   2    ",
                    "   1    ",
                    "   03   ",
                    "  420   ",
                    "  1320 1",
                    " 23121 3",
                    "02310332",
                    "31022120",
                    "21405313",
                    "12330201",
                    "30121024",
                    "01230312",
                });
    field.setScore(3950);
    field.setClearedCount(88);
    field.updateLevel();
    game.enterGameOver();
    for (int i = 0; i < 120; ++i)
        frame(game);
    ok &= game.scene() == SceneGameOver;
    ok &= writePpm(headless::lastFrame(), out / "game_over.ppm");

    // A new record: the name entry with "ZOE" spelt, the cursor on the O.
    game.enterTitle();
    fill(field, {
                    "   2    ",
                    "   1    ",
                    "   03   ",
                    "  4203  ",
                    "  1320 1",
                    " 23121 3",
                    "02310332",
                    "31022120",
                    "21405313",
                    "12330201",
                    "30121024",
                    "01230312",
                });
    field.setScore(27480);
    field.setClearedCount(231);
    field.updateLevel();
    game.enterGameOver();
    for (int i = 0; i < 120 && game.scene() != SceneNameEntry; ++i)
        frame(game);
    const auto tap = [&](platform::Key key, int times) {
        for (int k = 0; k < times; ++k) {
            headless::press(key);
            frame(game);
            headless::release(key);
            frame(game);
        }
    };
    tap(platform::Key::Up, 1);
    tap(platform::Key::Right, 1);
    tap(platform::Key::Down, 14);
    tap(platform::Key::Right, 1);
    tap(platform::Key::Down, 4);
    tap(platform::Key::Left, 1);
    ok &= game.scene() == SceneNameEntry;
    ok &= writePpm(headless::lastFrame(), out / "name_entry.ppm");

    game.enterTitle();
    game.enterRanking();
    frame(game);
    ok &= writePpm(headless::lastFrame(), out / "ranking.ppm");

    if (!ok) {
        std::fprintf(stderr, "screenshots: not every screen could be made\n");
        return 1;
    }
    return 0;
}
