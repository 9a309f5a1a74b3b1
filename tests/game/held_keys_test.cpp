// Keys held across a scene change: a key pressed on one screen and still
// down when the next opens does nothing there until it is let go; pressed
// again, it acts as usual.
#include "game_test_support.h"

#include "field/block.h"
#include "platform/key_latch.h"
#include "tests/game/game_test_access.h"

using namespace gametest;
using platform::Key;

namespace {

class HeldKeysTest : public GameTest {
public:
    using GameTest::frame;
    using GameTest::tap;
    // Frames until the game-over banner has arrived and been drawn there
    // (or the name entry opened), at most a few seconds of them.
    void slideBanner()
    {
        for (int i = 0; i < 120 && game_->scene() == SceneGameOver && game_->field().overCount() < 80; ++i)
            frame();
        if (game_->scene() == SceneGameOver) frame();
    }
};

struct Case {
    const char* name;
    Key key;
    // From a fresh game to the new screen, with `key` pressed (and its
    // press unread) on the screen before and still held.
    void (*reach)(HeldKeysTest&, Game&, Key);
    SceneId scene;
    // What the key changes on the new screen.
    int (*observe)(const Game&);
};

int nameLetter(const Game& g) { return g.field().nameLetter(0); }
int menuCursor(const Game& g) { return g.field().menuCursor(); }
int scene(const Game& g) { return g.scene(); }
int paused(const Game& g) { return g.paused() ? 1 : 0; }
int windowSize(const Game& g) { return g.settings().windowHalves; }

const Case Cases[] = {
    {"Down from the game-over banner into the name entry", Key::Down,
     [](HeldKeysTest& t, Game& g, Key key) {
         g.changeScene(SceneGameOver);
         g.field().setScore(1500);
         t.frame();
         headless::press(key);
         t.slideBanner();
     },
     SceneNameEntry, nameLetter},
    {"Down from the game-over banner into the title", Key::Down,
     [](HeldKeysTest& t, Game& g, Key key) {
         g.changeScene(SceneGameOver);
         t.frame();
         headless::press(key);
         t.slideBanner();
         t.tap(Key::Z);
     },
     SceneTitle, menuCursor},
    {"Down from the ranking into the title", Key::Down,
     [](HeldKeysTest& t, Game& g, Key key) {
         g.changeScene(SceneRanking);
         headless::press(key);
         t.tap(Key::Z);
     },
     SceneTitle, menuCursor},
    {"O from the options into the title", Key::O,
     [](HeldKeysTest& t, Game& g, Key key) {
         g.changeScene(SceneOptions);
         headless::press(key);
         t.tap(Key::Escape);
     },
     SceneTitle, scene},
    {"Esc from the title into the game start", Key::Escape,
     [](HeldKeysTest& t, Game& g, Key key) {
         g.changeScene(SceneTitle);
         headless::press(key);
         t.tap(Key::Z);
     },
     SceneGameStart, paused},
    {"Right from the title into the options", Key::Right,
     [](HeldKeysTest& t, Game& g, Key key) {
         g.changeScene(SceneTitle);
         headless::press(key);
         t.tap(Key::O);
     },
     SceneOptions, windowSize},
    {"Z from the last clear into the game-over banner", Key::Z,
     [](HeldKeysTest& t, Game& g, Key key) {
         g.changeScene(SceneTitle);
         GameTestAccess::setScene(g, ScenePlay);
         g.field().setCell(3, 0, Stone);
         headless::press(key);
         GameTestAccess::checkMatches(g);
         t.slideBanner();
     },
     SceneGameOver, scene},
};

}  // namespace

TEST_F(HeldKeysTest, AKeyHeldIntoANewScreenActsThereOnlyOncePressedAgain)
{
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        c.reach(*this, *game_, c.key);
        ASSERT_EQ(game_->scene(), c.scene);
        const int before = c.observe(*game_);
        for (int i = 0; i < 5; ++i)
            frame();
        EXPECT_EQ(c.observe(*game_), before) << "the held key acted";
        // Auto-repeat while held is no new press either.
        headless::repeat(c.key);
        frame();
        EXPECT_EQ(c.observe(*game_), before) << "the held key's repeat acted";

        headless::release(c.key);
        frame();
        tap(c.key);
        EXPECT_NE(c.observe(*game_), before) << "the key, pressed again, did nothing";
        TearDown();
    }
}

TEST_F(HeldKeysTest, QuitStillActsWhileHeldAcrossAScreenChange)
{
    game_->changeScene(SceneRanking);
    headless::press(Key::Q);
    game_->changeScene(SceneTitle);
    frame();
    EXPECT_FALSE(platform::running());
}

TEST(KeyReading, AnIgnoredHoldReadsUpUntilItsKeyUpWhileAnotherHolderCounts)
{
    platform::KeyLatch k;
    k.keyDown(false);
    k.ignoreHeld();
    EXPECT_FALSE(k.query().down);
    k.keyDown(false);  // a press the platform failed to see as a repeat
    platform::KeyState s = k.query();
    EXPECT_FALSE(s.down || s.pressedSinceLastQuery);

    // The gamepad's own hold of the same key is new and counts.
    k.keyDown(false, platform::KeySource::Gamepad);
    s = k.query();
    EXPECT_TRUE(s.down && s.pressedSinceLastQuery);
    k.keyUp(platform::KeySource::Gamepad);

    k.keyUp();
    k.keyDown(false);
    s = k.query();
    EXPECT_TRUE(s.down && s.pressedSinceLastQuery);
}
