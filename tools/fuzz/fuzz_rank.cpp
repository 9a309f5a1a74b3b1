// libFuzzer target for the rank file: the input is written as "Data/Rank.ds"
// in a private working directory, then read line by line, place by place,
// asked whether a few scores qualify, and a new entry derived from the input
// is saved. Each result is checked against a small model written here
// independently (strtoll for the score lines, a stable sort for the table),
// and the saved file must be exactly the ten CR LF lines of that model.
#include "rank/ranking.h"
#include "rank/text_file.h"
#include "tools/support/scratch_dir.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

#define FUZZ_CHECK(cond)                                                            \
    do {                                                                            \
        if (!(cond)) {                                                              \
            std::fprintf(stderr, "fuzz_rank: check failed: %s (line %d)\n", #cond, \
                         __LINE__);                                                 \
            std::abort();                                                           \
        }                                                                           \
    } while (0)

// The working directory, removed on exit.
std::unique_ptr<support::ScratchDir> g_dir;

void writeRaw(const std::string& path, const std::string& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(f != nullptr);
    FUZZ_CHECK(bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size());
    FUZZ_CHECK(std::fclose(f) == 0);
}

// Whole file, without the reader's cap.
std::string readRaw(const std::string& path)
{
    std::string out;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    FUZZ_CHECK(f != nullptr);
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) out.append(buffer, n);
    std::fclose(f);
    return out;
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

struct Row {
    std::string name;
    int score;
};

std::vector<Row> modelTable(const std::vector<std::string>& lines)
{
    std::vector<Row> rows;
    for (int place = 1; place <= RankPlaces; ++place) {
        const std::size_t n = static_cast<std::size_t>(2 * (place - 1));
        rows.push_back(Row{n < lines.size() ? lines[n] : std::string(),
                           n + 1 < lines.size() ? modelScore(lines[n + 1]) : 0});
    }
    return rows;
}

void checkReader(const TextFileReader& file, const std::vector<std::string>& lines)
{
    const int count = file.lineCount();
    FUZZ_CHECK(count == static_cast<int>(lines.size()));
    std::string joined;
    for (int n = 0; n < count; ++n) {
        std::string out = "untouched";
        FUZZ_CHECK(file.line(out, n) == static_cast<int>(lines[n].size()));
        FUZZ_CHECK(out == lines[n]);
        FUZZ_CHECK(file.lineLength(n) == static_cast<int>(lines[n].size()));
        FUZZ_CHECK(file.lineStart(n) == static_cast<int>(joined.size()));
        joined += out;
        if (n + 1 < count) joined += "\r\n";
    }
    FUZZ_CHECK(joined == file.text());
    for (int n : {-1, INT_MIN, count, count + 1, INT_MAX}) {
        std::string out = "untouched";
        FUZZ_CHECK(file.line(out, n) == -1 && out == "untouched");
        FUZZ_CHECK(file.lineLength(n) == -1);
    }
    FUZZ_CHECK(file.lineStart(-1) == -1 && file.lineStart(count) == -1);
}

// The entry a save adds, taken from the input so the fuzzer explores ties,
// extreme scores and names that must be refused.
Row newEntryFrom(const std::uint8_t* data, std::size_t size, const std::vector<Row>& table)
{
    std::uint32_t h = 2166136261u;  // FNV-1a: every byte has a say
    for (std::size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 16777619u;
    Row row;
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
    const std::uint32_t n = (h >> 4) % 8;
    if (n < 5) {
        // The game's own names: three letters, some indices out of range.
        for (int i = 0; i < 3; ++i)
            row.name += letterChar(size > 0 ? data[(h + i) % size] % 30 - 2 : i);
    } else if (n == 5) {
        // Raw bytes of the input, up to 12, which may hold CR, LF or zero.
        const std::size_t from = size > 0 ? (h >> 8) % size : 0;
        row.name.assign(reinterpret_cast<const char*>(data) + from,
                        std::min<std::size_t>(12, size - from));
    } else if (n == 6) {
        row.name = std::string("a\r\nb");
    } else {
        row.name = std::string("a\0b", 3);
    }
    return row;
}

void checkSave(const std::vector<Row>& table, const Row& entry, const std::string& before)
{
    const bool breaksLines = entry.name.find("\r\n") != std::string::npos ||
                             entry.name.find('\0') != std::string::npos;
    const bool saved = saveRankEntry(entry.name, entry.score);
    FUZZ_CHECK(saved == !breaksLines);
    if (!saved) {
        FUZZ_CHECK(readRaw(RankFilePath) == before);
        return;
    }

    std::vector<Row> rows = table;
    rows.push_back(entry);
    // Stable: the new entry stays below older equal scores.
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Row& a, const Row& b) { return a.score > b.score; });
    rows.pop_back();
    std::string want;
    for (const Row& r : rows) want += r.name + "\r\n" + std::to_string(r.score) + "\r\n";
    const std::string after = readRaw(RankFilePath);
    FUZZ_CHECK(after == want);

    // The replacement leaves nothing but the rank file in Data.
    DIR* d = ::opendir("Data");
    FUZZ_CHECK(d != nullptr);
    int entries = 0;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        FUZZ_CHECK(name == "Rank.ds");
        ++entries;
    }
    ::closedir(d);
    FUZZ_CHECK(entries == 1);

    // Read back through the game's own path: ten CR LF lines, sorted, names
    // as saved. (A table longer than the reader's cap is cut on reading.)
    if (after.size() > TextFileReader::MaxBytes) return;
    TextFileReader again;
    FUZZ_CHECK(again.open(RankFilePath));
    FUZZ_CHECK(again.lineCount() == 11 && again.lineLength(10) == 0);
    int previous = INT_MAX;
    for (int place = 1; place <= RankPlaces; ++place) {
        std::string name;
        int score = 0;
        FUZZ_CHECK(rankEntry(place, name, score));
        FUZZ_CHECK(name == rows[place - 1].name && score == rows[place - 1].score);
        FUZZ_CHECK(score <= previous);
        previous = score;
    }
}


