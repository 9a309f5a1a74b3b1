// tessaloom-replay: runs the game headless from recorded or seeded input.
//
//   tessaloom-replay play <input> [--assets DIR] [--dump DIR] [--dump-every N]
//                                 [--hashes] [--workdir DIR]
//   tessaloom-replay record --seed S [--games N] [--stop-scene ID]
//                                 [--output FILE] [--workdir DIR]
//   tessaloom-replay soak [--games N] [--seed S] [--per-session N]
//                         [--jitter P] [--present-every N] [--failures DIR]
//                         [--assets DIR] [--verbose] [--workdir DIR]
//
// Without --workdir each command runs in a fresh temporary folder (the rank
// file lives under the working directory) that is removed afterwards.
#include "tools/replay/input_script.h"
#include "tools/replay/runner.h"
#include "tools/replay/soak.h"
#include "tools/support/scratch_dir.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace replay;

int usage()
{
    std::fprintf(stderr,
                 "usage: tessaloom-replay play <input> [--assets DIR] [--dump DIR] [--dump-every N]\n"
                 "                                    [--hashes] [--workdir DIR]\n"
                 "       tessaloom-replay record --seed S [--games N] [--stop-scene ID]\n"
                 "                                    [--output FILE] [--workdir DIR]\n"
                 "       tessaloom-replay soak [--games N] [--seed S] [--per-session N] [--jitter P]\n"
                 "                             [--present-every N] [--failures DIR] [--assets DIR]\n"
                 "                             [--verbose] [--workdir DIR]\n");
    return 2;
}

struct Args {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;
    bool ok = true;
};

// Options that take no value.
bool isFlag(const std::string& name) { return name == "--hashes" || name == "--verbose"; }

Args parseArgs(int argc, char** argv, int first)
{
    Args args;
    for (int i = first; i < argc; ++i) {
        const std::string a = argv[i];
        if (a.rfind("--", 0) != 0) {
            args.positional.push_back(a);
        } else if (isFlag(a)) {
            args.options[a] = "1";
        } else if (i + 1 < argc) {
            args.options[a] = argv[++i];
        } else {
            std::fprintf(stderr, "tessaloom-replay: %s needs a value\n", a.c_str());
            args.ok = false;
        }
    }
    return args;
}

bool number(const Args& args, const std::string& name, unsigned long long& out)
{
    const auto it = args.options.find(name);
    if (it == args.options.end()) return true;
    char* end = nullptr;
    out = std::strtoull(it->second.c_str(), &end, 10);
    if (it->second.empty() || *end != '\0') {
        std::fprintf(stderr, "tessaloom-replay: %s wants a number\n", name.c_str());
        return false;
    }
    return true;
}

std::string text(const Args& args, const std::string& name)
{
    const auto it = args.options.find(name);
    return it == args.options.end() ? std::string() : it->second;
}

std::string absolute(const std::string& path)
{
    if (path.empty()) return path;
    std::error_code ec;
    const std::filesystem::path p = std::filesystem::absolute(path, ec);
    return ec ? path : p.string();
}

// Enters --workdir, or a fresh temporary folder.
struct WorkingPlace {
    std::unique_ptr<support::ScratchDir> scratch;
    bool enter(const std::string& dir)
    {
        if (!dir.empty()) {
            std::error_code ec;
            std::filesystem::create_directories(dir, ec);
            std::filesystem::current_path(dir, ec);
            if (ec) std::fprintf(stderr, "tessaloom-replay: cannot enter %s\n", dir.c_str());
            return !ec;
        }
        scratch = std::make_unique<support::ScratchDir>("tessaloom-replay");
        if (scratch->enter()) return true;
        std::fprintf(stderr, "tessaloom-replay: no temporary folder\n");
        return false;
    }
};

int play(const Args& args)
{
    if (args.positional.size() != 1) return usage();
    InputScript script;
    std::string error;
    if (!loadInputScript(args.positional[0], script, error)) {
        std::fprintf(stderr, "tessaloom-replay: %s\n", error.c_str());
        return 1;
    }
    unsigned long long every = 1;
    if (!number(args, "--dump-every", every)) return 2;
    RunOptions options;
    options.session.assetDir = absolute(text(args, "--assets"));
    options.dumpDir = absolute(text(args, "--dump"));
    options.dumpEvery = static_cast<int>(every);
    options.hashFrames = args.options.count("--hashes") > 0;
    if (!options.dumpDir.empty()) std::filesystem::create_directories(options.dumpDir);

    WorkingPlace place;
    if (!place.enter(absolute(text(args, "--workdir")))) return 1;
    const RunResult result = runScript(script, options);
    std::printf("frames %d\nquit %s\n", result.frames, result.quit ? "yes" : "no");
    for (const headless::MessageBoxRecord& box : result.boxes)
        std::printf("message box [%s] %s\n", box.caption.c_str(), box.text.c_str());
    if (!options.dumpDir.empty()) std::printf("images %d\n", result.dumped);
    for (std::size_t i = 0; i < result.hashes.size(); ++i)
        std::printf("hash %zu %016llx\n", i, static_cast<unsigned long long>(result.hashes[i]));
    std::fputs(result.summary.c_str(), stdout);
    return result.dumpFailed ? 1 : 0;
}

