// What the screens add to tell the player what happened, seen in the frames
// of recorded games: the chain label from the second step on, LEVEL UP when
// the level rises, the name entry's ribbon and panel (never on a plain game
// over), "PRESS Z" only while Z is read, and frames that stay as they were
// everywhere outside the overlays. Each overlay test picture is one colour,
// so a pixel tells which overlay was drawn there.
#include "field/block.h"
#include "render/overlay_layout.h"
#include "tests/replay/replay_test_support.h"
#include "tools/replay/runner.h"
#include "tools/support/scratch_dir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace replay;
using namespace replaytest;
using namespace support;

namespace {

constexpr std::uint32_t LetterSheetBase = 0x3050a0u;
constexpr std::uint32_t CursorColour = 0xe8e800u;

struct Box {
    int left = 0, top = 0, right = 640, bottom = 480;  // right and bottom exclusive
};

// Where a colour shows within an area of the frame.
struct Found {
    Box box{640, 480, -1, -1};
    int count = 0;
};

Found findColour(const headless::Frame& frame, std::uint32_t colour, Box area = Box{})
{
    Found f;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            if (frameColour(frame, x, y) != colour) continue;
            ++f.count;
            f.box.left = std::min(f.box.left, x);
            f.box.top = std::min(f.box.top, y);
            f.box.right = std::max(f.box.right, x + 1);
            f.box.bottom = std::max(f.box.bottom, y + 1);
        }
    return f;
}

// The chain glyphs along one row of the frame, read left to right.
std::string chainTextAlong(const headless::Frame& frame, int y)
{
    std::string text;
    int run = 0;
    int glyph = -1;
    const auto flush = [&] {
        for (int k = 0; k < run / overlay::ChainGlyphWidth; ++k)
            text += glyph == 10 ? '+' : char('0' + glyph);
    };
    for (int x = 0; x < 640; ++x) {
        int here = -1;
        for (int i = 0; i < overlay::ChainGlyphCount; ++i)
            if (frameColour(frame, x, y) == chainGlyphColour(i)) here = i;
        if (here != glyph) {
            if (glyph >= 0) flush();
            glyph = here;
            run = 0;
        }
        ++run;
    }
    if (glyph >= 0) flush();
    return text;
}

// A scratch folder holding the test pictures, with or without the overlays.
struct Assets {
    ScratchDir work;
    std::string dir;

    explicit Assets(bool overlays)
    {
        EXPECT_TRUE(work.enter());
        dir = work.path() + "/assets";
        writeTestPictures(dir);
        writeBandedBmp(dir + "/Graphics/String.bmp", 624, 34, 24,
                       [](int i) { return LetterSheetBase + 4u * static_cast<std::uint32_t>(i); });
        writeBandedBmp(dir + "/Graphics/ScoreCursol.bmp", 24, 5, 24, [](int) { return CursorColour; });
        if (overlays) writeOverlayTestPictures(dir);
    }
};

RunResult replayWith(const InputScript& script, const Assets& assets, const FrameObserver& observer)
{
    RunOptions options;
    options.session.assetDir = assets.dir;
    return runScript(script, options, observer);
}

int chainSteps(const Game& game)
{
    int steps = 0, cleared = 0;
    game.field().chainState(steps, cleared);
    return steps;
}

// The recording with `extra` frames more at its end, Z tapped every other
// frame from frame `from` on.
InputScript withZTaps(InputScript script, int from, int extra)
{
    const int end = script.frames + extra;
    for (int f = from; f + 1 < end; f += 2) {
        script.events.push_back({f, EventKind::Press, platform::Key::Z, 0});
        script.events.push_back({f + 1, EventKind::Release, platform::Key::Z, 0});
    }
    script.frames = end;
    return script;
}

const Box Well{FieldLeft, FieldTop, FieldLeft + 256, FieldTop + 384};
// Both places of the badge, and what lies between them.
const Box LevelBadge{overlay::LevelUpX, overlay::LevelUpUpperY, overlay::LevelUpX + overlay::LevelUpWidth,
                     overlay::LevelUpLowerY + overlay::LevelUpHeight};

}  // namespace

