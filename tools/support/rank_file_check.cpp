#include "tools/support/rank_file_check.h"

#include "field/puzzle_field.h"
#include "rank/ranking.h"

#include <vector>

namespace support {

namespace {

bool canonicalScore(const std::string& s, int& value)
{
    if (s.empty()) return false;
    if (s.size() > 1 && s[0] == '0') return false;
    int v = 0;
    for (char ch : s) {
        if (ch < '0' || ch > '9') return false;
        v = v * 10 + (ch - '0');
        if (v > PuzzleField::ScoreLimit) return false;
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
    if (lines.size() != 2 * RankPlaces)
        return std::to_string(lines.size()) + " lines instead of " + std::to_string(2 * RankPlaces);
    int previous = PuzzleField::ScoreLimit;
    for (int place = 0; place < RankPlaces; ++place) {
        if (!wellFormedName(lines[place * 2])) return "place " + std::to_string(place + 1) + ": bad name";
        int score = 0;
        if (!canonicalScore(lines[place * 2 + 1], score))
            return "place " + std::to_string(place + 1) + ": bad score";
        if (score > previous) return "place " + std::to_string(place + 1) + ": out of order";
        previous = score;
    }
    return std::string();
}

}  // namespace support