// The target works in its own directory, but libFuzzer takes its paths
// from the command line relative to where it was started. So before
// libFuzzer reads its arguments (it does so after this call), corpus and
// input paths and the path flags are made absolute, and crash files go to
// the starting directory unless told otherwise.
std::vector<std::string> g_args;
std::vector<char*> g_argv;

void makePathsAbsolute(int* argc, char*** argv)
{
    char cwd[4096];
    FUZZ_CHECK(::getcwd(cwd, sizeof cwd) != nullptr);
    const std::string here = cwd;
    auto absolute = [&here](const std::string& p) {
        return p.empty() || p[0] == '/' ? p : here + "/" + p;
    };
    static const char* const pathFlags[] = {"-artifact_prefix=", "-exact_artifact_path=",
                                            "-dict=", "-features_dir="};
    bool hasPrefix = false;
    for (int i = 0; i < *argc; ++i) {
        std::string a = (*argv)[i];
        if (i > 0 && !a.empty() && a[0] != '-') {
            a = absolute(a);
        } else {
            for (const char* flag : pathFlags) {
                const std::size_t n = std::strlen(flag);
                if (a.compare(0, n, flag) == 0) {
                    a = flag + absolute(a.substr(n));
                    hasPrefix = hasPrefix || flag == pathFlags[0];
                }
            }
        }
        g_args.push_back(a);
    }
    if (!hasPrefix) g_args.push_back("-artifact_prefix=" + here + "/");
    for (std::string& a : g_args) g_argv.push_back(&a[0]);
    g_argv.push_back(nullptr);
    *argc = static_cast<int>(g_args.size());
    *argv = g_argv.data();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    makePathsAbsolute(argc, argv);
    const char* base = std::getenv("TESSALOOM_FUZZ_DIR");
    g_dir = std::make_unique<support::ScratchDir>("tessaloom-rank", base != nullptr ? base : "/dev/shm");
    if (!g_dir->ok()) g_dir = std::make_unique<support::ScratchDir>("tessaloom-rank");
    FUZZ_CHECK(g_dir->enter());
    FUZZ_CHECK(::mkdir("Data", 0755) == 0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    writeRaw(RankFilePath, input);

    // What the game sees: the bytes before the first zero, up to the cap.
    const std::string text =
        input.substr(0, std::min(input.find('\0'), TextFileReader::MaxBytes));
    const std::vector<std::string> lines = splitLines(text);

    TextFileReader file;
    FUZZ_CHECK(file.open(RankFilePath));
    FUZZ_CHECK(file.text() == text);
    checkReader(file, lines);

    const std::vector<Row> table = modelTable(lines);
    for (int place = 1; place <= RankPlaces; ++place) {
        std::string name = "keep";
        int score = -7;
        FUZZ_CHECK(rankEntry(place, name, score));
        const std::size_t n = static_cast<std::size_t>(2 * (place - 1));
        FUZZ_CHECK(name == (n < lines.size() ? table[place - 1].name : "keep"));
        FUZZ_CHECK(score == table[place - 1].score);
        if (n + 1 < lines.size()) FUZZ_CHECK(parseScore(lines[n + 1]) == score);
    }
    for (int place : {0, 6, -1, INT_MIN}) {
        std::string name = "keep";
        int score = -7;
        FUZZ_CHECK(!rankEntry(place, name, score) && name == "keep" && score == -7);
    }

    const int fifth = table.back().score;
    for (int score : {fifth, fifth == INT_MAX ? INT_MIN : fifth + 1, 0, INT_MAX})
        FUZZ_CHECK(rankQualifies(score) == (score > fifth));

    checkSave(table, newEntryFrom(data, size, table), input);
    return 0;
}
