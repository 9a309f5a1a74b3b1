#include "tools/replay/soak.h"

#include "tools/replay/invariants.h"

#include "rank/ranking.h"

#include <chrono>
#include <cstdio>

namespace replay {

namespace {

constexpr std::uint32_t FrameMs = 33;

// A frame's clock step: mostly 33 ms; sometimes a little early or late, and
// rarely a stall of a second or more (a busy machine, a dragged window).
std::uint32_t frameStep(SeededRandom& random, int jitterPercent)
{
    if (!random.chance(jitterPercent)) return FrameMs;
    if (random.chance(2)) return 1000 + static_cast<std::uint32_t>(random.below(3000));
    return 20 + static_cast<std::uint32_t>(random.below(60));
}

bool groupsHoldBomb(const PuzzleField& field)
{
    for (const ClearGroup& group : field.groups())
        for (const ClearBlock& block : group)
            if (block.colour() == Bomb) return true;
    return false;
}

}  // namespace

std::uint64_t sessionSeed(std::uint64_t seed, int index)
{
    SeededRandom mix(seed * 0x2545f4914f6cdd1dull + static_cast<std::uint64_t>(index));
    return mix.next();
}

SessionOutcome playSession(const SessionPlan& plan, const FrameObserver& observer)
{
    SessionOutcome outcome;
    outcome.input.startMs = plan.startMs;
    outcome.input.stepMs = FrameMs;

    // The player first: see RandomPlayer::pairView_.
    RandomPlayer player(plan.seed, plan.games);
    SeededRandom clock(plan.seed ^ 0x5eed5eed5eed5eedull);
    SessionOptions options;
    options.assetDir = plan.assetDir;
    options.startMs = plan.startMs;
    options.presentEvery = plan.presentEvery;
    Session session(options);
    InvariantChecker checker;

    std::vector<InputEvent> events;
    int lastScene = session.game().scene();
    int lastSteps = 0;
    for (int frame = 0; frame < plan.maxFrames && session.running(); ++frame) {
        events.clear();
        player.decide(session.game(), frame, events);
        const std::uint32_t step = frameStep(clock, plan.jitterPercent);
        if (step != FrameMs && frame > 0)
            events.push_back(InputEvent{frame, EventKind::Clock, platform::Key::Z, step});
        for (const InputEvent& ev : events) {
            applyKeyEvent(ev);
            outcome.input.events.push_back(ev);
        }
        session.runFrame(step);
        outcome.frames = frame + 1;

        const Game& game = session.game();
        std::string fault = checker.check(game);
        // Only a scene change writes the rank file (the name is confirmed
        // on the way to the title), so reading it then sees every version.
        if (fault.empty() && game.scene() != lastScene) fault = InvariantChecker::checkRankFile();
        if (game.scene() == SceneGameOver && lastScene != SceneGameOver) ++outcome.gameOvers;
        lastScene = game.scene();

        int steps = 0;
        int cleared = 0;
        game.field().chainState(steps, cleared);
        if (steps > lastSteps && game.phase() == PhaseClearing && groupsHoldBomb(game.field()))
            ++outcome.bombSteps;
        lastSteps = steps;
        if (steps > outcome.maxChainSteps) outcome.maxChainSteps = steps;
        if (game.field().score() > outcome.maxScore) outcome.maxScore = game.field().score();
        if (game.field().level() > outcome.maxLevel) outcome.maxLevel = game.field().level();

        if (!fault.empty()) {
            outcome.fault = fault;
            outcome.faultFrame = frame;
            break;
        }
        if (observer && !observer(game, frame)) break;
    }
    outcome.input.frames = outcome.frames;
    outcome.quit = !session.running();
    if (outcome.fault.empty() && !outcome.quit && outcome.frames >= plan.maxFrames)
        outcome.fault = "session still running after " + std::to_string(plan.maxFrames) + " frames";
    outcome.counts = player.counts();
    return outcome;
}

SoakResult runSoak(const SoakOptions& options)
{
    const auto begin = std::chrono::steady_clock::now();
    SoakResult result;
    SeededRandom plans(options.seed);
    for (int index = 0; result.games < options.games; ++index) {
        SessionPlan plan;
        plan.seed = sessionSeed(options.seed, index);
        const int left = options.games - result.games;
        const int most = options.maxGamesPerSession < 1 ? 1 : options.maxGamesPerSession;
        plan.games = 1 + plans.below(left < most ? left : most);
        plan.jitterPercent = options.jitterPercent;
        plan.presentEvery = options.presentEvery;
        plan.assetDir = options.assetDir;
        // One game's worth more for the title, the menus and the banners.
        plan.maxFrames = options.maxFramesPerGame * (plan.games + 1);
        // Some sessions start just before the 32-bit clock wraps, so every
        // time gate has to hold across it.
        plan.startMs = plans.chance(options.wrapPercent)
                           ? 0xffffffffu - static_cast<std::uint32_t>(plans.below(60000))
                           : 1 + static_cast<std::uint32_t>(plans.below(100000));

        // Now and then a first run on a machine: an empty table, so name
        // entries keep coming once the table has filled with high scores.
        if (plans.chance(options.freshRankPercent)) std::remove(RankFilePath);

        const SessionOutcome outcome = playSession(plan);
        ++result.sessions;
        // A session that fails before its games are all started still counts
        // the planned ones, so the soak always ends.
        result.games += outcome.counts.gamesStarted > plan.games ? outcome.counts.gamesStarted : plan.games;
        result.frames += outcome.frames;
        result.rankingViews += outcome.counts.rankingViews;
        result.nameEntries += outcome.counts.nameEntries;
        result.gameOvers += outcome.gameOvers;
        result.bombSteps += outcome.bombSteps;
        if (outcome.maxChainSteps > result.maxChainSteps) result.maxChainSteps = outcome.maxChainSteps;
        if (outcome.maxScore > result.maxScore) result.maxScore = outcome.maxScore;
        if (outcome.maxLevel > result.maxLevel) result.maxLevel = outcome.maxLevel;

        if (!outcome.fault.empty()) {
            SoakFailure failure;
            failure.sessionSeed = plan.seed;
            failure.frame = outcome.faultFrame;
            failure.fault = outcome.fault;
            if (!options.failureDir.empty()) {
                const std::string path = options.failureDir + "/soak-" + std::to_string(plan.seed) + ".input";
                std::string error;
                if (saveInputScript(outcome.input, path, error)) failure.inputPath = path;
            }
            result.failures.push_back(failure);
        }
        if (options.verbose) {
            std::fprintf(stderr, "session %d seed %llu games %d frames %d chain %d%s%s\n", index,
                         static_cast<unsigned long long>(plan.seed), outcome.counts.gamesStarted,
                         outcome.frames, outcome.maxChainSteps,
                         outcome.fault.empty() ? "" : " FAULT: ", outcome.fault.c_str());
        }
    }
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    return result;
}

}  // namespace replay
