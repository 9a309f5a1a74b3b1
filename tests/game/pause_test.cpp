// The pause: P or Esc during the banner and the play, or a lost focus,
// stops the game's clock, holds the sounds and hides the well; on resume
// every gate goes on as if no time had passed.
#include "tests/play/play_fixture.h"

#include <algorithm>
#include <functional>
#include <ostream>
#include <vector>

using platform::Key;

namespace {


// What the gates move, as one frame leaves it. Colours of pairs still to
// come are left out: they are seeded from the machine's clock.
struct Look {
    int scene, phase;
    int column0, halfRow0, column1, halfRow1;
    int fadeLevel, dropOffset, drops, curtain;
    unsigned cells;  // a digest of the grid
    int effects;
    bool operator==(const Look& o) const
    {
        return scene == o.scene && phase == o.phase && column0 == o.column0 && halfRow0 == o.halfRow0 &&
               column1 == o.column1 && halfRow1 == o.halfRow1 && fadeLevel == o.fadeLevel &&
               dropOffset == o.dropOffset && drops == o.drops && curtain == o.curtain && cells == o.cells &&
               effects == o.effects;
    }
    bool operator!=(const Look& o) const { return !(*this == o); }
};

std::ostream& operator<<(std::ostream& os, const Look& l)
{
    return os << "scene " << l.scene << " phase " << l.phase << " pair (" << l.column0 << "," << l.halfRow0
              << ")(" << l.column1 << "," << l.halfRow1 << ") fade " << l.fadeLevel << " drop "
              << l.dropOffset << "/" << l.drops << " curtain " << l.curtain << " cells " << l.cells
              << " effects " << l.effects;
}

// A few seconds of one gate at work: how the game is set up, how many
// frames run, the keys held all along, the keys tapped in given frames,
// and the frame at which the pause comes.
struct Scenario {
    std::function<void(Game&)> setUp;
    int frames = 0;
    std::vector<Key> held;
    std::function<std::vector<Key>(int frame)> taps = [](int) { return std::vector<Key>{}; };
    int pauseAt = 0;
    Millis frameMs = 20;  // finer than the gate, so that an early step shows
    ControlStyle style = ControlStyle::Classic;
};

}  // namespace

class PauseTest : public PlayTest {
protected:
    void restart()
    {
        TearDown();
        SetUp();
    }

    Look look()
    {
        const PuzzleField& f = field();
        PairBlock b0, b1;
        f.getPairBlock(0, b0);
        f.getPairBlock(1, b1);
        // Unsigned: the digest wraps by design.
        unsigned cells = 0;
        for (int row = 0; row < GridRows; ++row)
            for (int column = 0; column < GridColumns; ++column)
                cells = cells * 31u + static_cast<unsigned>(f.cellAt(column, row) + 2);
        return Look{game->scene(),
                    game->phase(),
                    b0.column(),
                    b0.pairRow(false),
                    b1.column(),
                    b1.pairRow(false),
                    ClearBlock::fadeLevel(),
                    DropBlock::dropOffset(),
                    static_cast<int>(f.drops().size()),
                    f.curtainOffset(),
                    cells,
                    static_cast<int>(effectsPlayed().size())};
    }

    void frameWith(const std::vector<Key>& taps, Millis ms)
    {
        for (Key k : taps)
            headless::press(k);
        headless::advanceClock(ms);
        game->update();
        for (Key k : taps)
            headless::release(k);
    }

    // The looks after each frame of the scenario, run from a fresh game. With
    // a pause, the frame at pauseAt pauses instead, pausedFrames frames pass
    // (the play keys not held tapped in some, C pressed and held into the
    // resume), and the frame that resumes runs that frame's step.
    std::vector<Look> play(const Scenario& s, bool withPause, int pausedFrames = 150)
    {
        restart();
        headless::setClock(1000);
        game->setControlStyle(s.style);
        s.setUp(*game);
        for (Key k : s.held)
            headless::press(k);
        std::vector<Key> pausedTaps;
        for (Key k : {Key::Left, Key::Right, Key::Down, Key::Z})
            if (std::find(s.held.begin(), s.held.end(), k) == s.held.end()) pausedTaps.push_back(k);
        std::vector<Look> looks;
        for (int f = 0; f < s.frames; ++f) {
            if (withPause && f == s.pauseAt) {
                frameWith({Key::P}, s.frameMs);
                EXPECT_TRUE(game->paused());
                const Look before = look();
                const Millis frozen = game->now();
                for (int i = 0; i < pausedFrames; ++i) {
                    if (i == 3) headless::press(Key::C);
                    frameWith(i % 10 == 5 ? pausedTaps : std::vector<Key>{}, s.frameMs);
                    EXPECT_EQ(game->now(), frozen);
                }
                EXPECT_EQ(look(), before) << "a step ran while paused";
                std::vector<Key> resume = s.taps(f);
                resume.push_back(Key::P);
                frameWith(resume, s.frameMs);
                headless::release(Key::C);
                EXPECT_FALSE(game->paused());
            } else {
                frameWith(s.taps(f), s.frameMs);
            }
            looks.push_back(look());
        }
        return looks;
    }

