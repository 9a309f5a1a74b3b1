// Modern controls' two keys: Up drops the pair where its landing shadow
// shows, in the frame that reads it, scoring nothing of its own; Q during
// the game asks first, Esc goes back to the game as it was, Z quits.
// Classic keeps Up unread in play and Q quitting at once.
#include "game/feedback.h"
#include "play_fixture.h"

#include <set>
#include <utility>

using platform::Key;

namespace {

using Cells = std::set<std::pair<int, int>>;

struct DropCase {
    const char* name;
    int column0, halfRow0, column1, halfRow1;
    int heights[GridColumns];  // stones stacked in each column
};

const DropCase DropCases[] = {
    {"upright at the left wall", 0, 2, 0, 4, {3, 0, 0, 0, 0, 0, 0, 0}},
    {"upside down at the right wall", 7, 6, 7, 4, {0, 0, 0, 0, 0, 0, 0, 5}},
    {"level over uneven stacks, between rows", 4, 3, 3, 3, {0, 0, 0, 2, 6, 0, 0, 0}},
    {"level over an empty column", 6, 0, 7, 0, {0, 0, 0, 0, 0, 0, 0, 4}},
    {"upright on the floor", 5, 10, 5, 12, {0, 0, 0, 0, 0, 0, 0, 0}},
};

class ModernKeysTest : public PlayTest {
protected:
    void prepare(const DropCase& c)
    {
        for (int column = 0; column < GridColumns; ++column)
            for (int k = 0; k < c.heights[column]; ++k)
                field().setCell(column, 11 - k, Stone);
        // Colours 0 and 2 on stones: nothing ever clears.
        placePair(c.column0, c.halfRow0, 0, c.column1, c.halfRow1, 2);
        PairBlock::setFallStamp(900);  // no natural fall step in the next second
    }
    Cells shadowCells()
    {
        const PairBlock blocks[2] = {pair(0), pair(1)};
        int rows[2];
        restingRows(field(), blocks, rows);
        return {{blocks[0].column(), rows[0]}, {blocks[1].column(), rows[1]}};
    }
    Cells blocksIn(const Cells& cells)
    {
        Cells filled;
        for (const auto& cell : cells)
            if (field().cellAt(cell.first, cell.second) != Stone &&
                field().cellAt(cell.first, cell.second) != Empty)
                filled.insert(cell);
        return filled;
    }
    void tapAt(Key key, Millis t)
    {
        headless::press(key);
        frameAt(t);
        headless::release(key);
    }
};

}  // namespace

TEST_F(ModernKeysTest, UpDropsThePairInOneFrameWhereTheShadowShows)
{
    for (const DropCase& c : DropCases) {
        SCOPED_TRACE(c.name);
        SetUp();
        game->setControlStyle(ControlStyle::Modern);
        prepare(c);
        const Cells shadow = shadowCells();
        tapAt(Key::Up, 1000);
        // In the frame: the block that touched first rests in its shadow,
        // and a pair standing upright or on level stacks lies there whole.
        const Cells now = blocksIn(shadow);
        EXPECT_FALSE(now.empty());
        // The other block of a pair over uneven stacks drops as after any
        // landing; then both lie in the shadow's cells.
        Millis t = 1000;
        for (int i = 0; i < 100 && game->phase() != PhaseFalling; ++i)
            frameAt(t += 33);
        EXPECT_EQ(blocksIn(shadow), shadow);
        EXPECT_EQ(field().score(), 0);
        TearDown();
    }
}

TEST_F(ModernKeysTest, ClassicLeavesUpUnreadInPlay)
{
    prepare(DropCases[4]);
    const int before = pair(0).pairRow(false);
    tapAt(Key::Up, 1000);
    EXPECT_EQ(pair(0).pairRow(false), before);
    EXPECT_EQ(field().cellAt(5, 11), Empty);
}

TEST_F(ModernKeysTest, QAsksEscResumesTheGameAsItWasAndZQuits)
{
    game->setControlStyle(ControlStyle::Modern);
    prepare(DropCases[4]);
    frameAt(1000);
    const int row = pair(0).pairRow(false);
    tapAt(Key::Q, 1033);
    EXPECT_TRUE(game->quitAsked());
    EXPECT_TRUE(game->paused());
    // The game stands still while the question shows, however long.
    for (Millis t = 1066; t < 5000; t += 33)
        frameAt(t);
    EXPECT_EQ(pair(0).pairRow(false), row);
    EXPECT_TRUE(platform::running());

    tapAt(Key::Escape, 5033);
    EXPECT_FALSE(game->quitAsked());
    EXPECT_FALSE(game->paused());
    EXPECT_EQ(game->scene(), ScenePlay);
    EXPECT_EQ(pair(0).pairRow(false), row);

    for (Key yes : {Key::Z, Key::Enter, Key::Space}) {
        SCOPED_TRACE(static_cast<int>(yes));
        headless::reset();
        GameTestAccess::setScene(*game, ScenePlay);
        tapAt(Key::Q, 6000);
        tapAt(yes, 6033);
        frameAt(6066);
        EXPECT_FALSE(platform::running());
    }
}

TEST_F(ModernKeysTest, AZHeldWhenQIsPressedDoesNotAnswerAndPAnswersNo)
{
    game->setControlStyle(ControlStyle::Modern);
    prepare(DropCases[4]);
    headless::press(Key::Z);
    headless::press(Key::Q);
    frameAt(1000);
    frameAt(1033);
    EXPECT_TRUE(game->quitAsked());
    EXPECT_TRUE(platform::running());
    headless::release(Key::Z);
    tapAt(Key::P, 1066);
    EXPECT_FALSE(game->quitAsked());
    EXPECT_FALSE(game->paused());
}

TEST_F(ModernKeysTest, QQuitsAtOnceInClassicAndOutsideTheGame)
{
    for (ControlStyle style : {ControlStyle::Classic, ControlStyle::Modern}) {
        for (SceneId scene : {ScenePlay, SceneTitle}) {
            if (style == ControlStyle::Modern && scene == ScenePlay) continue;  // asks: above
            headless::reset();
            game->setControlStyle(style);
            GameTestAccess::setScene(*game, scene);
            headless::press(Key::Q);
            frameAt(1000);
            frameAt(1033);
            EXPECT_FALSE(platform::running()) << scene;
            EXPECT_FALSE(game->quitAsked());
        }
    }
}