int record(const Args& args)
{
    unsigned long long seed = 0;
    unsigned long long games = 1;
    unsigned long long stopScene = 1000;
    if (args.options.count("--seed") == 0) return usage();
    if (!number(args, "--seed", seed) || !number(args, "--games", games) ||
        !number(args, "--stop-scene", stopScene))
        return 2;
    const std::string output = absolute(text(args, "--output"));

    WorkingPlace place;
    if (!place.enter(absolute(text(args, "--workdir")))) return 1;
    SessionPlan plan;
    plan.seed = seed;
    plan.games = static_cast<int>(games);
    plan.jitterPercent = 0;
    bool started = false;
    const SessionOutcome outcome = playSession(plan, [&](const Game& game, int) {
        if (game.scene() == ScenePlay) started = true;
        return !(started && game.scene() == static_cast<int>(stopScene));
    });
    std::printf("frames %d\nquit %s\ngames %d\nname-entries %d\nranking-views %d\n"
                "max-chain %d\nbomb-steps %d\nmax-score %d\nmax-level %d\n",
                outcome.frames, outcome.quit ? "yes" : "no", outcome.counts.gamesStarted,
                outcome.counts.nameEntries, outcome.counts.rankingViews, outcome.maxChainSteps,
                outcome.bombSteps, outcome.maxScore, outcome.maxLevel);
    if (!outcome.fault.empty())
        std::printf("fault frame %d: %s\n", outcome.faultFrame, outcome.fault.c_str());
    if (!output.empty()) {
        std::string error;
        if (!saveInputScript(outcome.input, output, error)) {
            std::fprintf(stderr, "tessaloom-replay: %s\n", error.c_str());
            return 1;
        }
    }
    return outcome.fault.empty() ? 0 : 1;
}

int soak(const Args& args)
{
    unsigned long long games = 100, seed = 1, perSession = 3, jitter = 5, presentEvery = 0;
    if (!number(args, "--games", games) || !number(args, "--seed", seed) ||
        !number(args, "--per-session", perSession) || !number(args, "--jitter", jitter) ||
        !number(args, "--present-every", presentEvery))
        return 2;
    SoakOptions options;
    options.games = static_cast<int>(games);
    options.seed = seed;
    options.maxGamesPerSession = static_cast<int>(perSession);
    options.jitterPercent = static_cast<int>(jitter);
    options.presentEvery = static_cast<int>(presentEvery);
    options.failureDir = absolute(text(args, "--failures"));
    options.assetDir = absolute(text(args, "--assets"));
    options.verbose = args.options.count("--verbose") > 0;
    if (!options.failureDir.empty()) std::filesystem::create_directories(options.failureDir);

    WorkingPlace place;
    if (!place.enter(absolute(text(args, "--workdir")))) return 1;
    const SoakResult r = runSoak(options);
    std::printf("sessions %d\ngames %d\nframes %lld\nseconds %.1f\nframes-per-second %.0f\n"
                "game-overs %d\nname-entries %d\nranking-views %d\nmax-chain %d\nbomb-steps %d\n"
                "max-score %d\nmax-level %d\nfailures %zu\n",
                r.sessions, r.games, r.frames, r.seconds, r.seconds > 0 ? r.frames / r.seconds : 0.0,
                r.gameOvers, r.nameEntries, r.rankingViews, r.maxChainSteps, r.bombSteps, r.maxScore,
                r.maxLevel, r.failures.size());
    for (const SoakFailure& f : r.failures)
        std::printf("failure seed %llu frame %d: %s%s%s\n", static_cast<unsigned long long>(f.sessionSeed),
                    f.frame, f.fault.c_str(), f.inputPath.empty() ? "" : " -> ", f.inputPath.c_str());
    return r.failures.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) return usage();
    const std::string command = argv[1];
    const Args args = parseArgs(argc, argv, 2);
    if (!args.ok) return 2;
    if (command == "play") return play(args);
    if (command == "record") return record(args);
    if (command == "soak") return soak(args);
    return usage();
}