    // The paused run shows, frame for frame, what the run without a pause
    // shows; the pause falls where a clock running on would bring a step early.
    void expectPauseChangesNothing(const Scenario& s)
    {
        const std::vector<Look> plain = play(s, false);
        ASSERT_GT(s.pauseAt, 0);
        ASSERT_EQ(plain[s.pauseAt], plain[s.pauseAt - 1]) << "the scenario must pause between two steps";
        ASSERT_NE(plain.front(), plain.back()) << "the scenario must move";
        const std::vector<Look> paused = play(s, true);
        ASSERT_EQ(paused.size(), plain.size());
        for (std::size_t f = 0; f < plain.size(); ++f)
            EXPECT_EQ(paused[f], plain[f]) << "frame " << f;
    }

    static void rowOf(PuzzleField& f, int row, int firstColumn, int count, int colour)
    {
        for (int c = firstColumn; c < firstColumn + count; ++c)
            f.setCell(c, row, colour);
    }
};

TEST_F(PauseTest, FallResumesAsIfNoTimeHadPassed)
{
    Scenario s;
    s.setUp = [this](Game&) { placePair(3, 0, 0, 3, 2, 1); };
    s.frames = 130;  // two and a half fall steps at level 0
    s.pauseAt = 70;
    expectPauseChangesNothing(s);
}

TEST_F(PauseTest, HeldArrowMovesOnTheSameBeatAcrossAPause)
{
    Scenario s;
    s.setUp = [this](Game&) { placePair(7, 4, 0, 7, 6, 1); };
    s.frames = 16;
    s.held = {Key::Left};
    s.pauseAt = 4;
    expectPauseChangesNothing(s);
}

TEST_F(PauseTest, ModernHeldArrowKeepsItsRepeatDelayAcrossAPause)
{
    Scenario s;
    s.setUp = [this](Game&) { placePair(7, 4, 0, 7, 6, 1); };
    s.frames = 20;
    s.held = {Key::Left};
    s.style = ControlStyle::Modern;
    s.pauseAt = 5;  // 100 ms into the 170 ms delay
    expectPauseChangesNothing(s);
}

TEST_F(PauseTest, TurnGateStillRefusesTheTurnThatCameTooSoon)
{
    Scenario s;
    s.setUp = [this](Game&) { placePair(3, 4, 0, 3, 6, 1); };
    s.frames = 8;
    s.taps = [](int) { return std::vector<Key>{Key::Z}; };  // Z in every frame
    s.pauseAt = 1;
    expectPauseChangesNothing(s);
}

TEST_F(PauseTest, PushedFallGoesOnAtItsPace)
{
    Scenario s;
    s.setUp = [this](Game&) { placePair(3, 0, 0, 3, 2, 1); };
    s.frames = 12;
    s.held = {Key::Down};
    s.frameMs = 10;
    s.pauseAt = 5;
    expectPauseChangesNothing(s);
}

TEST_F(PauseTest, FadeStepsKeepTheirSpacing)
{
    Scenario s;
    s.setUp = [](Game& g) {
        rowOf(g.field(), 11, 0, 3, 2);
        GameTestAccess::checkMatches(g);
    };
    s.frames = 30;
    s.pauseAt = 7;
    expectPauseChangesNothing(s);
}

TEST_F(PauseTest, DropStepsKeepTheirSpacing)
{
    Scenario s;
    s.setUp = [this](Game& g) {
        stack(0, {1, Empty, Empty, Empty, 2, 3});
        GameTestAccess::setLandingCheckPending(g, false);
        GameTestAccess::settle(g);
    };
    s.frames = 30;
    s.pauseAt = 3;
    expectPauseChangesNothing(s);
}

TEST_F(PauseTest, StartBannerGlidesOnFromWhereItStopped)
{
    Scenario s;
    s.setUp = [](Game& g) { GameTestAccess::setScene(g, SceneGameStart); };
    s.frames = 20;
    s.pauseAt = 5;
    expectPauseChangesNothing(s);
}

// ---- The picture and the sounds of the pause ----

namespace {
constexpr int PanelRed = 90;  // the test panel: solid (90, 60, 200), no key
}

class PauseScreenTest : public PauseTest {
protected:
    void SetUp() override
    {
        PauseTest::SetUp();
        blankScreen();
        game->renderer().image(SlotPaused).createFilled(256, 160, PanelRed, 60, 200);
        headless::setClock(1000);
    }
    void tapAt(Key key, Millis ms)
    {
        headless::press(key);
        frameAt(ms);
        headless::release(key);
    }
    std::vector<std::uint8_t> screenBytes()
    {
        const Surface& s = game->renderer().backBuffer();
        return std::vector<std::uint8_t>(s.pixels(), s.pixels() + s.byteCount());
    }
};

