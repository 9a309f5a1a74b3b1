// How fast a frame is composed, measured against the floor (one memcpy of a
// 640 x 480 frame) and against SDL's own blits of the same sheet cell. All
// figures come from one process, so their ratios hold on a busy machine.
//
//   play screen          <= 1.5 x the memcpy floor
//   keyed cell           >= 5 x faster than SDL's RLE colour-key blit of
//                        cells cut from a sheet (an 8 x 8 atlas); on the
//                        game's one-row sheet SDL is near the copy floor too
//   blended cell         >= 10 x faster than SDL's alpha-modulated blit
#include "field/block_list.h"
#include "field/puzzle_field.h"
#include "render/renderer.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int BombX = 128;  // the cell both blitters copy

void put(Surface& s, int x, int y, int r, int g, int b)
{
    std::uint8_t* p = s.pixels() + s.pixelOffset(x, y);
    p[0] = static_cast<std::uint8_t>(b);
    p[1] = static_cast<std::uint8_t>(g);
    p[2] = static_cast<std::uint8_t>(r);
}

// Six 32 x 32 cells with shaded faces and rounded key-green corners.
void makeBlockSheet(Surface& s)
{
    s.createFilled(192, 32, 0, 0, 0);
    for (int cell = 0; cell < 6; ++cell)
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const int dx = x < 16 ? x : 31 - x;
                const int dy = y < 16 ? y : 31 - y;
                if (dx + dy < 3)
                    put(s, cell * 32 + x, y, 0, 255, 0);
                else
                    put(s, cell * 32 + x, y, 40 * cell + x, 120 + y, 200 - x - y);
            }
    s.buildKeyRuns(0, 255, 0);
}

// 24 x 34 glyphs: a 4-pixel ring on key green, so rows have one or two runs.
void makeGlyphSheet(Surface& s, int count)
{
    s.createFilled(24 * count, 34, 0, 255, 0);
    for (int g = 0; g < count; ++g)
        for (int y = 2; y < 32; ++y)
            for (int x = 2; x < 22; ++x) {
                const bool ring = x < 6 || x >= 18 || y < 6 || y >= 28;
                if (ring) put(s, g * 24 + x, y, 250, 250 - 5 * g, 40);
            }
    s.buildKeyRuns(0, 255, 0);
}

void makeBackground(Surface& s)
{
    s.createFilled(640, 480, 0, 0, 0);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            put(s, x, y, x & 255, y & 255, (x ^ y) & 255);
}

struct Scene {
    Renderer renderer;
    PuzzleField field;
    GroupList groups;

    Scene()
    {
        renderer.attachWindow(1);
        renderer.createBackBuffer(640, 480, 100, 255, 100);
        makeBackground(renderer.image(SlotGameBg));
        makeBlockSheet(renderer.image(SlotBlocks));
        makeGlyphSheet(renderer.image(SlotDigits), 10);
        for (int r = 0; r < GridRows; ++r)
            for (int c = 0; c < GridColumns; ++c)
                field.setCell(c, r, (r + c) % 6);
        // A row of four and a column of three fading out.
        ClearGroup row, column;
        for (int i = 0; i < 4; ++i) {
            ClearBlock b;
            b.setColumn(2 + i);
            b.setRow(11);
            b.setColour(1);
            row.append(b);
        }
        for (int i = 0; i < 3; ++i) {
            ClearBlock b;
            b.setColumn(0);
            b.setRow(8 + i);
            b.setColour(3);
            column.append(b);
        }
        groups.append(row);
        groups.append(column);
    }

    void drawNumbers()
    {
        renderer.drawScore(9999999);
        renderer.drawLevel(12);
        renderer.drawClearedCount(345);
    }

    // Everything of the play screen over its background.
    void drawPlayCells()
    {
        renderer.drawField(field);
        renderer.drawBlock(288, 128, 0, -1);
        renderer.drawBlock(288, 160, 2, -1);
        renderer.drawNextPair(1, 3);
        drawNumbers();
    }
};

Scene& scene()
{
    static Scene s;
    return s;
}

// The same sheet as an SDL surface (top-down rows, same bytes).
SDL_Surface* sdlCopyOf(const Surface& s)
{
    SDL_Surface* out = SDL_CreateRGBSurfaceWithFormat(0, s.width(), s.height(), 24, SDL_PIXELFORMAT_BGR24);
    for (int y = 0; y < s.height(); ++y)
        std::memcpy(static_cast<std::uint8_t*>(out->pixels) + y * out->pitch,
                    s.pixels() + s.pixelOffset(0, y), static_cast<std::size_t>(s.width()) * 3);
    return out;
}

void BM_MemcpyFloor(benchmark::State& state)
{
    std::vector<std::uint8_t> from(640 * 480 * 3, 7), to(640 * 480 * 3);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), to.size());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MemcpyFloor);

