// The keys players try: Enter and Space decide wherever Z does outside play,
// Esc leaves the ranking as it leaves the options, and the name entry takes
// typed letters and Backspace.
#include "game_test_support.h"

#include "tests/game/game_test_access.h"

using namespace gametest;
using platform::Key;

namespace {

class DecideKeysTest : public GameTest {
public:
    using GameTest::frame;
};

// Where each decision leads: from a fresh game to the screen, then what the
// decide key makes of it.
struct Screen {
    const char* name;
    void (*reach)(DecideKeysTest&, Game&);
    SceneId decided;
};

const Screen Screens[] = {
    {"title, top entry", [](DecideKeysTest&, Game& g) { g.changeScene(SceneTitle); }, SceneGameStart},
    {"game over without a ranking score",
     [](DecideKeysTest& t, Game& g) {
         g.changeScene(SceneGameOver);
         for (int i = 0; i < 90; ++i)
             t.frame();
     },
     SceneTitle},
    {"name entry",
     [](DecideKeysTest&, Game& g) {
         g.field().setScore(1500);
         g.changeScene(SceneNameEntry);
     },
     SceneTitle},
    {"ranking", [](DecideKeysTest&, Game& g) { g.changeScene(SceneRanking); }, SceneTitle},
    {"options on BACK",
     [](DecideKeysTest& t, Game& g) {
         g.changeScene(SceneOptions);
         for (int i = 0; i < static_cast<int>(OptionsEntry::Back); ++i) {
             headless::press(Key::Down);
             t.frame();
             headless::release(Key::Down);
         }
     },
     SceneTitle},
};

}  // namespace

TEST_F(DecideKeysTest, ZEnterAndSpaceEachDecideOnEveryScreenOutsidePlay)
{
    for (const Screen& s : Screens) {
        for (Key key : {Key::Z, Key::Enter, Key::Space}) {
            SCOPED_TRACE(std::string(s.name) + ", key " + std::to_string(static_cast<int>(key)));
            SetUp();
            s.reach(*this, *game_);
            const SceneId before = game_->scene();
            frame();
            ASSERT_EQ(game_->scene(), before);
            tap(key);
            EXPECT_EQ(game_->scene(), s.decided);
            TearDown();
        }
    }
}

TEST_F(DecideKeysTest, EscLeavesTheRankingForTheTitle)
{
    game_->changeScene(SceneRanking);
    frame();
    tap(Key::Escape);
    EXPECT_EQ(game_->scene(), SceneTitle);
}

TEST_F(DecideKeysTest, EnterAndSpaceDoNotTurnThePairInPlay)
{
    game_->changeScene(SceneTitle);
    GameTestAccess::setScene(*game_, ScenePlay);
    game_->setSpawnPosition(0, 3, 0);
    game_->setSpawnPosition(1, 3, 1);
    game_->changePhase(PhaseFalling);
    const PairOrientation before = game_->field().pairOrientation();
    tap(Key::Enter);
    tap(Key::Space);
    EXPECT_EQ(game_->field().pairOrientation(), before);
    tap(Key::Z);
    EXPECT_NE(game_->field().pairOrientation(), before);
}

class TypedNameTest : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        game_->field().setScore(1500);
        game_->changeScene(SceneNameEntry);
        ASSERT_EQ(game_->scene(), SceneNameEntry);
    }
    void type(char letter)
    {
        headless::typeLetter(letter);
        frame();
    }
    std::string name() const
    {
        std::string n;
        for (int i = 0; i < 3; ++i)
            n += static_cast<char>('A' + game_->field().nameLetter(i));
        return n;
    }
};

TEST_F(TypedNameTest, TypedLettersFillTheNameAndTheCursorStopsOnTheLast)
{
    type('b');
    EXPECT_EQ(game_->field().nameCursor(), 1);
    type('O');
    type('b');
    EXPECT_EQ(name(), "BOB");
    EXPECT_EQ(game_->field().nameCursor(), 2);
    type('X');  // the last place again
    EXPECT_EQ(name(), "BOX");
}

TEST_F(TypedNameTest, BackspaceMovesBackToRetypeALetter)
{
    type('K');
    type('I');
    tap(Key::Backspace);
    EXPECT_EQ(game_->field().nameCursor(), 1);
    type('A');
    EXPECT_EQ(name(), "KAA");
    tap(Key::Backspace);
    tap(Key::Backspace);
    tap(Key::Backspace);  // nothing before the first letter
    EXPECT_EQ(game_->field().nameCursor(), 0);
}

TEST_F(TypedNameTest, OneLetterAFrameAndNoneFromBeforeTheEntryOpened)
{
    // Typed during the game (C turns the pair) and the banner: not the name's.
    game_->changeScene(SceneGameOver);
    headless::typeLetter('C');
    game_->changeScene(SceneNameEntry);
    frame();
    EXPECT_EQ(name(), "AAA");

    // Two letters inside one frame take two frames, in order.
    headless::typeLetter('J');
    headless::typeLetter('O');
    frame();
    EXPECT_EQ(name(), "JAA");
    frame();
    EXPECT_EQ(name(), "JOA");
}

TEST_F(TypedNameTest, TheZKeyStoresTheNameAndMTypesWithoutMuting)
{
    // The key that decides types no Z; M is a letter here, not mute.
    headless::typeLetter('M');
    tap(Key::M);
    EXPECT_EQ(name(), "MAA");
    EXPECT_FALSE(game_->settings().mute);
    headless::typeLetter('Z');
    tap(Key::Z);
    EXPECT_EQ(game_->scene(), SceneTitle);
}