TEST_F(PauseScreenTest, PauseHidesTheStackThePairAndTheComingPairBehindThePanel)
{
    stack(0, {1, 2});
    placePair(3, 4, 0, 3, 6, 1);
    frameAt(1020);
    ASSERT_EQ(screenRed(192 + 16, 48 + 11 * 32 + 16), 255);         // a settled block
    ASSERT_EQ(screenRed(192 + 3 * 32 + 16, 48 + 16 * 4 + 8), 255);  // the pair's top block
    ASSERT_EQ(screenRed(513 + 16, 185 + 16), 255);                  // the coming pair

    tapAt(Key::P, 1040);
    ASSERT_TRUE(game->paused());
    EXPECT_TRUE(screenDrawn());                                   // the background
    EXPECT_EQ(screenRed(192 + 16, 48 + 11 * 32 + 16), 0);         // well bottom: blank
    EXPECT_EQ(screenRed(192 + 3 * 32 + 16, 48 + 16 * 4 + 8), 0);  // well top: blank
    EXPECT_EQ(screenRed(513 + 16, 185 + 16), 0);                  // preview: blank
    EXPECT_EQ(screenRed(192, 160), PanelRed);                     // the panel's corners,
    EXPECT_EQ(screenRed(192 + 255, 160 + 159), PanelRed);         // centred on the well
    EXPECT_EQ(screenRed(192, 159), 0);
    EXPECT_EQ(screenRed(192 + 255, 160 + 160), 0);

    // Nothing changes while paused, however long.
    const std::vector<std::uint8_t> paused = screenBytes();
    for (Millis t = 1060; t < 4000; t += 33)
        frameAt(t);
    EXPECT_EQ(screenBytes(), paused);
}

TEST_F(PauseScreenTest, WithoutThePanelPictureTheWellStillHides)
{
    game->renderer().image(SlotPaused).release();
    stack(0, {1});
    frameAt(1020);
    tapAt(Key::P, 1040);
    ASSERT_TRUE(game->paused());
    EXPECT_EQ(screenRed(192 + 16, 48 + 11 * 32 + 16), 0);
    EXPECT_EQ(screenRed(513 + 16, 185 + 16), 0);
}

TEST_F(PauseScreenTest, ResumeShowsThePictureThePauseCovered)
{
    // Mid-fade, a frame with no step due draws nothing: only the kept
    // picture can bring the well back.
    rowOf(field(), 11, 0, 3, 2);
    GameTestAccess::checkMatches(*game);
    frameAt(1020);  // first fade step, drawn
    const std::vector<std::uint8_t> fading = screenBytes();
    tapAt(Key::P, 1040);
    ASSERT_NE(screenBytes(), fading);
    tapAt(Key::P, 9000);
    EXPECT_FALSE(game->paused());
    EXPECT_EQ(screenBytes(), fading);
}

TEST_F(PauseScreenTest, SoundsHoldWhilePausedAndGoOnAfter)
{
    placePair(3, 4, 0, 3, 6, 1);
    frameAt(1020);
    EXPECT_FALSE(headless::soundsPaused());
    tapAt(Key::P, 1040);
    EXPECT_TRUE(headless::soundsPaused());
    frameAt(1073);
    EXPECT_TRUE(headless::soundsPaused());
    tapAt(Key::P, 1106);
    EXPECT_FALSE(headless::soundsPaused());
}

TEST_F(PauseScreenTest, EscapePausesAndResumesLikeP)
{
    placePair(3, 4, 0, 3, 6, 1);
    tapAt(Key::Escape, 1020);
    EXPECT_TRUE(game->paused());
    tapAt(Key::Escape, 1040);
    EXPECT_FALSE(game->paused());
    tapAt(Key::Escape, 1060);
    tapAt(Key::P, 1080);
    EXPECT_FALSE(game->paused());
}

TEST_F(PauseScreenTest, QQuitsAtOnceWhilePaused)
{
    tapAt(Key::P, 1020);
    ASSERT_TRUE(game->paused());
    headless::press(Key::Q);
    frameAt(1040);
    EXPECT_EQ(game->scene(), SceneQuit);
    EXPECT_FALSE(platform::running());
}

TEST_F(PauseScreenTest, LostFocusPausesThePlayAndOnlyPResumes)
{
    placePair(3, 4, 0, 3, 6, 1);
    frameAt(1020);
    headless::setWindowActive(false);
    frameAt(1040);
    EXPECT_TRUE(game->paused());
    EXPECT_TRUE(headless::soundsPaused());
    headless::setWindowActive(true);
    frameAt(1060);
    EXPECT_TRUE(game->paused()) << "the player resumes, not the window";
    tapAt(Key::P, 1080);
    EXPECT_FALSE(game->paused());
    // Focus that stays away pauses once: P resumes for good.
    headless::setWindowActive(false);
    frameAt(1100);
    tapAt(Key::P, 1120);
    frameAt(1140);
    EXPECT_FALSE(game->paused());
}

TEST_F(PauseScreenTest, LostFocusPausesTheStartBanner)
{
    GameTestAccess::setScene(*game, SceneGameStart);
    frameAt(1020);
    const int curtain = field().curtainOffset();
    headless::setWindowActive(false);
    frameAt(1040);
    frameAt(1080);
    EXPECT_TRUE(game->paused());
    EXPECT_EQ(field().curtainOffset(), curtain);
}
