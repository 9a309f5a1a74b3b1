// The falling pair under the player's hand: key polling, the three time
// gates, the half-row fall with its landing test, sideways moves, turns
// around block 0, and the landing that writes the pair into the grid.
#include "game/game.h"

#include "field/block.h"
#include "sound/sound_bank.h"

namespace {

constexpr Millis PushedFallInterval = 16;
constexpr Millis MoveInterval = 50;
constexpr Millis TurnInterval = 50;
// Modern controls: a held arrow repeats only once held this long.
constexpr Millis RepeatDelay = 170;

// Which neighbour of block 0 a turn tests, and how block 1 moves.
struct TurnRule {
    PairOrientation tested;  // the target cell, seen from block 0
    int columnDelta;         // of block 1
    int halfRowDelta;        // of block 1
};

// Indexed by the current orientation 0 left, 1 right, 2 above, 3 below.
constexpr TurnRule CounterClockwise[4] = {
    {PairBelow, +1, +2},  // left -> below
    {PairAbove, -1, -2},  // right -> above
    {PairLeft, -1, +2},   // above -> left
    {PairRight, +1, -2},  // below -> right
};
constexpr TurnRule Clockwise[4] = {
    {PairAbove, +1, -2},  // left -> above
    {PairBelow, -1, +2},  // right -> below
    {PairRight, +1, +2},  // above -> right
    {PairLeft, -1, -2},   // below -> left
};

bool oddHalfRow(const PairBlock& block) { return block.pairRow(false) % 2 != 0; }

}  // namespace

PairKeys Game::pollPairKeys()
{
    // One query per key per frame, in this order: the query consumes the
    // key's press mark, so a turn needs a fresh press of Z or C.
    PairKeys keys;
    const platform::KeyState left = platform::queryKey(platform::Key::Left);
    keys.left = left.down;
    keys.leftPressed = left.down && left.pressedSinceLastQuery;
    const platform::KeyState right = platform::queryKey(platform::Key::Right);
    keys.right = right.down;
    keys.rightPressed = right.down && right.pressedSinceLastQuery;
    keys.down = platform::keyHeld(platform::Key::Down);
    keys.turnCounterClockwise = platform::keyNewlyPressed(platform::Key::Z);
    keys.turnClockwise = platform::keyNewlyPressed(platform::Key::C);
    if (controlStyle_ == ControlStyle::Modern) keys.drop = platform::keyNewlyPressed(platform::Key::Up);
    return keys;
}

void Game::updateFalling()
{
    const PairKeys keys = pollPairKeys();
    // Classic shows the pair as it was before this frame's steps; modern
    // shows it after them, so a key shows in the frame that reads it. A pair
    // that lands is drawn where it came to rest, before it joins the grid.
    const bool modern = controlStyle_ == ControlStyle::Modern;
    if (!modern) drawPlayScreen(PhaseFalling);
    int landed = stepPairFall(false);
    if (landed == -1) landed = handlePairInput(keys);
    if (modern) drawPlayScreen(PhaseFalling);
    if (landed != -1) landPair(landed);
}

bool Game::fallDue(bool pushed) const
{
    const Millis interval = pushed ? PushedFallInterval : static_cast<Millis>(field_.fallInterval());
    return dueAfter(now_, PairBlock::fallStamp(), interval);
}

bool Game::moveDue() const { return dueAfter(now_, PairBlock::moveStamp(), MoveInterval); }

bool Game::turnDue() const { return dueAfter(now_, PairBlock::turnStamp(), TurnInterval); }

int Game::stepPairFall(bool pushed)
{
    if (!fallDue(pushed)) return -1;
    return fallHalfRow();
}

int Game::fallHalfRow()
{
    PairBlock block0;
    PairBlock block1;
    field_.getPairBlock(0, block0);
    field_.getPairBlock(1, block1);
    const int half0 = block0.pairRow(false);
    const int half1 = block1.pairRow(false);
    block0.setHalfRow(half0 + 1);
    block1.setHalfRow(half1 + 1);
    PairBlock::setFallStamp(now_);
    field_.putPairBlock(0, block0);
    field_.putPairBlock(1, block1);

    // Support is the cell under each block's new cell row; below the
    // bottom row lies the outside, which supports too.
    const int below0 = field_.cellAt(block0.column(), (half0 + 1) / 2 + 1);
    const int below1 = field_.cellAt(block1.column(), (half1 + 1) / 2 + 1);
    if (below0 != Empty) return 0;
    if (below1 != Empty) return 1;
    return -1;
}

int Game::handlePairInput(const PairKeys& keys)
{
    if (keys.down && fallDue(true)) {
        const int landed = stepPairFall(true);
        if (landed != -1) return landed;
    }
    if (controlStyle_ == ControlStyle::Modern) {
        const bool left = arrowWantsMove(arrowHolds_[0], keys.left, keys.leftPressed);
        const bool right = arrowWantsMove(arrowHolds_[1], keys.right, keys.rightPressed);
        // One move a frame, left first, as the shared gate gives in classic.
        const bool moved = left && tryMove(-1);
        if (right && !moved) tryMove(+1);
    } else {
        // A successful left move stamps the move gate, so right waits.
        if (keys.left && moveDue()) tryMove(-1);
        if (keys.right && moveDue()) tryMove(+1);
    }
    if (keys.turnCounterClockwise && turnDue()) {
        // Z sounds on every press the gate lets through, turned or not.
        sound_.playEffect(SeTurn);
        tryTurn(false);
    }
    if (keys.turnClockwise && turnDue()) tryTurn(true);
    // After the moves and turns of this frame, so the pair drops from where
    // they took it. It lands as a pushed fall would, only at once; the
    // landing scores nothing of its own.
    if (keys.drop) return dropPair();
    return -1;
}