void BM_PlayScreen(benchmark::State& state)
{
    Scene& s = scene();
    for (auto _ : state) {
        s.renderer.drawGameBackground();
        s.drawPlayCells();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PlayScreen);

// The play screen's cells and figures without the background: with the
// background put back only under what was drawn, these are most of the
// play screen's cost.
void BM_PlayScreenCells(benchmark::State& state)
{
    Scene& s = scene();
    for (auto _ : state) {
        s.drawPlayCells();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PlayScreenCells);

void BM_ClearingScreen(benchmark::State& state)
{
    Scene& s = scene();
    ClearBlock::setFadeLevel(128);
    for (auto _ : state) {
        s.renderer.drawGameBackground();
        s.renderer.drawField(s.field);
        s.renderer.drawClearingGroups(s.groups);
        s.renderer.drawNextPair(1, 3);
        s.drawNumbers();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ClearingScreen);

void BM_KeyedCell(benchmark::State& state)
{
    Scene& s = scene();
    const Surface& sheet = s.renderer.image(SlotBlocks);
    for (auto _ : state) {
        sheet.blitKeyed(s.renderer.backBuffer(), 300, 200, BombX, 0, 32, 32);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_KeyedCell);

// The bytes of one cell moved row by row with nothing else to decide: the
// floor under any keyed cell copy.
void BM_CellRowsMemcpy(benchmark::State& state)
{
    Scene& s = scene();
    const Surface& sheet = s.renderer.image(SlotBlocks);
    Surface& screen = s.renderer.backBuffer();
    for (auto _ : state) {
        for (int y = 0; y < 32; ++y)
            std::memcpy(screen.pixels() + screen.pixelOffset(300, 200 + y),
                        sheet.pixels() + sheet.pixelOffset(BombX, y), 32 * 3);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CellRowsMemcpy);

void BM_BlendedCell(benchmark::State& state)
{
    Scene& s = scene();
    const Surface& sheet = s.renderer.image(SlotBlocks);
    for (auto _ : state) {
        sheet.blitBlended(s.renderer.backBuffer(), 300, 200, BombX, 0, 32, 32, 128);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BlendedCell);

void BM_SdlKeyedCellRle(benchmark::State& state)
{
    SDL_Surface* sheet = sdlCopyOf(scene().renderer.image(SlotBlocks));
    SDL_Surface* screen = sdlCopyOf(scene().renderer.backBuffer());
    SDL_SetColorKey(sheet, SDL_TRUE, SDL_MapRGB(sheet->format, 0, 255, 0));
    SDL_SetSurfaceRLE(sheet, 1);
    SDL_Rect from{BombX, 0, 32, 32};
    SDL_Rect to{300, 200, 32, 32};
    SDL_BlitSurface(sheet, &from, screen, &to);  // the first blit encodes the runs
    for (auto _ : state) {
        SDL_Rect cell = from, at = to;
        SDL_BlitSurface(sheet, &cell, screen, &at);
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(sheet);
    SDL_FreeSurface(screen);
}
BENCHMARK(BM_SdlKeyedCellRle);

void BM_SdlBlendedCell(benchmark::State& state)
{
    SDL_Surface* sheet = sdlCopyOf(scene().renderer.image(SlotBlocks));
    SDL_Surface* screen = sdlCopyOf(scene().renderer.backBuffer());
    SDL_SetColorKey(sheet, SDL_TRUE, SDL_MapRGB(sheet->format, 0, 255, 0));
    SDL_SetSurfaceAlphaMod(sheet, 128);
    SDL_SetSurfaceBlendMode(sheet, SDL_BLENDMODE_BLEND);
    SDL_Rect from{BombX, 0, 32, 32};
    SDL_Rect to{300, 200, 32, 32};
    for (auto _ : state) {
        SDL_Rect cell = from, at = to;
        SDL_BlitSurface(sheet, &cell, screen, &at);
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(sheet);
    SDL_FreeSurface(screen);
}
BENCHMARK(BM_SdlBlendedCell);

// Cells cut from an 8 x 8 atlas (256 x 256), the usual shape of a sprite
// sheet: SDL's RLE blit walks the encoded rows from the top of the sheet, so
// its cost grows with the cell's row, while a run table goes straight to the
// cell. One iteration copies all 64 cells. (The game's own block sheet is a
// single row of cells, where SDL needs no walk: see BM_SdlKeyedCellRle.)
constexpr int AtlasCells = 8;

const Surface& atlas()
{
    static Surface s;
    if (s.isEmpty()) {
        s.createFilled(32 * AtlasCells, 32 * AtlasCells, 0, 0, 0);
        for (int y = 0; y < s.height(); ++y)
            for (int x = 0; x < s.width(); ++x) {
                const int cx = x % 32, cy = y % 32;
                const int dx = cx < 16 ? cx : 31 - cx;
                const int dy = cy < 16 ? cy : 31 - cy;
                if (dx + dy < 3)
                    put(s, x, y, 0, 255, 0);
                else
                    put(s, x, y, x & 0xFF, 120 + cy, y & 0xFF);
            }
        s.buildKeyRuns(0, 255, 0);
    }
    return s;
}

void BM_KeyedAtlasCells(benchmark::State& state)
{
    const Surface& sheet = atlas();
    Surface& screen = scene().renderer.backBuffer();
    for (auto _ : state) {
        for (int cy = 0; cy < AtlasCells; ++cy)
            for (int cx = 0; cx < AtlasCells; ++cx)
                sheet.blitKeyed(screen, 300, 200, 32 * cx, 32 * cy, 32, 32);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_KeyedAtlasCells);

void BM_SdlKeyedAtlasCellsRle(benchmark::State& state)
{
    SDL_Surface* sheet = sdlCopyOf(atlas());
    SDL_Surface* screen = sdlCopyOf(scene().renderer.backBuffer());
    SDL_SetColorKey(sheet, SDL_TRUE, SDL_MapRGB(sheet->format, 0, 255, 0));
    SDL_SetSurfaceRLE(sheet, 1);
    SDL_Rect first{0, 0, 32, 32}, to{300, 200, 32, 32};
    SDL_BlitSurface(sheet, &first, screen, &to);  // the first blit encodes the runs
    for (auto _ : state) {
        for (int cy = 0; cy < AtlasCells; ++cy)
            for (int cx = 0; cx < AtlasCells; ++cx) {
                SDL_Rect cell{32 * cx, 32 * cy, 32, 32}, at = to;
                SDL_BlitSurface(sheet, &cell, screen, &at);
            }
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(sheet);
    SDL_FreeSurface(screen);
}
BENCHMARK(BM_SdlKeyedAtlasCellsRle);

// Both keyed blitters must produce the same picture, or the race means nothing.
bool keyedResultsAgree()
{
    Surface sheet, ours;
    makeBlockSheet(sheet);
    ours.createFilled(64, 64, 10, 20, 30);
    SDL_Surface* sdlSheet = sdlCopyOf(sheet);
    SDL_Surface* theirs = sdlCopyOf(ours);
    SDL_SetColorKey(sdlSheet, SDL_TRUE, SDL_MapRGB(sdlSheet->format, 0, 255, 0));
    SDL_SetSurfaceRLE(sdlSheet, 1);
    SDL_Rect from{BombX, 0, 32, 32}, to{16, 16, 32, 32};
    SDL_BlitSurface(sdlSheet, &from, theirs, &to);
    sheet.blitKeyed(ours, 16, 16, BombX, 0, 32, 32);
    bool same = true;
    for (int y = 0; y < 64; ++y)
        same = same && std::memcmp(static_cast<std::uint8_t*>(theirs->pixels) + y * theirs->pitch,
                                   ours.pixels() + ours.pixelOffset(0, y), 64 * 3) == 0;
    SDL_FreeSurface(sdlSheet);
    SDL_FreeSurface(theirs);
    return same;
}

// Keeps each benchmark's CPU time (the median when repeated) for the
// summary: on a shared machine wall time also counts other processes.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            const std::string name = run.run_name.function_name;
            if (run.run_type == Run::RT_Iteration && times.count(name + "/median") == 0)
                times[name] = run.GetAdjustedCPUTime();
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                times[name + "/median"] = times[name] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto& t = reporter.times;
    std::printf("\nratios of CPU times; keyed cell matches SDL's output: %s\n",
                keyedResultsAgree() ? "yes" : "NO");
    struct Ratio {
        const char* label;
        const char* numerator;
        const char* denominator;
        const char* target;
    };
    const Ratio ratios[] = {
        {"play screen     / memcpy floor", "BM_PlayScreen", "BM_MemcpyFloor", "<= 1.5"},
        {"clearing screen / memcpy floor", "BM_ClearingScreen", "BM_MemcpyFloor", nullptr},
        {"SDL RLE keyed   / our keyed, game's one-row sheet", "BM_SdlKeyedCellRle", "BM_KeyedCell", nullptr},
        {"SDL RLE keyed   / our keyed, cells of an 8 x 8 atlas", "BM_SdlKeyedAtlasCellsRle",
         "BM_KeyedAtlasCells", ">= 5"},
        {"our keyed       / cell rows memcpy", "BM_KeyedCell", "BM_CellRowsMemcpy", nullptr},
        {"SDL RLE keyed   / cell rows memcpy", "BM_SdlKeyedCellRle", "BM_CellRowsMemcpy", nullptr},
        {"SDL blended     / our blended", "BM_SdlBlendedCell", "BM_BlendedCell", ">= 10"},
    };
    for (const Ratio& r : ratios) {
        if (!t.count(r.numerator) || !t.count(r.denominator)) continue;  // filtered out
        std::printf("%s : %5.2f x", r.label, t[r.numerator] / t[r.denominator]);
        if (r.target) std::printf("  (target %s)", r.target);
        std::printf("\n");
    }
    benchmark::Shutdown();
    return 0;
}