TEST(FeedbackFrames, ChainLabelShowsFromTheSecondStepOnWithItsPoints)
{
    Assets assets(true);
    int lastSteps = 0, lastScore = 0, lastFade = 255;
    int stepPoints = 0;
    int labelled = 0, plain = 0;
    replayWith(loadRecording("chain.input"), assets, [&](const Game& game, int frame) {
        const int steps = chainSteps(game);
        const int score = game.field().score();
        if (steps != lastSteps && steps > 0) stepPoints = score - lastScore;
        // The first picture of each clear step: its fade has just begun.
        const bool firstFade = game.phase() == PhaseClearing && lastFade == 255 &&
                               ClearBlock::fadeLevel() < 255;
        if (firstFade) {
            const headless::Frame& shot = headless::lastFrame();
            const Found word = findColour(shot, ChainWordColour);
            if (steps >= 2) {
                ++labelled;
                EXPECT_EQ(word.count, overlay::ChainWordWidth * overlay::ChainGlyphHeight)
                    << "frame " << frame;
                EXPECT_GE(word.box.left, Well.left);
                EXPECT_LE(word.box.right, Well.right);
                EXPECT_GE(word.box.top, Well.top);
                EXPECT_LE(word.box.bottom + overlay::ChainLineGap + overlay::ChainGlyphHeight, Well.bottom);
                EXPECT_EQ(chainTextAlong(shot, word.box.top + 12), std::to_string(steps))
                    << "frame " << frame;
                const int pointsRow = word.box.top + overlay::ChainGlyphHeight + overlay::ChainLineGap + 12;
                EXPECT_EQ(chainTextAlong(shot, pointsRow), "+" + std::to_string(stepPoints))
                    << "frame " << frame;
            } else {
                ++plain;
                EXPECT_EQ(word.count, 0) << "a one-step clear is labelled, frame " << frame;
                EXPECT_EQ(chainTextAlong(shot, 240), "") << "frame " << frame;
            }
        }
        lastSteps = steps;
        lastScore = score;
        lastFade = ClearBlock::fadeLevel();
        return true;
    });
    EXPECT_GE(labelled, 2);  // the recording's chain has three steps
    EXPECT_GE(plain, 3);
}

TEST(FeedbackFrames, LevelUpShowsWhenTheLevelRisesAndOnlyThen)
{
    Assets assets(true);
    int lastLevel = 0;
    bool risen = false;
    bool awaitingFirstPicture = false;
    Millis riseAt = 0;
    int rises = 0, shown = 0;
    replayWith(loadRecording("chain.input"), assets, [&](const Game& game, int frame) {
        const int level = game.field().level();
        const Found badge = findColour(headless::lastFrame(), LevelUpColour, LevelBadge);
        if (level > lastLevel) {
            ++rises;
            risen = true;
            awaitingFirstPicture = true;
            riseAt = game.now();
        } else if (awaitingFirstPicture && game.phase() == PhaseClearing && ClearBlock::fadeLevel() < 255) {
            // The first picture after the rise: the clear that raised it.
            EXPECT_EQ(badge.count, overlay::LevelUpWidth * overlay::LevelUpHeight) << "frame " << frame;
            awaitingFirstPicture = false;
        }
        if (badge.count > 0) {
            ++shown;
            EXPECT_TRUE(risen) << "LEVEL UP before any rise, frame " << frame;
            EXPECT_LT(game.now() - riseAt, PlayFeedback::LevelUpMs + 100)
                << "LEVEL UP long after the rise, frame " << frame;
        }
        lastLevel = level;
        return true;
    });
    EXPECT_GE(rises, 3);  // the recording ends at level 3
    EXPECT_GT(shown, 0);
}

