// What the screens add to tell the player what happened: the chain label and
// the level-up badge of the play, each with the moment it began, where a
// falling pair would come to rest, and the sound notice after M.
// Presentation only: nothing here feeds back into the rules.
#pragma once

#include "field/block.h"
#include "field/block_list.h"
#include "game/frame_timer.h"

class PuzzleField;
class Renderer;

class PlayFeedback {
public:
    // The chain label shows this long, fading over its last part.
    static constexpr Millis ChainLabelMs = 1000;
    static constexpr Millis ChainFadeMs = 400;
    // The level-up badge shows this long: it blinks at first, on for the
    // first part of each blink, then stays.
    static constexpr Millis LevelUpMs = 2000;
    static constexpr Millis LevelUpBlinkingMs = 750;
    static constexpr Millis LevelUpBlinkMs = 250;
    static constexpr Millis LevelUpOnMs = 170;

    // One clear step of a chain, with the points it added and the groups it
    // cleared. From the second step on its label shows near those blocks; a
    // first step starts a new chain and takes any earlier label away.
    void chainStep(int steps, int points, const GroupList& groups, Millis now);
    void levelRose(Millis now);
    // Nothing shown any more (a new game).
    void clear();

    // The weight (1..256) the chain label is drawn with at `now`, 0 when
    // none shows.
    int chainLabelAlpha(Millis now) const;
    bool levelUpShown(Millis now) const;
    // Draws what shows at `now` over the play screen, the falling pair's
    // two blocks given while it falls (else null).
    void draw(Renderer& renderer, Millis now, const PairBlock (*pair)[2] = nullptr) const;

private:
    bool chainShown_ = false;
    int chainSteps_ = 0;
    int chainPoints_ = 0;
    int chainCentreX_ = 0;  // screen pixels, the middle of the cleared blocks
    int chainCentreY_ = 0;
    Millis chainStart_ = 0;
    bool levelShown_ = false;
    Millis levelStart_ = 0;
};

// The cell rows where the two pair blocks come to rest if dropped straight
// down: each on top of its own column's stack, the upper block of an upright
// pair on the lower one.
void restingRows(const PuzzleField& field, const PairBlock (&pair)[2], int (&rows)[2]);

// The top of the level-up badge: its upper place, or its lower one when
// a block of the falling pair (null for none) is in the upper.
int levelUpTop(const PairBlock (*pair)[2]);

// "SOUND OFF" or "SOUND ON" after M, for a moment of the game's clock, over
// whatever screen shows.
class SoundNotice {
public:
    static constexpr Millis ShowMs = 1500;

    void show(bool muted, Millis now);
    bool shown(Millis now) const;
    void draw(Renderer& renderer, Millis now) const;

private:
    bool active_ = false;
    bool muted_ = false;
    Millis start_ = 0;
};
