// The three play phases and the two operations that join them: the match
// check (scoring and the top-out test) and the settle after a landing or a
// finished fade.
#include "game/game.h"

#include "field/block.h"
#include "field/block_list.h"
#include "sound/sound_bank.h"

#include <climits>
#include <cstdint>

namespace {

constexpr Millis FadeInterval = 100;  // one fade step at least this far apart
constexpr Millis DropInterval = 30;   // one drop step at least this far apart

// The cell that must be free for the next pair: spawn cell of block 0.
constexpr int SpawnColumn = 3;
constexpr int SpawnRow = 0;

SeId chainEffect(int steps)
{
    switch (steps) {
    case 1: return SeChain1;
    case 2: return SeChain2;
    case 3: return SeChain3;
    case 4: return SeChain4;
    default: return SeChain5;
    }
}

int clampToInt(std::int64_t v)
{
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

std::int64_t capCounter(std::int64_t v) { return v > PuzzleField::ScoreLimit ? PuzzleField::ScoreLimit : v; }

}  // namespace

void Game::updatePlay()
{
    switch (phase_) {
    case PhaseFalling: updateFalling(); break;
    case PhaseClearing: updateClearing(); break;
    case PhaseDropping: updateDropping(); break;
    // Spelt so on purpose: the game has always shown this text and caption.
    default: platform::messageBox("Undefinde Scene!!", "cution"); break;
    }
}

int Game::chainPoints(int base, int count)
{
    if (count < 1) return 0;
    const std::int64_t n = count;
    // The first three blocks are worth the base once, the i-th from the
    // fourth on (i - 2) times; 64-bit so huge counts saturate, not wrap.
    const std::int64_t factor = n <= 3 ? n : 2 + (n - 1) * (n - 2) / 2;
    return clampToInt(factor * base);
}

void Game::checkMatches()
{
    field_.clearGroups();
    bool armed = false;
    int colourA = Outside;
    field_.bombState(armed, colourA);
    if (armed) {
        field_.collectBombGroup();
        field_.setBomb(false, Outside, Outside);
    }

    if (field_.findLines() <= 0) {
        // Nothing left to clear: the game ends only when the spawn cell is
        // taken. A pair is prepared either way, so the next game starts with it.
        if (field_.cellAt(SpawnColumn, SpawnRow) != Empty) {
            sound_.playEffect(SeGameOver);
            enterGameOver();
        }
        changePhase(PhaseFalling);
        return;
    }

    const int removed = field_.removeGroups();
    const int scoreBefore = field_.score();
    const int levelBefore = field_.level();
    int steps = 0;
    int cleared = 0;
    field_.chainState(steps, cleared);

    // Later steps of a chain multiply by the blocks cleared before them;
    // the product can pass the int range long before the cap.
    std::int64_t points = chainPoints(field_.levelPoints(), removed);
    if (cleared > 0) points *= cleared;
    field_.setScore(static_cast<int>(capCounter(static_cast<std::int64_t>(field_.score()) + points)));
    field_.setClearedCount(
        static_cast<int>(capCounter(static_cast<std::int64_t>(field_.clearedCount()) + removed)));
    field_.setChainState(steps + 1, clampToInt(static_cast<std::int64_t>(cleared) + removed));
    feedback_.chainStep(steps + 1, field_.score() - scoreBefore, field_.groups(), now_);
    if (field_.level() > levelBefore) feedback_.levelRose(now_);

    // The groups stay for the fade; their cells are already empty.
    phase_ = PhaseClearing;
}

void Game::settle()
{
    field_.clearDrops();
    field_.collectFloating();

    if (field_.drops().empty()) {
        // The first rest after a spawn still owes a match check; later rests
        // come after a check already ran.
        if (landingCheckPending_) {
            landingCheckPending_ = false;
            changePhase(PhaseClearing);
        } else {
            changePhase(PhaseFalling);
        }
        return;
    }

    // The dropping blocks now live only in the list.
    for (const DropBlock& block : field_.drops())
        field_.setCell(block.column(), block.row(), Empty);
    phase_ = PhaseDropping;
}

void Game::updateClearing()
{
    if (!dueAtLeast(now_, ClearBlock::fadeStamp(), FadeInterval)) return;

    if (ClearBlock::fadeLevel() == 255) {
        int steps = 0;
        int cleared = 0;
        field_.chainState(steps, cleared);
        sound_.playEffect(chainEffect(steps));
    }
    field_.stepFade(now_);

    if (ClearBlock::fadeLevel() > 0) {
        drawPlayScreen(PhaseClearing);
    } else {
        field_.clearGroups();
        settle();
    }
}

void Game::updateDropping()
{
    if (field_.drops().empty()) {
        sound_.playEffect(SeBottom);
        field_.clearDrops();
        checkMatches();
        return;
    }
    // Every dropping frame reseeds the colour generator from the clock: the
    // pairs to come take their colours from it, and recorded games rely on
    // those colours.
    reseedAsNewBlock();

    if (!dueAtLeast(now_, DropBlock::dropStamp(), DropInterval)) return;
    field_.stepDrop(now_);
    drawPlayScreen(PhaseDropping);
}

void Game::drawPlayScreen(PhaseId phase)
{
    // The moving pieces and the preview lie beside the counters, never on
    // them, so drawing the counters first changes no pixel.
    renderer_.drawGameScreen(field_);
    renderer_.drawMoreKeys();
    PairBlock blocks[2];
    switch (phase) {
    case PhaseFalling: {
        for (int i = 0; i < 2; ++i)
            field_.getPairBlock(i, blocks[i]);
        if (landingShadow_) {
            int rows[2];
            restingRows(field_, blocks, rows);
            for (int i = 0; i < 2; ++i)
                renderer_.drawLandingShadow(blocks[i].column(), rows[i], blocks[i].colour());
        }
        for (const PairBlock& block : blocks)
            renderer_.drawPairBlock(block);
        break;
    }
    case PhaseClearing:
        // So does every drawn clearing frame (see updateDropping).
        if (!field_.groups().empty()) reseedAsNewBlock();
        renderer_.drawClearingGroups(field_.groups());
        break;
    case PhaseDropping: renderer_.drawFallingBlocks(field_.drops()); break;
    default: break;
    }
    renderer_.drawNextPair(field_.nextColour(0), field_.nextColour(1));
    feedback_.draw(renderer_, now_, phase == PhaseFalling ? &blocks : nullptr);
}
