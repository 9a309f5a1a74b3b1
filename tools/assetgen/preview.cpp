// Composes the game's screens through the game's own Renderer with the
// generated pictures and writes them as BMP files, for checking by eye:
//   asset_preview <folder with Graphics/> <output folder>
// Not shipped; built on request (target asset_preview).
#include <cstdio>
#include <fstream>
#include <string>

#include "field/puzzle_field.h"
#include "render/renderer.h"

namespace {

bool writeScreen(const Surface& s, const std::string& path)
{
    std::ofstream f(path, std::ios::binary);
    auto put = [&](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            f.put(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    const std::uint32_t size = static_cast<std::uint32_t>(s.byteCount());
    f.put('B');
    f.put('M');
    put(54 + size, 4);
    put(0, 4);
    put(54, 4);
    put(40, 4);
    put(static_cast<std::uint32_t>(s.width()), 4);
    put(static_cast<std::uint32_t>(s.height()), 4);
    put(1, 2);
    put(24, 2);
    for (int i = 0; i < 6; ++i)
        put(0, 4);
    // The Surface already holds the file's layout: bottom-up rows, B, G, R.
    f.write(reinterpret_cast<const char*>(s.pixels()), static_cast<std::streamsize>(size));
    return static_cast<bool>(f);
}

// A field that shows every kind of block, stacked like a game in progress.
void fillField(PuzzleField& field)
{
    const char* rows[] = {
        "......5.",  // row 6
        ".0....31",
        ".01..233",
        "4012.223",
        "30124013",
        "22104501",
    };
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 8; ++c)
            if (rows[r][c] != '.')
                field.setCell(c, 6 + r, rows[r][c] - '0');
}

void drawNumbers(Renderer& r, int score, int level, int count)
{
    r.drawScore(score);
    r.drawLevel(level);
    r.drawClearedCount(count);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <asset folder> <output folder>\n", argv[0]);
        return 2;
    }
    const std::string in = std::string(argv[1]) + "/Graphics/", out = std::string(argv[2]) + "/";
    Renderer r;
    r.attachWindow(1);
    r.createBackBuffer(640, 480, 100, 255, 100);
    r.loadBitmap(SlotBlocks, in + "PuzzleBlock.bmp", true);
    r.loadBitmap(SlotTitle, in + "Title.bmp", false);
    r.loadBitmap(SlotRankBg, in + "RankBG.bmp", false);
    r.loadBitmap(SlotGameBg, in + "GameBG.bmp", false);
    r.loadBitmap(SlotDigits, in + "Vals.bmp", true);
    r.loadBitmap(SlotLetters, in + "String.bmp", true);
    r.loadBitmap(SlotGameOver, in + "GameOver.bmp", true);
    r.loadBitmap(SlotGameStart, in + "GameStart.bmp", true);
    r.loadBitmap(SlotNameCursor, in + "ScoreCursol.bmp", false);
    bool ok = true;

    r.drawTitleBackground();
    r.drawMenuCursor(9);
    ok &= writeScreen(r.backBuffer(), out + "title.bmp");
    // All three cursor rows at once, to check them against the labels.
    r.drawMenuCursor(1);
    r.drawMenuCursor(2);
    ok &= writeScreen(r.backBuffer(), out + "title_rows.bmp");

    PuzzleField field;
    fillField(field);
    r.drawGameBackground();
    r.drawField(field);
    r.drawBlock(192 + 32 * 3, 48 + 16 * 5, 2, -1);  // the falling pair, half a cell down
    r.drawBlock(192 + 32 * 3, 48 + 16 * 7, 5, -1);
    r.drawBlock(192 + 32 * 0, 48 + 32 * 11, 1, 128);  // a block fading out
    r.drawNextPair(3, 4);
    drawNumbers(r, 9999999, 19, 9999999);
    ok &= writeScreen(r.backBuffer(), out + "play.bmp");

    r.drawGameBackground();
    r.drawField(field);
    drawNumbers(r, 0, 0, 0);
    r.drawGameStartBanner(192, 240);
    ok &= writeScreen(r.backBuffer(), out + "start.bmp");

    r.drawGameBackground();
    r.drawField(field);
    drawNumbers(r, 123450, 7, 345);
    r.drawGameOverBanner(192, 80);
    r.drawLetter(19, 250, 250);
    r.drawLetter(4, 300, 250);
    r.drawLetter(18, 350, 250);
    r.drawNameCursor(251 + 50 * 1, 290);
    ok &= writeScreen(r.backBuffer(), out + "name_entry.bmp");

    r.drawRankingBackground();
    r.drawRankEntry(1, "tes", 9999999);
    r.drawRankEntry(2, "MWQ", 1234567);
    r.drawRankEntry(3, "abc", 4500);
    r.drawRankEntry(4, "zzz", 90);
    r.drawRankEntry(5, "", 0);
    ok &= writeScreen(r.backBuffer(), out + "ranking.bmp");

    if (!ok) {
        std::fprintf(stderr, "asset_preview: could not write into %s\n", argv[2]);
        return 1;
    }
    return 0;
}
