#include "tools/replay/invariants.h"

#include "field/block.h"
#include "platform/headless.h"
#include "rank/ranking.h"

#include <fstream>
#include <sstream>
#include <vector>

namespace replay {

namespace {

constexpr int LevelThresholds[20] = {0,   30,  60,  90,  140, 150, 160, 190, 240, 250,
                                     290, 340, 360, 410, 440, 460, 490, 530, 600, 630};
constexpr int ScoreCap = 9999999;

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

bool canonicalScore(const std::string& s, int& value)
{
    if (s.empty() || s.size() > 7) return false;
    if (s.size() > 1 && s[0] == '0') return false;
    int v = 0;
    for (char ch : s) {
        if (ch < '0' || ch > '9') return false;
        v = v * 10 + (ch - '0');
    }
    value = v;
    return true;
}

bool wellFormedName(const std::string& s)
{
    if (s.empty()) return true;
    if (s.size() != 3) return false;
    for (char ch : s)
        if (ch < 'a' || ch > 'z') return false;
    return true;
}

}  // namespace

int expectedLevel(int cleared)
{
    int level = 0;
    for (int i = 0; i < 20; ++i)
        if (cleared >= LevelThresholds[i]) level = i;
    return level;
}

std::string rankFileFault(const std::string& text)
{
    std::vector<std::string> lines;
    std::string::size_type pos = 0;
    while (pos < text.size()) {
        const std::string::size_type end = text.find("\r\n", pos);
        if (end == std::string::npos) return "text after the last CR LF";
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    if (lines.size() != 10) return std::to_string(lines.size()) + " lines instead of 10";
    int previous = ScoreCap;
    for (int place = 0; place < 5; ++place) {
        if (!wellFormedName(lines[place * 2]))
            return "place " + std::to_string(place + 1) + ": bad name";
        int score = 0;
        if (!canonicalScore(lines[place * 2 + 1], score))
            return "place " + std::to_string(place + 1) + ": bad score";
        if (score > previous) return "place " + std::to_string(place + 1) + ": out of order";
        previous = score;
    }
    return std::string();
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
                return "cell (" + std::to_string(column) + ", " + std::to_string(row) +
                       ") holds " + std::to_string(code);
        }
    }

    const int score = field.score();
    if (score < 0 || score > ScoreCap) return "score " + std::to_string(score) + " out of range";
    const int cleared = field.clearedCount();
    if (cleared < 0 || cleared > ScoreCap)
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
        return "level " + std::to_string(field.level()) + " for " + std::to_string(cleared) +
               " cleared";

    if (!headless::messageBoxes().empty()) {
        const headless::MessageBoxRecord& box = headless::messageBoxes().front();
        return "message box [" + box.caption + "] " + box.text;
    }
    return std::string();
}

std::string InvariantChecker::checkRankFile()
{
    std::ifstream in(RankFilePath, std::ios::binary);
    if (!in) return std::string();
    std::ostringstream text;
    text << in.rdbuf();
    const std::string fault = rankFileFault(text.str());
    return fault.empty() ? fault : std::string("rank file: ") + fault;
}

}  // namespace replay
