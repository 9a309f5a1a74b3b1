#include "tools/screenshots/composed.h"

#include "field/puzzle_field.h"
#include "render/bmp_file.h"
#include "render/overlay_layout.h"
#include "render/renderer.h"

#include <fstream>
#include <string>

namespace {

bool writeScreen(const Surface& s, const std::string& path)
{
    const std::string file = encodeBmp(s.pixels(), s.width(), s.height());
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(file.data(), static_cast<std::streamsize>(file.size()));
    return !file.empty() && static_cast<bool>(f);
}

// A field that shows every kind of block, stacked like a game in progress.
void fillField(PuzzleField& field)
{
    const char* rows[] = {
        "......5.",  // row 6
        ".0....31", ".01..233", "4012.223", "30124013", "22104501",
    };
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 8; ++c)
            if (rows[r][c] != '.') field.setCell(c, 6 + r, rows[r][c] - '0');
}

struct Overlay {
    OverlayPicture id;
    const char* file;
    bool keyed;
};
const Overlay Overlays[] = {
    {OverlayChainWord, "ChainWord.bmp", true}, {OverlayChainDigits, "ChainDigits.bmp", true},
    {OverlayLevelUp, "LevelUp.bmp", true},     {OverlayPromptPatch, "PromptPatch.bmp", false},
    {OverlayNewRecord, "NewRecord.bmp", true}, {OverlayNamePanel, "NamePanel.bmp", true},
    {OverlayNameFrame, "NameFrame.bmp", true}, {OverlayPlayKeys, "PlayKeys.bmp", false},
    {OverlayNameKeys, "NameKeys.bmp", false},  {OverlayShadow, "Shadow.bmp", true},
    {OverlayMoreKeys, "MoreKeys.bmp", false},  {OverlaySoundNotice, "SoundNotice.bmp", true},
};

void drawNumbers(Renderer& r, int score, int level, int count)
{
    r.drawScore(score);
    r.drawLevel(level);
    r.drawClearedCount(count);
}

}  // namespace

bool writeComposedScreens(const std::string& assetDir, const std::string& outDir)
{
    const std::string in = assetDir + "/Graphics/", out = outDir + "/";
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
    for (const Overlay& o : Overlays)
        r.loadOverlay(o.id, in + o.file, o.keyed);
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
    drawNumbers(r, PuzzleField::ScoreLimit, PuzzleField::LevelCount - 1, PuzzleField::ScoreLimit);
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

    // The overlays over each kind of block: a field of one kind below
    // three empty rows, where the landing shadows lie.
    for (int kind = 0; kind < 6; ++kind) {
        PuzzleField one;
        for (int row = 3; row < 12; ++row)
            for (int c = 0; c < 8; ++c)
                one.setCell(c, row, kind);
        const std::string tag = std::to_string(kind) + ".bmp";
        r.drawGameBackground();
        r.drawPlayKeys();
        r.drawMoreKeys();
        r.drawField(one);
        drawNumbers(r, 48210, 12, 345);
        for (int k = 0; k < 6; ++k)
            r.drawLandingShadow(1 + k % 3, 1 + k / 3, k);
        r.drawLevelUp(kind % 2 == 0 ? overlay::LevelUpUpperY : overlay::LevelUpLowerY);
        r.drawSoundNotice(kind % 2 == 0);
        r.drawChainLabel(2, 1260, 320, 250, 256);
        r.drawChainLabel(13, 9999999, 0, 480, 110);  // faded, pushed into the well's corner
        ok &= writeScreen(r.backBuffer(), out + "feedback_" + tag);

        r.drawGameBackground();
        r.drawField(one);
        drawNumbers(r, 48210, 12, 345);
        r.drawGameOverBanner(192, 80);
        r.drawNewRecord(192, 80);
        r.drawNamePanel();
        r.drawNameKeys();
        r.drawLetter(25, 250, 250);
        r.drawLetter(0, 300, 250);
        r.drawLetter(24, 350, 250);
        r.drawNameFrame(300, 250);
        r.drawNameCursor(251 + 50 * 1, 290);
        ok &= writeScreen(r.backBuffer(), out + "name_entry_" + tag);

        r.drawGameBackground();
        r.drawPlayKeys();
        r.drawField(one);
        r.drawGameOverBanner(192, 40);
        r.drawPromptPatch(192, 40);
        ok &= writeScreen(r.backBuffer(), out + "game_over_sliding_" + tag);
    }

    r.drawRankingBackground();
    r.drawRankEntry(1, "tes", PuzzleField::ScoreLimit);
    r.drawRankEntry(2, "MWQ", 1234567);
    r.drawRankEntry(3, "abc", 4500);
    r.drawRankEntry(4, "zzz", 90);
    r.drawRankEntry(5, "", 0);
    ok &= writeScreen(r.backBuffer(), out + "ranking.bmp");
    return ok;
}
