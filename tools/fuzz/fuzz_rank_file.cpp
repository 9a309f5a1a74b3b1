// libFuzzer target for the rank file on disk: the input is written as
// "Data/Rank.ds" in a private working directory; reading each place,
// asking whether scores qualify and saving an entry must agree with the
// table in memory (parseRankTable, insertRankEntry, formatRankTable, which
// fuzz_rank checks against a model), and a save must leave nothing behind
// but the file and its lock. Small on purpose: every run costs a few
// opens, reads and flushes.
#include "rank/ranking.h"
#include "rank/text_file.h"
#include "tools/fuzz/fuzz_support.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// Whole file, without the reader's cap.
std::string readRaw(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    FUZZ_CHECK(f.good());
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// Only the rank file and its lock file may be in Data after a save.
void checkNothingLeftBehind()
{
    DIR* d = ::opendir("Data");
    FUZZ_CHECK(d != nullptr);
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        FUZZ_CHECK(name == "." || name == ".." || name == "Rank.ds" || name == ".Rank.ds.lock");
    }
    ::closedir(d);
}

// The target works in its own directory, but libFuzzer takes its paths
// from the command line relative to where it was started. So before
// libFuzzer reads its arguments (it does so after this call), corpus and
// input paths and the path flags are made absolute, and crash files go to
// the starting directory unless told otherwise. The move into the scratch
// directory waits for the first input: -merge, -fork and -jobs start the
// program again by the name it was started with, from where it was.
std::vector<std::string> g_args;
std::vector<char*> g_argv;

void makePathsAbsolute(int* argc, char*** argv)
{
    char cwd[4096];
    FUZZ_CHECK(::getcwd(cwd, sizeof cwd) != nullptr);
    const std::string here = cwd;
    auto absolute = [&here](const std::string& p) { return p.empty() || p[0] == '/' ? p : here + "/" + p; };
    static const char* const pathFlags[] = {
        "-artifact_prefix=", "-exact_artifact_path=", "-dict=", "-features_dir="};
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
    for (std::string& a : g_args)
        g_argv.push_back(&a[0]);
    g_argv.push_back(nullptr);
    *argc = static_cast<int>(g_args.size());
    *argv = g_argv.data();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    makePathsAbsolute(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool inScratchDir = [] {
        FUZZ_CHECK(::chdir(fuzz::makeScratchDir("rank").c_str()) == 0);
        FUZZ_CHECK(::mkdir("Data", 0755) == 0);
        return true;
    }();
    (void)inScratchDir;
    const std::string input(reinterpret_cast<const char*>(data), size);
    fuzz::writeFile(RankFilePath, data, size);
    const RankTable table = parseRankTable(input);

    // A missing name line leaves the caller's name as it was.
    TextFileReader file;
    FUZZ_CHECK(file.open(RankFilePath));
    for (int place = 1; place <= RankPlaces; ++place) {
        std::string name = "keep";
        int score = -7;
        FUZZ_CHECK(rankEntry(place, name, score));
        const bool hasName = 2 * (place - 1) < file.lineCount();
        FUZZ_CHECK(name == (hasName ? table[place - 1].name : "keep"));
        FUZZ_CHECK(score == table[place - 1].score);
    }
    const int fifth = table.back().score;
    for (int score : {fifth, fifth == INT_MAX ? INT_MIN : fifth + 1, 0, INT_MAX})
        FUZZ_CHECK(rankQualifies(score) == (score > fifth));

    // Save a name from the game's alphabet, or the input's own first bytes
    // (which may hold CR LF or a zero byte: refused, file unchanged).
    const int score = size > 0 ? static_cast<int>(data[0]) * 40000 - 5000000 : 1;
    const std::string name = size % 2 == 0 ? std::string("abc") : input.substr(0, 6);
    const bool breaksLines = name.find("\r\n") != std::string::npos || name.find('\0') != std::string::npos;
    FUZZ_CHECK(saveRankEntry(name, score) == !breaksLines);
    if (breaksLines) {
        FUZZ_CHECK(readRaw(RankFilePath) == input);
        return 0;
    }
    RankTable after = table;
    insertRankEntry(after, name, score);
    FUZZ_CHECK(readRaw(RankFilePath) == formatRankTable(after));
    checkNothingLeftBehind();
    return 0;
}
