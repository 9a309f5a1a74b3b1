// Whole frames of every screen, as the frame thread runs them: update,
// composition and the hand-over through the headless platform's copy of the
// presented picture, with the generated pictures loaded. Each frame is also
// reported as a share of the 33 ms frame budget (counter "budget_%"); the
// target is at most 3 %. Start-up (Game construction, start-up with every
// asset, first update and present) is measured the same way.
//
// Every iteration starts from the same state: the field, the scene and the
// animation stamps are put back before the frame (outside the timed part), so
// each timed frame does the full work of its screen, including the step its
// timer allows (a fall, a fade, a drop step, a banner step).
#include "field/block.h"
#include "game/game.h"
#include "platform/headless.h"
#include "rank/ranking.h"
#include "tests/game/game_test_access.h"
#include "tools/replay/session.h"
#include "tools/support/scratch_dir.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

namespace {

constexpr double BudgetMs = 33.0;
constexpr std::uint32_t FrameStepMs = 33;

// The class-wide animation values that live outside the Game.
struct BlockStamps {
    std::uint32_t fall = 0, move = 0, turn = 0, fade = 0, drop = 0;
    int fadeLevel = 255, dropOffset = 0;

    static BlockStamps take()
    {
        BlockStamps s;
        s.fall = PairBlock::fallStamp();
        s.move = PairBlock::moveStamp();
        s.turn = PairBlock::turnStamp();
        s.fade = ClearBlock::fadeStamp();
        s.fadeLevel = ClearBlock::fadeLevel();
        s.drop = DropBlock::dropStamp();
        s.dropOffset = DropBlock::dropOffset();
        return s;
    }
    void put() const
    {
        PairBlock::setFallStamp(fall);
        PairBlock::setMoveStamp(move);
        PairBlock::setTurnStamp(turn);
        ClearBlock::setFadeStamp(fade);
        ClearBlock::setFadeLevel(fadeLevel);
        DropBlock::setDropStamp(drop);
        DropBlock::setDropOffset(dropOffset);
    }
};

// A session on the generated assets, set up for one screen and able to go
// back to that state before every frame.
class ScreenFrame {
public:
    ScreenFrame()
    {
        replay::SessionOptions options;
        options.assetDir = TESSALOOM_ASSET_DIR;
        session_ = std::make_unique<replay::Session>(options);
        // Frame 0 runs without a clock step; every measured frame follows one.
        session_->runFrame(0);
    }
    Game& game() { return session_->game(); }

