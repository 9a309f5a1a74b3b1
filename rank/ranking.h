// The five-place ranking. The table lives only in the rank file: every
// operation reads the file anew, so a hand edit takes effect at the next read.
//
// Rank file: ten CR LF terminated lines, two per place, best place first:
// line 2(p - 1) is the name of place p, line 2p - 1 its score.
#pragma once

#include <string>

// Relative to the working directory (not the executable's directory).
constexpr const char* RankFilePath = "Data/Rank.ds";
constexpr int RankPlaces = 5;

// Reads a score line the way atoi does (leading blanks, optional sign,
// decimal digits up to the first other character, 0 when there are none),
// except that a value out of int range saturates to INT_MIN / INT_MAX.
int parseScore(const std::string& line);

// True when score may enter the table: strictly greater than the score of
// place 5 (0 when the file or that line is missing). So 0 never qualifies.
bool rankQualifies(int score);

// Reads place 1..5. Outside that range returns false and leaves both outputs
// untouched. Otherwise returns true; name is left untouched when its line is
// missing, score is 0 when its line is missing.
bool rankEntry(int place, std::string& name, int& score);

// Inserts name with score below every entry with a score at least as high,
// drops the sixth row and rewrites the rank file (creating "Data" if it is
// missing). Does not test qualification. Old names are written back byte for
// byte, scores in canonical decimal. False when the file could not be
// replaced (it is then unchanged) or when name holds CR LF or a zero byte,
// which would break the line structure.
bool saveRankEntry(const std::string& name, int score);

// The file character of a name letter: 0..25 give 'a'..'z', anything else 'a'.
char letterChar(int letterIndex);