TEST(FeedbackFrames, NameEntryShowsItsRibbonPanelAndKeysAndAPlainGameOverDoesNot)
{
    Assets assets(true);
    const int letterY = 250, cursorY = 290;
    int entryFrames = 0, overFrames = 0;
    int lastScene = SceneTitle;
    replayWith(loadRecording("name_entry.input"), assets, [&](const Game& game, int frame) {
        const headless::Frame& shot = headless::lastFrame();
        // The frames drawn by the scene that ran (the scene may have changed
        // at its end).
        if (lastScene == SceneNameEntry && game.scene() == SceneNameEntry) {
            ++entryFrames;
            EXPECT_EQ(findColour(shot, NewRecordColour).count,
                      overlay::RecordRibbonWidth * overlay::RecordRibbonHeight)
                << "frame " << frame;
            EXPECT_EQ(frameColour(shot, overlay::NamePanelX + 4, overlay::NamePanelY + 4), NamePanelColour);
            EXPECT_EQ(frameColour(shot, 20, 100), NameKeysColour);
            // The letters and the cursor stand where they always stood, over
            // the panel and the frame.
            const int chosen = game.field().nameCursor();
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(frameColour(shot, 262 + 50 * i, letterY + 17),
                          LetterSheetBase + 4u * static_cast<std::uint32_t>(game.field().nameLetter(i)));
            EXPECT_EQ(frameColour(shot, 263 + 50 * chosen, cursorY + 2), CursorColour);
            EXPECT_EQ(frameColour(shot, 250 + 50 * chosen - 2, letterY + 17), NameFrameColour);
        }
        if (lastScene == SceneGameOver) {
            ++overFrames;
            EXPECT_EQ(findColour(shot, NewRecordColour).count, 0) << "frame " << frame;
            EXPECT_EQ(findColour(shot, NamePanelColour).count, 0) << "frame " << frame;
            EXPECT_EQ(frameColour(shot, 20, 100), PlayKeysColour);
        }
        lastScene = game.scene();
        return true;
    });
    EXPECT_GT(entryFrames, 10);
    EXPECT_GE(overFrames, 80);

    // A game over whose score does not enter the table: no ribbon, no
    // panel, the play keys, from the slide until Z.
    int plainFrames = 0;
    lastScene = SceneTitle;
    const InputScript topOut = loadRecording("top_out.input");
    replayWith(withZTaps(topOut, topOut.frames + 100, 120), assets, [&](const Game& game, int frame) {
        const headless::Frame& shot = headless::lastFrame();
        if (lastScene == SceneGameOver) {
            ++plainFrames;
            EXPECT_EQ(findColour(shot, NewRecordColour).count, 0) << "frame " << frame;
            EXPECT_EQ(findColour(shot, NamePanelColour).count, 0) << "frame " << frame;
            EXPECT_EQ(frameColour(shot, 20, 100), PlayKeysColour);
        }
        lastScene = game.scene();
        return true;
    });
    EXPECT_GT(plainFrames, 80);
}

TEST(FeedbackFrames, PressZShowsOnlyOnceZIsRead)
{
    // The top-out game (no points) ends on its last frame; Z is then tapped
    // every other frame through the banner's slide and after it.
    Assets assets(true);
    const InputScript topOut = loadRecording("top_out.input");
    int lastScene = ScenePlay;
    int overFrom = -1, firstPrompt = -1, leftAt = -1;
    replayWith(withZTaps(topOut, topOut.frames, 120), assets, [&](const Game& game, int frame) {
        if (lastScene == SceneGameOver) {
            if (overFrom < 0) overFrom = frame;
            const int patch = findColour(headless::lastFrame(), PromptPatchColour).count;
            const bool prompt = patch == 0;
            if (prompt && firstPrompt < 0) firstPrompt = frame;
            if (firstPrompt >= 0) {
                EXPECT_TRUE(prompt) << "PRESS Z hidden again, frame " << frame;
            } else {
                EXPECT_EQ(patch, overlay::PromptPatchWidth * overlay::PromptPatchHeight) << "frame " << frame;
            }
            if (game.scene() != SceneGameOver && leftAt < 0) leftAt = frame;
        }
        lastScene = game.scene();
        return true;
    });
    ASSERT_GE(overFrom, 0);
    ASSERT_GE(firstPrompt, 0);
    // The taps during the whole slide did nothing; the first tap the game
    // reads after "PRESS Z" appears takes it to the title.
    EXPECT_GE(firstPrompt - overFrom, PuzzleField::OverCountEnd);
    ASSERT_GE(leftAt, 0);
    EXPECT_GE(leftAt, firstPrompt);
    EXPECT_LE(leftAt, firstPrompt + 2);

    // A score that enters the table goes on to the name entry: its game
    // over never asks for Z.
    lastScene = SceneTitle;
    int overFrames = 0;
    replayWith(loadRecording("name_entry.input"), assets, [&](const Game& game, int frame) {
        if (lastScene == SceneGameOver) {
            ++overFrames;
            EXPECT_EQ(findColour(headless::lastFrame(), PromptPatchColour).count,
                      overlay::PromptPatchWidth * overlay::PromptPatchHeight)
                << "frame " << frame;
        }
        lastScene = game.scene();
        return true;
    });
    EXPECT_GE(overFrames, 80);
}