    // Takes the current state as the one every measured frame starts from.
    void keep()
    {
        field_ = game().field();
        scene_ = game().scene();
        phase_ = game().phase();
        stamps_ = BlockStamps::take();
    }
    void restore()
    {
        game().field() = field_;
        GameTestAccess::setScene(game(), scene_);
        GameTestAccess::setPhase(game(), phase_);
        stamps_.put();
    }
    // One frame; its wall time in seconds.
    double frame()
    {
        const auto start = std::chrono::steady_clock::now();
        session_->runFrame(FrameStepMs);
        const auto end = std::chrono::steady_clock::now();
        return std::chrono::duration<double>(end - start).count();
    }
    // Empty when the frame did what the screen's frame does; else why not.
    std::string check(int presentedBefore) const
    {
        if (headless::framesPresented() != presentedBefore + 1) return "no frame presented";
        if (!headless::messageBoxes().empty()) return "message box: " + headless::messageBoxes()[0].text;
        if (!session_->running()) return "the game quit";
        return {};
    }
    int scene() const { return scene_; }

private:
    std::unique_ptr<replay::Session> session_;
    PuzzleField field_;
    SceneId scene_ = SceneTitle;
    PhaseId phase_ = PhaseFalling;
    BlockStamps stamps_;
};

// Rows from `firstRow` down to the floor filled with four colours that never
// repeat next to each other, so nothing matches.
void fillWithoutMatches(PuzzleField& field, int firstRow)
{
    for (int row = firstRow; row < GridRows; ++row)
        for (int column = 0; column < GridColumns; ++column)
            field.setCell(column, row, (column + 2 * row) % 4);
}

void setCounters(PuzzleField& field, int score, int cleared)
{
    field.setScore(score);
    field.setClearedCount(cleared);
    field.updateLevel();
}

// A full-ish field whose bottom row holds a run of six that the match check
// clears: 42 blocks above it are left floating.
void prepareClear(ScreenFrame& s)
{
    PuzzleField& field = s.game().field();
    fillWithoutMatches(field, 4);
    for (int column = 0; column < 6; ++column)
        field.setCell(column, GridRows - 1, 0);
    setCounters(field, 123456, 210);
    GameTestAccess::setScene(s.game(), ScenePlay);
    s.game().changePhase(PhaseClearing);
}

// Runs the screen's frame until the benchmark has its measure; the state
// after each frame must still be the screen's (scene and phase unchanged).
void runScreen(benchmark::State& state, ScreenFrame& s, int scene, int phase = -1)
{
    s.keep();
    double total = 0;
    for (auto _ : state) {
        s.restore();
        const int presented = headless::framesPresented();
        const double seconds = s.frame();
        state.SetIterationTime(seconds);
        total += seconds;
        std::string problem = s.check(presented);
        if (problem.empty() && s.game().scene() != scene) problem = "left the screen";
        if (problem.empty() && phase >= 0 && s.game().phase() != phase) problem = "left the phase";
        if (!problem.empty()) {
            state.SkipWithError(problem.c_str());
            break;
        }
    }
    if (state.iterations() > 0)
        state.counters["budget_%"] = total / static_cast<double>(state.iterations()) * 1000.0 / BudgetMs *
                                     100.0;
}

void BM_FrameTitle(benchmark::State& state)
{
    ScreenFrame s;
    runScreen(state, s, SceneTitle);
}

void BM_FrameGameStart(benchmark::State& state)
{
    ScreenFrame s;
    s.game().changeScene(SceneGameStart);
    for (int i = 0; i < 5; ++i)
        s.game().field().advanceCurtain();
    s.game().field().setCurtainStamp(0);
    runScreen(state, s, SceneGameStart);
}

void BM_FramePlayFalling(benchmark::State& state)
{
    ScreenFrame s;
    fillWithoutMatches(s.game().field(), 3);  // 72 of 96 cells
    setCounters(s.game().field(), 1234567, 345);
    GameTestAccess::setScene(s.game(), ScenePlay);
    GameTestAccess::setPhase(s.game(), PhaseFalling);
    PairBlock::setFallStamp(0);  // a fall step every frame
    runScreen(state, s, ScenePlay, PhaseFalling);
}

void BM_FrameClearing(benchmark::State& state)
{
    ScreenFrame s;
    prepareClear(s);
    if (s.game().phase() != PhaseClearing || s.game().field().groups().size() == 0) {
        state.SkipWithError("no clear to show");
        return;
    }
    // Mid-fade: every frame steps the fade and blends the groups.
    ClearBlock::setFadeLevel(204);
    ClearBlock::setFadeStamp(0);
    runScreen(state, s, ScenePlay, PhaseClearing);
}

void BM_FrameDropping(benchmark::State& state)
{
    ScreenFrame s;
    prepareClear(s);
    s.game().field().clearGroups();
    GameTestAccess::settle(s.game());
    if (s.game().phase() != PhaseDropping || s.game().field().drops().size() == 0) {
        state.SkipWithError("nothing to drop");
        return;
    }
    DropBlock::setDropStamp(0);
    runScreen(state, s, ScenePlay, PhaseDropping);
}

void BM_FrameGameOver(benchmark::State& state)
{
    ScreenFrame s;
    fillWithoutMatches(s.game().field(), 1);
    setCounters(s.game().field(), 4321, 12);
    s.game().changeScene(SceneGameOver);
    for (int i = 0; i < 20; ++i)
        s.game().field().advanceOverCount();
    s.game().field().setOverStamp(0);
    runScreen(state, s, SceneGameOver);
}

void BM_FrameNameEntry(benchmark::State& state)
{
    ScreenFrame s;
    fillWithoutMatches(s.game().field(), 1);
    setCounters(s.game().field(), 9000000, 900);
    s.game().changeScene(SceneNameEntry);
    s.game().field().editName(NameLetterNext);
    s.game().field().editName(NameCursorRight);
    if (s.game().scene() != SceneNameEntry) {
        state.SkipWithError("the score does not qualify");
        return;
    }
    runScreen(state, s, SceneNameEntry);
}

void BM_FrameRanking(benchmark::State& state)
{
    // The view reads the rank file once per row, five times a frame.
    ScreenFrame s;
    s.game().changeScene(SceneRanking);
    runScreen(state, s, SceneRanking);
}

// Game construction, start-up with the generated pictures and sounds, the
// first update and its present (the time measured); then the rest of
// start-up that follows the present (counted as rest_ms).
void BM_StartUpToFirstPresent(benchmark::State& state)
{
    replay::SessionOptions options;
    options.assetDir = TESSALOOM_ASSET_DIR;
    double total = 0;
    double rest = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        auto session = std::make_unique<replay::Session>(options);
        session->game().update();
        session->game().present();
        const auto presented = std::chrono::steady_clock::now();
        session->game().finishStartUp();
        const auto end = std::chrono::steady_clock::now();
        const double seconds = std::chrono::duration<double>(presented - start).count();
        state.SetIterationTime(seconds);
        total += seconds;
        rest += std::chrono::duration<double>(end - presented).count();
        if (headless::framesPresented() != 1 || session->game().renderer().image(SlotTitle).isEmpty() ||
            session->game().renderer().image(SlotGameBg).isEmpty()) {
            state.SkipWithError("no title picture or no frame: are the assets built?");
            break;
        }
    }
    if (state.iterations() > 0) {
        state.counters["ms"] = total / static_cast<double>(state.iterations()) * 1000.0;
        state.counters["rest_ms"] = rest / static_cast<double>(state.iterations()) * 1000.0;
    }
}

BENCHMARK(BM_FrameTitle)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameGameStart)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FramePlayFalling)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameClearing)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameDropping)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameGameOver)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameNameEntry)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameRanking)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StartUpToFirstPresent)->UseManualTime()->Unit(benchmark::kMillisecond);

// A ranking of ten saved entries in a fresh working directory, where the
// game keeps its rank file.
bool enterRankDirectory(support::ScratchDir& dir)
{
    if (!dir.enter()) return false;
    const char* names[] = {"ann", "bob", "cat", "dan", "eve", "fay", "gus", "hal", "ivy", "jon"};
    for (int i = 0; i < 10; ++i)
        if (!saveRankEntry(names[i], 100000 * (10 - i))) return false;
    // The view must find the table, or it would draw empty rows only.
    std::string name;
    int score = 0;
    return rankEntry(1, name, score) && name == "ann" && score == 1000000;
}

}  // namespace

int main(int argc, char** argv)
{
    support::ScratchDir dir("tessaloom-bench");
    if (!enterRankDirectory(dir)) {
        std::fprintf(stderr, "frame bench: cannot make a rank file in a temporary directory\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
