// libFuzzer target for the rank table in memory: the input is a rank file's
// bytes. Parsing must give what a model written here gives (CR LF lines of
// the text before the first zero byte and within the reader's cap, names as
// they are, scores by strtoll saturated to int); formatting must give the
// ten CR LF lines and read back to the same table; inserting an entry
// derived from the input must give a stable descending sort of the old rows
// and the entry, cut to five. No file is touched (fuzz_rank_file does that).
#include "rank/ranking.h"
#include "rank/text_file.h"
#include "tools/fuzz/fuzz_support.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// What the reader makes of a file's bytes: those before the first zero
// byte, up to its cap.
std::string readerText(const std::string& bytes)
{
    return bytes.substr(0, std::min(bytes.find('\0'), TextFileReader::MaxBytes));
}

// The lines of a text, split at CR LF pairs only.
std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            lines.emplace_back();
            ++i;
        } else {
            lines.back() += text[i];
        }
    }
    return lines;
}

// atoi's reading, saturated to int, by way of the C library.
int modelScore(const std::string& line)
{
    const long long v = std::strtoll(line.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

std::vector<RankRow> modelTable(const std::string& bytes)
{
    const std::vector<std::string> lines = splitLines(readerText(bytes));
    std::vector<RankRow> rows;
    for (std::size_t n = 0; n < 2 * RankPlaces; n += 2)
        rows.push_back(RankRow{n < lines.size() ? lines[n] : std::string(),
                               n + 1 < lines.size() ? modelScore(lines[n + 1]) : 0});
    return rows;
}

bool sameRows(const RankTable& table, const std::vector<RankRow>& rows)
{
    for (int i = 0; i < RankPlaces; ++i)
        if (table[i].name != rows[i].name || table[i].score != rows[i].score) return false;
    return true;
}

bool descending(const RankTable& table)
{
    for (int i = 1; i < RankPlaces; ++i)
        if (table[i - 1].score < table[i].score) return false;
    return true;
}

// The entry to insert, taken from the input so the fuzzer explores ties,
// extreme scores and names of every kind (CR LF and zero bytes included:
// the table in memory does not judge names, only a save does).
RankRow newEntryFrom(const std::uint8_t* data, std::size_t size, const RankTable& table)
{
    std::uint32_t h = 2166136261u;  // FNV-1a: every byte has a say
    for (std::size_t i = 0; i < size; ++i)
        h = (h ^ data[i]) * 16777619u;
    RankRow row;
    const int fifth = table.back().score;
    switch (h % 9) {
    case 0: row.score = 0; break;
    case 1: row.score = fifth; break;
    case 2: row.score = fifth == INT_MAX ? fifth : fifth + 1; break;
    case 3: row.score = table.front().score; break;
    case 4: row.score = INT_MAX; break;
    case 5: row.score = INT_MIN; break;
    case 6: row.score = -1; break;
    case 7: row.score = 9999999; break;
    default: row.score = static_cast<int>(h >> 8) - (1 << 23); break;
    }
    if ((h >> 4) % 2 == 0) {
        for (int i = 0; i < 3; ++i)
            row.name += letterChar(size > 0 ? data[(h + i) % size] % 30 - 2 : i);
    } else {
        const std::size_t from = size > 0 ? (h >> 8) % size : 0;
        row.name.assign(reinterpret_cast<const char*>(data) + from, std::min<std::size_t>(12, size - from));
    }
    return row;
}

void checkInsert(const RankTable& table, const RankRow& entry)
{
    RankTable after = table;
    insertRankEntry(after, entry.name, entry.score);

    // What the game has always written: the old rows and the new one in a
    // stable descending sort (the new one last among equals), cut to five.
    std::vector<RankRow> rows(table.begin(), table.end());
    rows.push_back(entry);
    std::stable_sort(rows.begin(), rows.end(),
                     [](const RankRow& a, const RankRow& b) { return a.score > b.score; });
    FUZZ_CHECK(sameRows(after, rows));

    if (!descending(table)) return;
    FUZZ_CHECK(descending(after));
    // The new entry sits below every old row whose score is at least its own.
    const int higher = static_cast<int>(
        std::count_if(table.begin(), table.end(), [&](const RankRow& r) { return r.score >= entry.score; }));
    for (int i = 0; i < std::min(higher, RankPlaces); ++i)
        FUZZ_CHECK(after[i].name == table[i].name && after[i].score == table[i].score);
    if (higher < RankPlaces)
        FUZZ_CHECK(after[higher].name == entry.name && after[higher].score == entry.score);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const RankTable table = parseRankTable(input);
    FUZZ_CHECK(sameRows(table, modelTable(input)));

    std::string want;
    for (const RankRow& r : table)
        want += r.name + "\r\n" + std::to_string(r.score) + "\r\n";
    const std::string text = formatRankTable(table);
    FUZZ_CHECK(text == want);
    // A parsed table holds no CR LF and no zero byte in its names, so its
    // file reads back as the same table, and formats to the same bytes.
    if (text.size() <= TextFileReader::MaxBytes) {
        const RankTable again = parseRankTable(text);
        FUZZ_CHECK(sameRows(again, std::vector<RankRow>(table.begin(), table.end())));
        FUZZ_CHECK(formatRankTable(again) == text);
    }

    checkInsert(table, newEntryFrom(data, size, table));
    return 0;
}
