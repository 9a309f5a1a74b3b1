// The five-place ranking. The table lives only in the rank file: every
// operation reads the file anew, so a hand edit takes effect at the next read.
//
// Rank file: ten CR LF terminated lines, two per place, best place first:
// line 2(p - 1) is the name of place p, line 2p - 1 its score.
#pragma once

#include <array>
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

// One place of the table.
struct RankRow {
    std::string name;
    int score = 0;
};
using RankTable = std::array<RankRow, RankPlaces>;

// The table a rank file's bytes give: names as their lines hold them, scores
// read by parseScore; a missing name line gives an empty name, a missing
// score line 0. No file access: bytes are taken as TextFileReader takes a
// file's content.
RankTable parseRankTable(const std::string& text);

// Inserts name with score below every row with a score at least as high and
// drops the row that falls off the bottom. Equal scores keep their order.
void insertRankEntry(RankTable& table, const std::string& name, int score);

// The rank file's bytes for table: per place the name, CR LF, the score in
// canonical decimal, CR LF.
std::string formatRankTable(const RankTable& table);
// The same into text, reusing its storage.
void formatRankTable(const RankTable& table, std::string& text);

// Inserts name with score into the table of the rank file and rewrites it
// (creating "Data" if it is missing), holding the file's lock across the
// read, the insert and the write, so two copies of the game saving at once
// both get their entries in. Does not test qualification. Old names are
// written back byte for byte, scores in canonical decimal. A rank file that
// is a link to a regular file is saved through. False, with reason (when
// given) saying why, when the file could not be replaced (it is then
// unchanged) or when name holds CR LF or a zero byte, which would break the
// line structure.
bool saveRankEntry(const std::string& name, int score, std::string* reason = nullptr);

// The table after saves made elsewhere from a stale copy: a copy of the game
// that loaded base and since saved mine finds theirs stored. The rows mine
// gained over base (counted as often as they occur) are inserted into
// theirs, so neither side's new scores are lost. Rows without a score are
// never entries and are left out.
RankTable mergeRankTables(const RankTable& mine, const RankTable& base, RankTable theirs);

// Merges into the rank file (under its lock) what mergeRankTables gives for
// the stored table theirs and the base, both as rank file bytes; rewrites
// the file only when that changes it. False, with reason, when the file
// could not be replaced.
bool mergeRankFile(const std::string& theirs, const std::string& base, std::string* reason = nullptr);

// Sizes this thread's buffers for reading and saving the rank file, so that
// later reads and saves of a file of ordinary size allocate nothing: the
// ranking view reads the file every frame. Called once at start-up.
void reserveRankBuffers();

// The file character of a name letter: 0..25 give 'a'..'z', anything else 'a'.
char letterChar(int letterIndex);
