#include "rank/ranking.h"

#include "rank/text_file.h"

#include "platform/files.h"

#include <climits>
#include <cstdio>
#include <string>
#include <utility>

namespace {

// Five stored rows plus the new entry, which the sort may lift upwards.
constexpr int WorkRows = RankPlaces + 1;

int nameLine(int place) { return 2 * (place - 1); }
int scoreLine(int place) { return 2 * place - 1; }

// A missing score line reads as an empty string and so as 0.
int readScore(const TextFileReader& file, int line)
{
    std::string text;
    file.line(text, line);
    return parseScore(text);
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// One bubble pass from the bottom up to row i. Only a strictly greater
// score moves up, so equal scores keep their order and a new entry stays
// below the older ones it ties with.
void sortPass(RankRow (&rows)[WorkRows], int i)
{
    for (int j = WorkRows - 1; j > i; --j) {
        if (rows[j].score > rows[j - 1].score) std::swap(rows[j], rows[j - 1]);
    }
}

// The one reader of the rank file's bytes on this thread. Every operation
// still reads the file anew; keeping the reader keeps its buffers, so the
// ranking view, which reads the file every frame, allocates nothing.
TextFileReader& rankReader()
{
    thread_local TextFileReader reader;
    return reader;
}

// The bytes of the table being saved, kept likewise.
std::string& saveBytes()
{
    thread_local std::string bytes;
    return bytes;
}

// Reads the rank file at path anew into the kept reader. A missing or
// unreadable file reads as an empty table, never as the previous read.
const TextFileReader& readRankFile(const std::string& path)
{
    TextFileReader& file = rankReader();
    if (!file.open(path)) file.openBytes(std::string());
    return file;
}

RankTable tableOf(const TextFileReader& file)
{
    RankTable table;
    for (int place = 1; place <= RankPlaces; ++place) {
        RankRow& row = table[place - 1];
        file.line(row.name, nameLine(place));  // a missing line keeps the empty name
        row.score = readScore(file, scoreLine(place));
    }
    return table;
}

}  // namespace

int parseScore(const std::string& line)
{
    std::size_t i = 0;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) {
        negative = line[i] == '-';
        ++i;
    }
    // Accumulate towards the sign's limit and stop there: atoi would
    // overflow, which is undefined; a hand-edited file must not do that.
    long long value = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
        value = value * 10 + (line[i] - '0');
        if (value >= limit) {
            value = limit;
            break;
        }
    }
    return static_cast<int>(negative ? -value : value);
}

bool rankQualifies(int score)
{
    const TextFileReader& file = readRankFile(RankFilePath);
    return score > readScore(file, scoreLine(RankPlaces));
}

bool rankEntry(int place, std::string& name, int& score)
{
    if (place < 1 || place > RankPlaces) return false;
    const TextFileReader& file = readRankFile(RankFilePath);
    file.line(name, nameLine(place));  // a missing line keeps the caller's name
    score = readScore(file, scoreLine(place));
    return true;
}

RankTable parseRankTable(const std::string& text)
{
    TextFileReader& file = rankReader();
    file.openBytes(text);
    return tableOf(file);
}

void insertRankEntry(RankTable& table, const std::string& name, int score)
{
    RankRow rows[WorkRows];
    for (int r = 0; r < RankPlaces; ++r)
        rows[r] = std::move(table[r]);
    rows[WorkRows - 1] = {name, score};

    for (int i = 0; i < WorkRows; ++i)
        sortPass(rows, i);

    for (int r = 0; r < RankPlaces; ++r)
        table[r] = std::move(rows[r]);
}

void formatRankTable(const RankTable& table, std::string& text)
{
    text.clear();
    char score[16];
    for (const RankRow& row : table) {
        text += row.name;
        text += "\r\n";
        text.append(score, static_cast<std::size_t>(std::snprintf(score, sizeof score, "%d", row.score)));
        text += "\r\n";
    }
}

std::string formatRankTable(const RankTable& table)
{
    std::string text;
    formatRankTable(table, text);
    return text;
}

bool saveRankEntry(const std::string& name, int score, std::string* reason)
{
    const auto fail = [reason](const std::string& why) {
        if (reason) *reason = why;
        return false;
    };
    if (name.find("\r\n") != std::string::npos || name.find('\0') != std::string::npos)
        return fail("the name holds a line break or a zero byte");

    // Locked from the read to the rename: another copy of the game saving
    // now waits, then reads the table with this entry in it.
    platform::LockedFile lock(RankFilePath);
    if (!lock.ok()) return fail(lock.reason());
    RankTable table = tableOf(readRankFile(lock.target()));
    insertRankEntry(table, name, score);
    std::string& bytes = saveBytes();
    formatRankTable(table, bytes);
    if (!lock.replace(bytes)) return fail(lock.reason());
    return true;
}

RankTable mergeRankTables(const RankTable& mine, const RankTable& base, RankTable theirs)
{
    std::array<bool, RankPlaces> inBase{};
    for (const RankRow& row : mine) {
        if (row.score <= 0) continue;
        bool known = false;
        for (int b = 0; b < RankPlaces && !known; ++b) {
            known = !inBase[b] && base[b].name == row.name && base[b].score == row.score;
            if (known) inBase[b] = true;
        }
        if (!known) insertRankEntry(theirs, row.name, row.score);
    }
    return theirs;
}

bool mergeRankFile(const std::string& theirs, const std::string& base, std::string* reason)
{
    platform::LockedFile lock(RankFilePath);
    if (!lock.ok()) {
        if (reason) *reason = lock.reason();
        return false;
    }
    // Read first: parsing the other two reuses this thread's reader.
    const RankTable mine = tableOf(readRankFile(lock.target()));
    const RankTable merged = mergeRankTables(mine, parseRankTable(base), parseRankTable(theirs));
    // The same table leaves the file as it is, bytes and all.
    if (formatRankTable(merged) == formatRankTable(mine)) return true;
    std::string& bytes = saveBytes();
    formatRankTable(merged, bytes);
    if (!lock.replace(bytes)) {
        if (reason) *reason = lock.reason();
        return false;
    }
    return true;
}

void reserveRankBuffers()
{
    // Far more than five names and scores take.
    constexpr std::size_t UsualFileBytes = 1024;
    rankReader().reserve(UsualFileBytes);
    saveBytes().reserve(UsualFileBytes);
}

char letterChar(int letterIndex)
{
    if (letterIndex < 0 || letterIndex > 25) return 'a';
    return static_cast<char>('a' + letterIndex);
}
