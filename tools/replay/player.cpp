#include "tools/replay/player.h"

#include <algorithm>
#include <iterator>

namespace replay {

namespace {

using platform::Key;

constexpr Key AllKeys[] = {Key::Left, Key::Right, Key::Up, Key::Down, Key::Z, Key::C};

int index(Key key) { return static_cast<int>(key); }

// The title menu from top to bottom; the cursor holds the scene id.
int menuPosition(int cursor)
{
    switch (cursor) {
    case SceneGameStart: return 0;
    case SceneRanking: return 1;
    default: return 2;
    }
}

}  // namespace

std::uint64_t SeededRandom::next()
{
    state_ += 0x9e3779b97f4a7c15ull;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
}

int SeededRandom::below(int n)
{
    if (n <= 0) return 0;
    return static_cast<int>(next() % static_cast<std::uint64_t>(n));
}

RandomPlayer::RandomPlayer(std::uint64_t seed, int games) : random_(seed), gamesToPlay_(games)
{
    std::fill(std::begin(releaseAt_), std::end(releaseAt_), -1);
}

RandomPlayer::~RandomPlayer() = default;

void RandomPlayer::hold(Key key, bool down, int frame, std::vector<InputEvent>& out)
{
    const int k = index(key);
    if (held_[k] == down) return;
    held_[k] = down;
    releaseAt_[k] = -1;
    out.push_back(InputEvent{frame, down ? EventKind::Press : EventKind::Release, key, 0});
}

void RandomPlayer::press(Key key, int frame, int holdFrames, std::vector<InputEvent>& out)
{
    const int k = index(key);
    // A finger already on the key lifts it first; both events can land
    // between two frames.
    if (held_[k]) hold(key, false, frame, out);
    hold(key, true, frame, out);
    releaseAt_[k] = frame + (holdFrames < 1 ? 1 : holdFrames);
}

void RandomPlayer::releaseDue(int frame, std::vector<InputEvent>& out)
{
    for (Key key : AllKeys) {
        const int k = index(key);
        if (held_[k] && releaseAt_[k] >= 0 && frame >= releaseAt_[k]) hold(key, false, frame, out);
    }
}

void RandomPlayer::noise(int frame, int percent, std::vector<InputEvent>& out)
{
    if (!random_.chance(percent)) return;
    press(AllKeys[random_.below(6)], frame, 1 + random_.below(4), out);
}

void RandomPlayer::onSceneEntered(const Game& game)
{
    switch (game.scene()) {
    case SceneTitle:
        wait_ = random_.below(25);
        quitWithQ_ = false;
        if (counts_.gamesStarted >= gamesToPlay_) {
            menuTarget_ = SceneQuit;
            quitWithQ_ = random_.chance(30);
        } else {
            menuTarget_ = random_.chance(12) ? SceneRanking : SceneGameStart;
        }
        break;
    case SceneRanking:
        ++counts_.rankingViews;
        wait_ = 5 + random_.below(60);
        break;
    case SceneGameStart:
        ++counts_.gamesStarted;
        noisePercent_ = random_.below(6);
        centreBias_ = random_.below(101);
        thoughtPercent_ = random_.below(101);
        break;
    case SceneNameEntry:
        ++counts_.nameEntries;
        nameCommandsLeft_ = random_.below(16);
        wait_ = random_.below(10);
        break;
    case SceneGameOver: wait_ = random_.below(40); break;
    default: break;
    }
}

void RandomPlayer::decide(const Game& game, int frame, std::vector<InputEvent>& out)
{
    releaseDue(frame, out);
    if (game.scene() != lastScene_) {
        lastScene_ = game.scene();
        lastPhase_ = -1;
        // Keys held to steer the pair come up soon after the screen changes.
        for (Key key : AllKeys) {
            const int k = index(key);
            if (held_[k] && releaseAt_[k] < 0) releaseAt_[k] = frame + random_.below(6);
        }
        onSceneEntered(game);
    }

    switch (game.scene()) {
    case SceneTitle: title(game, frame, out); break;
    case SceneRanking:
        if (wait_ > 0)
            --wait_;
        else
            press(Key::Z, frame, 1 + random_.below(3), out);
        break;
    case SceneGameStart: noise(frame, 3, out); break;
    case ScenePlay:
        if (game.phase() == PhaseFalling) {
            falling(game, frame, out);
        } else {
            // Hands off while blocks clear and drop, mostly.
            hold(Key::Left, false, frame, out);
            hold(Key::Right, false, frame, out);
            if (random_.chance(30)) hold(Key::Down, false, frame, out);
            noise(frame, noisePercent_, out);
        }
        lastPhase_ = game.phase();
        break;
    case SceneGameOver:
        // Presses during the slide do not count, so a person keeps trying.
        if (wait_ > 0)
            --wait_;
        else if (random_.chance(15))
            press(Key::Z, frame, 1 + random_.below(3), out);
        break;
    case SceneNameEntry: nameEntry(frame, out); break;
    default: break;
    }
}

void RandomPlayer::title(const Game& game, int frame, std::vector<InputEvent>& out)
{
    if (wait_ > 0) {
        --wait_;
        // Idle fingers wander over the arrows now and then.
        if (random_.chance(4)) press(random_.chance(50) ? Key::Up : Key::Down, frame, 1, out);
        return;
    }
    if (held_[index(Key::Up)] || held_[index(Key::Down)] || held_[index(Key::Z)]) return;
    if (quitWithQ_) {
        hold(Key::Q, true, frame, out);
        return;
    }
    const int at = menuPosition(game.field().menuCursor());
    const int want = menuPosition(menuTarget_);
    if (at < want)
        press(Key::Down, frame, 1 + random_.below(2), out);
    else if (at > want)
        press(Key::Up, frame, 1 + random_.below(2), out);
    else
        press(Key::Z, frame, 1 + random_.below(3), out);
    wait_ = random_.below(4);
}

void RandomPlayer::falling(const Game& game, int frame, std::vector<InputEvent>& out)
{
    Block& block0 = pairView_;
    game.field().getPairBlock(0, block0);
    // A landing without a clear spawns the next pair within the same frame,
    // so the phase stays; the pair moving up gives the new one away.
    const bool newPair = lastPhase_ != PhaseFalling || block0.row() < lastHalfRow_;
    lastHalfRow_ = block0.row();
    if (newPair) {
        // A new pair: pick where it goes and how it turns.
        int column = random_.below(GridColumns);
        if (random_.chance(centreBias_)) column = 2 + random_.below(4);
        targetColumn_ = column;
        turnsLeft_ = random_.below(4);
        if (random_.chance(thoughtPercent_)) {
            // Kept upright, block 1 (below block 0) lands on the stack.
            game.field().getPairBlock(1, pairView1_);
            targetColumn_ = thoughtfulColumn(game.field(), pairView1_.colour());
            turnsLeft_ = 0;
            // Steer first, then push.
            pushFromStart_ = random_.chance(20);
            pushWhenPlaced_ = true;
        }
        turnClockwise_ = random_.chance(50);
        pushFromStart_ = random_.chance(85);
        pushWhenPlaced_ = pushFromStart_ || random_.chance(90);
        stuckFrames_ = 0;
        lastColumn_ = block0.column();
    }

    if (turnsLeft_ > 0) {
        const Key turn = turnClockwise_ ? Key::C : Key::Z;
        if (!held_[index(turn)]) {
            press(turn, frame, 1 + random_.below(2), out);
            --turnsLeft_;
        }
    }

    const int column = block0.column();
    stuckFrames_ = column == lastColumn_ ? stuckFrames_ + 1 : 0;
    lastColumn_ = column;
    // A wall or a stack in the way: settle for where the pair is.
    if (stuckFrames_ > 12) targetColumn_ = column;

    hold(Key::Left, column > targetColumn_, frame, out);
    hold(Key::Right, column < targetColumn_, frame, out);
    for (Key arrow : {Key::Left, Key::Right}) {
        // The keyboard's own repeat while an arrow stays down.
        if (held_[index(arrow)] && random_.chance(20)) {
            out.push_back(InputEvent{frame, EventKind::Repeat, arrow, 0});
        }
    }
    const bool placed = column == targetColumn_ && turnsLeft_ == 0;
    hold(Key::Down, pushFromStart_ || (placed && pushWhenPlaced_), frame, out);
    noise(frame, noisePercent_, out);
}

int RandomPlayer::thoughtfulColumn(const PuzzleField& field, int lowerColour)
{
    int best = 3;
    int bestValue = -1000;
    for (int column = 0; column < GridColumns; ++column) {
        const int top = field.landingRow(column, 0);  // 12 for an empty column
        int value = top + random_.below(3);
        if (field.cellAt(column, top) == lowerColour) value += 8;
        if (column == 3 && top < 5) value -= 20;
        if (value > bestValue) {
            bestValue = value;
            best = column;
        }
    }
    return best;
}

void RandomPlayer::nameEntry(int frame, std::vector<InputEvent>& out)
{
    if (wait_ > 0) {
        --wait_;
        return;
    }
    for (Key key : {Key::Up, Key::Down, Key::Left, Key::Right, Key::Z})
        if (held_[index(key)]) return;
    if (nameCommandsLeft_ > 0) {
        constexpr Key Commands[] = {Key::Up, Key::Down, Key::Left, Key::Right};
        press(Commands[random_.below(4)], frame, 1 + random_.below(2), out);
        --nameCommandsLeft_;
    } else {
        press(Key::Z, frame, 1 + random_.below(2), out);
    }
    wait_ = random_.below(5);
}

}  // namespace replay
