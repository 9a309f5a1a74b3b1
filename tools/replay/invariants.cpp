#include "tools/replay/invariants.h"

#include "field/block.h"
#include "field/puzzle_field.h"
#include "platform/headless.h"
#include "rank/ranking.h"
#include "tools/replay/summary.h"
#include "tools/support/rank_file_check.h"


namespace replay {

namespace {

constexpr int LevelThresholds[20] = {0,   30,  60,  90,  140, 150, 160, 190, 240, 250,
                                     290, 340, 360, 410, 440, 460, 490, 530, 600, 630};

bool knownScene(int scene)
{
    switch (scene) {
    case SceneTitle:
    case SceneRanking:
    case SceneQuit:
    case ScenePlay:
    case SceneGameOver:
    case SceneNameEntry:
    case SceneGameStart: return true;
    default: return false;
    }
}

// The title (and the way back to it from the ranking view) resets the
// field: only there may the score and the cleared count go back to 0.
bool resetsField(int scene) { return scene == SceneTitle || scene == SceneRanking; }

}  // namespace

int expectedLevel(int cleared)
{
    int level = 0;
    for (int i = 0; i < 20; ++i)
        if (cleared >= LevelThresholds[i]) level = i;
    return level;
}

std::string InvariantChecker::check(const Game& game)
{
    const int scene = game.scene();
    if (!knownScene(scene)) return "unknown scene " + std::to_string(scene);
    const int phase = game.phase();
    if (phase != PhaseFalling && phase != PhaseClearing && phase != PhaseDropping)
        return "unknown phase " + std::to_string(phase);

    const PuzzleField& field = game.field();
    for (int row = 0; row < GridRows; ++row) {
        for (int column = 0; column < GridColumns; ++column) {
            const int code = field.cellAt(column, row);
            if (code < 0 || code > Empty)
                return "cell (" + std::to_string(column) + ", " + std::to_string(row) + ") holds " +
                       std::to_string(code);
        }
    }

    const int score = field.score();
    if (score < 0 || score > PuzzleField::ScoreLimit)
        return "score " + std::to_string(score) + " out of range";
    const int cleared = field.clearedCount();
    if (cleared < 0 || cleared > PuzzleField::ScoreLimit)
        return "cleared count " + std::to_string(cleared) + " out of range";
    if (!resetsField(scene)) {
        if (score < lastScore_)
            return "score fell from " + std::to_string(lastScore_) + " to " + std::to_string(score);
        if (cleared < lastCleared_)
            return "cleared count fell from " + std::to_string(lastCleared_) + " to " +
                   std::to_string(cleared);
    }
    lastScore_ = score;
    lastCleared_ = cleared;
    if (field.level() != expectedLevel(cleared))
        return "level " + std::to_string(field.level()) + " for " + std::to_string(cleared) + " cleared";

    if (!headless::messageBoxes().empty()) {
        const headless::MessageBoxRecord& box = headless::messageBoxes().front();
        return "message box [" + box.caption + "] " + box.text;
    }
    return std::string();
}

std::string InvariantChecker::checkRankFile()
{
    // Only a file the game could have written is checked.
    std::string text, reason;
    if (!readRankBytes(text, reason)) return std::string();
    const std::string fault = support::rankFileFault(text);
    return fault.empty() ? fault : std::string("rank file: ") + fault;
}

}  // namespace replay
