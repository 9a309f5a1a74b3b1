#include "tools/assetgen/score.h"

#include <cstdlib>
#include <sstream>

namespace assetgen {

namespace {

int letterSemitone(char c)
{
    switch (c) {
    case 'C': return 0;
    case 'D': return 2;
    case 'E': return 4;
    case 'F': return 5;
    case 'G': return 7;
    case 'A': return 9;
    case 'B': return 11;
    default: return -1;
    }
}

constexpr int NoPitch = -100;

// Reads a letter and an optional sharp or flat at s[pos] (Cb gives -1);
// NoPitch if there is no letter.
int pitchClass(const std::string& s, std::size_t& pos)
{
    if (pos >= s.size()) return NoPitch;
    int pc = letterSemitone(s[pos]);
    if (pc < 0) return NoPitch;
    ++pos;
    if (pos < s.size() && s[pos] == '#') {
        ++pc;
        ++pos;
    } else if (pos < s.size() && s[pos] == 'b') {
        --pc;
        ++pos;
    }
    return pc;
}

}  // namespace

int noteNumber(const std::string& name)
{
    std::size_t pos = 0;
    const int pc = pitchClass(name, pos);
    if (pc == NoPitch || pos + 1 != name.size() || name[pos] < '0' || name[pos] > '8') return -1;
    return (name[pos] - '0' + 1) * 12 + pc;
}

std::vector<std::string> words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> out;
    std::string w;
    while (in >> w)
        out.push_back(w);
    return out;
}

std::vector<LineNote> parseLine(const std::string& line, double unitBeats)
{
    std::vector<LineNote> out;
    double beat = 0;
    for (const std::string& token : words(line)) {
        const std::size_t slash = token.find('/');
        double units = 1;
        if (slash != std::string::npos) units = std::atof(token.c_str() + slash + 1);
        if (units <= 0) units = 1;
        const std::string name = token.substr(0, slash);
        const int midi = name == "-" ? -1 : noteNumber(name);
        if (midi >= 0) out.push_back({beat, units * unitBeats, midi});
        beat += units * unitBeats;
    }
    return out;
}

std::vector<int> chordTones(const std::string& symbol)
{
    std::size_t pos = 0;
    const int pc = pitchClass(symbol, pos);
    if (pc == NoPitch) return {};
    const std::string quality = symbol.substr(pos);
    std::vector<int> steps;
    if (quality.empty())
        steps = {0, 4, 7};
    else if (quality == "m")
        steps = {0, 3, 7};
    else if (quality == "7")
        steps = {0, 4, 7, 10};
    else if (quality == "m7")
        steps = {0, 3, 7, 10};
    else if (quality == "maj7")
        steps = {0, 4, 7, 11};
    else if (quality == "sus4")
        steps = {0, 5, 7};
    else
        return {};
    std::vector<int> out;
    const int root = 48 + ((pc + 12) % 12);
    for (int s : steps)
        out.push_back(root + s);
    return out;
}

}  // namespace assetgen