namespace {

// One hash per 16 x 16 tile of a frame.
constexpr int Tile = 16;
constexpr int TilesAcross = 640 / Tile;
constexpr int TilesDown = 480 / Tile;

std::vector<std::uint64_t> tileHashes(const headless::Frame& frame)
{
    std::vector<std::uint64_t> h(TilesAcross * TilesDown, 1469598103934665603ull);
    const std::uint8_t* p = frame.pixels.data();
    for (int row = 0; row < 480; ++row) {
        std::uint64_t* line = h.data() + ((479 - row) / Tile) * TilesAcross;
        for (int x = 0; x < 640; ++x, p += 3)
            line[x / Tile] = (line[x / Tile] ^ (p[0] | p[1] << 8 | p[2] << 16)) * 1099511628211ull;
    }
    return h;
}

bool overlaps(const Box& a, int tileX, int tileY)
{
    return a.left < (tileX + 1) * Tile && tileX * Tile < a.right && a.top < (tileY + 1) * Tile &&
           tileY * Tile < a.bottom;
}

}  // namespace

TEST(FeedbackFrames, OutsideTheOverlaysEveryFrameIsAsWithoutThem)
{
    // The same games with and without the overlay pictures (without them
    // the game draws as it did before they existed): every tile of every
    // frame that no overlay touches is the same.
    for (const char* name : {"chain.input", "name_entry.input"}) {
        const InputScript script = loadRecording(name);
        std::vector<std::vector<std::uint64_t>> plain;
        {
            Assets assets(false);
            replayWith(script, assets, [&](const Game&, int) {
                plain.push_back(tileHashes(headless::lastFrame()));
                return true;
            });
        }
        Assets assets(true);
        const Box keyPanel{overlay::KeyPanelX, overlay::KeyPanelY,
                           overlay::KeyPanelX + overlay::KeyPanelWidth,
                           overlay::KeyPanelY + overlay::KeyPanelHeight};
        Box label{0, 0, 0, 0};
        Millis labelAt = 0;
        int lastSteps = 0, compared = 0;
        replayWith(script, assets, [&](const Game& game, int frame) {
            const headless::Frame& shot = headless::lastFrame();
            const Box moreKeys{overlay::MoreKeysX, overlay::MoreKeysY,
                               overlay::MoreKeysX + overlay::MoreKeysWidth,
                               overlay::MoreKeysY + overlay::MoreKeysHeight};
            std::vector<Box> masks = {keyPanel, moreKeys};
            const Found badge = findColour(shot, LevelUpColour, LevelBadge);
            if (badge.count > 0) masks.push_back(badge.box);
            // Every overlay colour where it shows; the chain label, which
            // fades, from where it first showed until a second later.
            if (game.scene() == SceneGameOver || game.scene() == SceneNameEntry ||
                game.scene() == SceneTitle) {
                for (std::uint32_t c :
                     {PromptPatchColour, NewRecordColour, NamePanelColour, NameFrameColour, NameKeysColour}) {
                    const Found f = findColour(shot, c);
                    if (f.count > 0) masks.push_back(f.box);
                }
            }
            const int steps = chainSteps(game);
            const Found word = findColour(shot, ChainWordColour, Well);
            if (word.count == overlay::ChainWordWidth * overlay::ChainGlyphHeight) {
                label = Box{Well.left, word.box.top, Well.right,
                            word.box.top + 2 * overlay::ChainGlyphHeight + overlay::ChainLineGap};
                labelAt = game.now();
            }
            if (game.now() - labelAt <= 1000u) masks.push_back(label);
            if (steps != lastSteps && steps >= 2) masks.push_back(Well);  // the label's first frame
            lastSteps = steps;
            if (game.scene() == SceneNameEntry || game.scene() == SceneGameOver) {
                // Name entry's letter frame and panel sit under the letters.
                masks.push_back(Box{overlay::NamePanelX, overlay::NamePanelY,
                                    overlay::NamePanelX + overlay::NamePanelWidth,
                                    overlay::NamePanelY + overlay::NamePanelHeight});
            }
            const std::vector<std::uint64_t> tiles = tileHashes(shot);
            const std::vector<std::uint64_t>& before = plain[static_cast<std::size_t>(frame)];
            for (int ty = 0; ty < TilesDown; ++ty)
                for (int tx = 0; tx < TilesAcross; ++tx) {
                    bool masked = false;
                    for (const Box& m : masks)
                        masked = masked || overlaps(m, tx, ty);
                    if (masked) continue;
                    ++compared;
                    if (tiles[ty * TilesAcross + tx] != before[ty * TilesAcross + tx]) {
                        ADD_FAILURE() << name << " frame " << frame << " differs at tile " << tx * Tile
                                      << ", " << ty * Tile;
                        return false;
                    }
                }
            return true;
        });
        EXPECT_GT(compared, static_cast<int>(plain.size()) * 1000) << name;
    }
}