int Game::dropPair()
{
    // Each step goes one half row lower; the floor stops it within the well.
    for (int step = 0; step <= 2 * GridRows; ++step) {
        const int landed = fallHalfRow();
        if (landed != -1) return landed;
    }
    return -1;
}

bool Game::arrowWantsMove(ArrowHold& hold, bool down, bool pressed)
{
    if (!down) {
        hold.held = false;
        return false;
    }
    if (pressed || !hold.held) {
        // A fresh press moves at once, whatever the gate says: each tap is
        // one column.
        hold.held = true;
        hold.since = now_;
        return true;
    }
    // Held past the delay: the classic rhythm of the move gate.
    return static_cast<Millis>(now_ - hold.since) >= RepeatDelay && moveDue();
}

bool Game::tryMove(int direction)
{
    PairBlock block0;
    PairBlock block1;
    field_.getPairBlock(0, block0);
    field_.getPairBlock(1, block1);

    // The lead is the block on the side of the move, or the lower block of
    // a vertical pair. In phase 4 the grid holds only settled blocks, so a
    // free cell beside the lower block means a free cell beside the upper.
    const PairBlock* lead = nullptr;
    switch (field_.pairOrientation()) {
    case PairLeft: lead = direction < 0 ? &block1 : &block0; break;
    case PairRight: lead = direction < 0 ? &block0 : &block1; break;
    case PairAbove: lead = &block0; break;
    case PairBelow: lead = &block1; break;
    case PairSameCell: return false;  // both in one cell: no side to lead with
    }

    const int column = lead->column() + direction;
    const int row = lead->pairRow(true);
    int target = field_.cellAt(column, row);
    if (oddHalfRow(*lead)) {
        // Between two cell rows: both must be free.
        if (target != Empty) return false;
        target = field_.cellAt(column, row + 1);
    }
    if (target != Empty) return false;

    sound_.playEffect(SeMove);
    block1.setColumn(block1.column() + direction);
    block0.setColumn(block0.column() + direction);
    PairBlock::setMoveStamp(now_);
    field_.putPairBlock(0, block0);
    field_.putPairBlock(1, block1);
    return true;
}

bool Game::tryTurn(bool clockwise)
{
    const PairOrientation orientation = field_.pairOrientation();
    if (orientation == PairSameCell) {
        platform::messageBox(" block turn error!!", "error");
        return false;
    }

    PairBlock block0;
    PairBlock block1;
    field_.getPairBlock(0, block0);
    field_.getPairBlock(1, block1);

    int neighbour[4] = {Outside, Outside, Outside, Outside};
    field_.pairNeighbours(0, neighbour[PairAbove], neighbour[PairBelow], neighbour[PairLeft],
                          neighbour[PairRight]);
    if (oddHalfRow(block0)) {
        // Block 0 spans two cell rows, so block 1 would too: test the lower
        // one of each side as well.
        const int column = block0.column();
        const int row = block0.pairRow(true);
        if (neighbour[PairAbove] == Empty) neighbour[PairAbove] = field_.cellAt(column, row);
        if (neighbour[PairBelow] == Empty) neighbour[PairBelow] = field_.cellAt(column, row + 2);
        if (neighbour[PairLeft] == Empty) neighbour[PairLeft] = field_.cellAt(column - 1, row + 1);
        if (neighbour[PairRight] == Empty) neighbour[PairRight] = field_.cellAt(column + 1, row + 1);
    }

    const TurnRule& rule = clockwise ? Clockwise[orientation] : CounterClockwise[orientation];
    if (neighbour[rule.tested] != Empty) return false;

    sound_.playEffect(SeTurn);
    block1.setColumn(block1.column() + rule.columnDelta);
    block1.setHalfRow(block1.pairRow(false) + rule.halfRowDelta);
    PairBlock::setTurnStamp(now_);
    field_.putPairBlock(0, block0);
    field_.putPairBlock(1, block1);
    return true;
}

void Game::landPair(int index)
{
    if (index != 0 && index != 1) return;
    sound_.playEffect(SeBottom);

    PairBlock blocks[2];
    field_.getPairBlock(0, blocks[0]);
    field_.getPairBlock(1, blocks[1]);
    const PairBlock& landed = blocks[index];
    const PairBlock& other = blocks[1 - index];

    // Each bomb arms the colour it comes to rest on. Read before the pair is
    // written, so the grid still shows what lies beneath.
    const bool landedBomb = landed.colour() == Bomb;
    const bool otherBomb = other.colour() == Bomb;
    const int underLanded = field_.cellAt(landed.column(), landed.pairRow(true) + 1);
    const int topOfOther = field_.cellAt(other.column(), field_.landingRow(other.column(), 0));
    if (landedBomb && otherBomb) {
        field_.setBomb(true, underLanded, topOfOther);
    } else if (landedBomb) {
        field_.setBomb(true, underLanded, Outside);
    } else if (otherBomb) {
        // A bomb sitting on the landed block arms that block's colour; one
        // beside it will drop onto the top of its own column.
        const bool sitsOnLanded = other.pairRow(false) < landed.pairRow(false);
        field_.setBomb(true, sitsOnLanded ? landed.colour() : topOfOther, Outside);
    }

    for (const PairBlock& block : blocks)
        field_.setCell(block.column(), block.pairRow(true), block.colour());
    settle();
}
