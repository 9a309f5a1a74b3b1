// Writing music down: note names, melody lines and chord symbols.
#pragma once

#include <string>
#include <vector>

namespace assetgen {

// MIDI number of a note name such as "C4" (60), "F#5", "Bb3"; -1 if malformed.
int noteNumber(const std::string& name);

struct LineNote {
    double beat;   // from the start of the line
    double beats;  // length
    int midi;
};

// A melody line: tokens "NOTE/units" or "-/units" (a rest), separated by
// spaces, each unit being unitBeats long. Malformed tokens are skipped as
// rests of their length (or of one unit).
std::vector<LineNote> parseLine(const std::string& line, double unitBeats);

// Chord tones of a symbol such as "C", "Am", "G7", "Bb", "F#m", "Dm7",
// "Cmaj7": MIDI numbers of the root (in octave 3, C3 = 48 ..) and the tones
// above it, ascending. Empty when malformed.
std::vector<int> chordTones(const std::string& symbol);

// Splits on spaces.
std::vector<std::string> words(const std::string& text);

}  // namespace assetgen
