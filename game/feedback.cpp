#include "game/feedback.h"

#include "field/puzzle_field.h"
#include "render/overlay_layout.h"
#include "render/renderer.h"

void PlayFeedback::chainStep(int steps, int points, const GroupList& groups, Millis now)
{
    chainShown_ = steps >= 2;
    if (!chainShown_) return;
    int left = GridColumns, right = -1, top = GridRows, bottom = -1;
    for (const ClearGroup& group : groups) {
        for (const ClearBlock& block : group) {
            if (block.column() < left) left = block.column();
            if (block.column() > right) right = block.column();
            if (block.row() < top) top = block.row();
            if (block.row() > bottom) bottom = block.row();
        }
    }
    if (right < 0) {
        // An empty bomb group: the middle of the well.
        left = top = 0;
        right = GridColumns - 1;
        bottom = GridRows - 1;
    }
    chainSteps_ = steps;
    chainPoints_ = points;
    chainCentreX_ = FieldLeft + CellSize * (left + right + 1) / 2;
    chainCentreY_ = FieldTop + CellSize * (top + bottom + 1) / 2;
    chainStart_ = now;
}

void PlayFeedback::levelRose(Millis now)
{
    levelShown_ = true;
    levelStart_ = now;
}

void PlayFeedback::clear()
{
    chainShown_ = false;
    levelShown_ = false;
}

int PlayFeedback::chainLabelAlpha(Millis now) const
{
    if (!chainShown_) return 0;
    const Millis elapsed = now - chainStart_;
    if (elapsed >= ChainLabelMs) return 0;
    const Millis left = ChainLabelMs - elapsed;
    if (left >= ChainFadeMs) return 256;
    return static_cast<int>(1 + 255 * left / ChainFadeMs);
}

bool PlayFeedback::levelUpShown(Millis now) const
{
    const Millis elapsed = now - levelStart_;
    if (!levelShown_ || elapsed >= LevelUpMs) return false;
    return elapsed >= LevelUpBlinkingMs || elapsed % LevelUpBlinkMs < LevelUpOnMs;
}

void PlayFeedback::draw(Renderer& renderer, Millis now, const PairBlock (*pair)[2]) const
{
    if (levelUpShown(now)) renderer.drawLevelUp(levelUpTop(pair));
    const int alpha = chainLabelAlpha(now);
    if (alpha > 0) renderer.drawChainLabel(chainSteps_, chainPoints_, chainCentreX_, chainCentreY_, alpha);
}

void restingRows(const PuzzleField& field, const PairBlock (&pair)[2], int (&rows)[2])
{
    for (int i = 0; i < 2; ++i)
        rows[i] = field.landingRow(pair[i].column(), pair[i].pairRow(true)) - 1;
    if (pair[0].column() == pair[1].column()) {
        const int lower = pair[0].pairRow(false) > pair[1].pairRow(false) ? 0 : 1;
        rows[1 - lower] = rows[lower] - 1;
    }
}

int levelUpTop(const PairBlock (*pair)[2])
{
    using namespace overlay;
    if (pair == nullptr) return LevelUpUpperY;
    for (const PairBlock& block : *pair) {
        // Drawn a half row at a time, as the renderer places it.
        const int left = FieldLeft + CellSize * block.column();
        const int top = FieldTop + CellSize / 2 * block.pairRow(false);
        if (left < LevelUpX + LevelUpWidth && left + CellSize > LevelUpX &&
            top < LevelUpUpperY + LevelUpHeight && top + CellSize > LevelUpUpperY)
            return LevelUpLowerY;
    }
    return LevelUpUpperY;
}

void SoundNotice::show(bool muted, Millis now)
{
    active_ = true;
    muted_ = muted;
    start_ = now;
}

bool SoundNotice::shown(Millis now) const { return active_ && now - start_ < ShowMs; }

void SoundNotice::draw(Renderer& renderer, Millis now) const
{
    if (shown(now)) renderer.drawSoundNotice(muted_);
}
