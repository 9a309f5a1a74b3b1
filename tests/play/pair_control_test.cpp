// The falling pair under the player's keys: fall pace, pushed fall, moves,
// turns, refusals, landing and the bomb arming of a landing.
#include "play_fixture.h"

#include <algorithm>
#include <ostream>

using platform::Key;

namespace {

struct Place {
    int column;
    int halfRow;
};

bool operator==(const Place& a, const Place& b) { return a.column == b.column && a.halfRow == b.halfRow; }
std::ostream& operator<<(std::ostream& os, const Place& p)
{
    return os << "(" << p.column << ", " << p.halfRow << ")";
}

}  // namespace

class PairTest : public PlayTest {
protected:
    // Keys go down just before the frame and up right after it.
    void frameWith(std::initializer_list<Key> keys, Millis ms)
    {
        for (Key k : keys)
            headless::press(k);
        frameAt(ms);
        for (Key k : keys)
            headless::release(k);
    }
    // No natural fall step for the next second.
    void holdFallFrom(Millis ms) { PairBlock::setFallStamp(ms); }
    Place where(int index)
    {
        const PairBlock b = pair(index);
        return {b.column(), b.pairRow(false)};
    }
    int plays(int effect)
    {
        const std::vector<int> e = effectsPlayed();
        return static_cast<int>(std::count(e.begin(), e.end(), effect));
    }
};

TEST_F(PairTest, SpawnedPairStepsAtOnceThenEverySecondAndLandsWithBlock1AtHalfRow22)
{
    game->changePhase(PhaseFalling);
    placePair(3, 0, 0, 3, 2, 1);  // fixed colours, no bombs
    frameAt(5000);
    EXPECT_EQ(where(0), (Place{3, 1}));
    EXPECT_EQ(where(1), (Place{3, 3}));
    frameAt(6000);  // only more than the interval opens the gate
    EXPECT_EQ(where(1), (Place{3, 3}));
    frameAt(6001);
    EXPECT_EQ(where(1), (Place{3, 4}));

    Millis t = 6001;
    for (int step = 0; step < 17; ++step)
        frameAt(t += 1001);
    EXPECT_EQ(where(1), (Place{3, 21}));
    EXPECT_EQ(field().cellAt(3, 11), Empty);
    frameAt(t += 1001);
    EXPECT_EQ(field().cellAt(3, 11), 1);
    EXPECT_EQ(field().cellAt(3, 10), 0);
    EXPECT_EQ(plays(SeBottom), 1);
}

TEST_F(PairTest, StepReportsWhichBlockLanded)
{
    placePair(3, 18, 0, 3, 20, 1);
    EXPECT_EQ(GameTestAccess::stepPairFall(*game, false), -1);  // half rows 19 and 21
    PairBlock::setFallStamp(0);
    EXPECT_EQ(GameTestAccess::stepPairFall(*game, false), 1);  // block 1 on the floor at 22
    EXPECT_EQ(where(1).halfRow, 22);

    // Side by side, both meeting support: block 0 is reported.
    stack(2, {1});
    stack(3, {1});
    placePair(3, 19, 0, 2, 19, 2);
    PairBlock::setFallStamp(0);
    EXPECT_EQ(GameTestAccess::stepPairFall(*game, false), 0);
}

TEST_F(PairTest, FrameShowsThePairAsItWasBeforeItsStep)
{
    placePair(3, 4, 0, 3, 6, 1);
    blankScreen();
    frameAt(100);
    EXPECT_EQ(where(1), (Place{3, 7}));
    EXPECT_EQ(screenRed(293, 48 + 16 * 4 + 1), 255);  // old top of block 0
    EXPECT_EQ(screenRed(293, 48 + 16 * 8 + 4), 0);    // inside the new block 1 only
}

TEST_F(PairTest, HoldingDownFallsOneHalfRowPerFrame)
{
    placePair(3, 0, 0, 3, 2, 1);
    holdFallFrom(1000);
    headless::press(Key::Down);
    for (int frame = 1; frame <= 5; ++frame) {
        frameAt(1000 + 33 * frame);
        EXPECT_EQ(where(0).halfRow, frame);
    }
}

TEST_F(PairTest, FourTurnsEachWayCircleBlock0)
{
    const Place clockwise[] = {{2, 4}, {3, 2}, {4, 4}, {3, 6}};
    const Place counter[] = {{4, 4}, {3, 2}, {2, 4}, {3, 6}};
    Millis t = 1000;
    for (bool cw : {true, false}) {
        placePair(3, 4, 0, 3, 6, 1);
        holdFallFrom(t);
        headless::clearAudioLog();
        for (int i = 0; i < 4; ++i) {
            frameWith({cw ? Key::C : Key::Z}, t += 60);
            EXPECT_EQ(where(1), cw ? clockwise[i] : counter[i]) << (cw ? "C " : "Z ") << i;
            EXPECT_EQ(where(0), (Place{3, 4}));
        }
        // Z sounds before trying and again on success; C only on success.
        EXPECT_EQ(plays(SeTurn), cw ? 4 : 8);
    }
}

TEST_F(PairTest, RefusedTurnsChangeNothingAndOnlyZSounds)
{
    struct Case {
        const char* what;
        Place block0, block1;
        Key key;
    };
    const Case cases[] = {
        {"right wall, Z", {7, 4}, {7, 6}, Key::Z},
        {"left wall, C", {0, 4}, {0, 6}, Key::C},
        {"floor at an odd half row", {3, 21}, {2, 21}, Key::Z},
        {"ceiling", {3, 1}, {4, 1}, Key::Z},
    };
    Millis t = 1000;
    for (const Case& c : cases) {
        placePair(c.block0.column, c.block0.halfRow, 0, c.block1.column, c.block1.halfRow, 1);
        holdFallFrom(t);
        headless::clearAudioLog();
        frameWith({c.key}, t += 60);
        EXPECT_EQ(where(0), c.block0) << c.what;
        EXPECT_EQ(where(1), c.block1) << c.what;
        EXPECT_EQ(plays(SeTurn), c.key == Key::Z ? 1 : 0) << c.what;
    }
}

TEST_F(PairTest, TurnOverSupportOnlyTheFreeWay)
{
    stack(3, {2, 2});  // block 0 has just been moved over this
    placePair(3, 18, 0, 2, 18, 1);
    holdFallFrom(1000);
    frameWith({Key::Z}, 1060);
    EXPECT_EQ(where(1), (Place{2, 18}));
    frameWith({Key::C}, 1120);
    EXPECT_EQ(where(1), (Place{3, 16}));
}

TEST_F(PairTest, TurnNeedsAFreshPress)
{
    placePair(3, 4, 0, 3, 6, 1);
    holdFallFrom(1000);
    headless::press(Key::Z);
    frameAt(1100);
    EXPECT_EQ(where(1), (Place{4, 4}));
    frameAt(1200);  // still down, not pressed again
    EXPECT_EQ(where(1), (Place{4, 4}));
    headless::release(Key::Z);
    frameWith({Key::Z}, 1300);
    EXPECT_EQ(where(1), (Place{3, 2}));
}

TEST_F(PairTest, SameCellPairReportsTheTurnErrorAndStays)
{
    placePair(3, 4, 0, 3, 5, 1);
    holdFallFrom(1000);
    frameWith({Key::C}, 1100);
    ASSERT_EQ(headless::messageBoxes().size(), 1u);
    EXPECT_EQ(headless::messageBoxes()[0].text, " block turn error!!");
    EXPECT_EQ(headless::messageBoxes()[0].caption, "error");
    EXPECT_EQ(where(1), (Place{3, 5}));
}

TEST_F(PairTest, LeftWinsWhenBothArrowsAreHeldAndAWallRefusesSilently)
{
    placePair(3, 4, 0, 3, 6, 1);
    holdFallFrom(1000);
    frameWith({Key::Left, Key::Right}, 1100);
    EXPECT_EQ(where(0).column, 2);
    EXPECT_EQ(where(1).column, 2);
    EXPECT_EQ(plays(SeMove), 1);

    // At the wall the left move fails without a stamp, so right goes.
    placePair(0, 4, 0, 0, 6, 1);
    headless::clearAudioLog();
    frameWith({Key::Left, Key::Right}, 1200);
    EXPECT_EQ(where(0).column, 1);
    EXPECT_EQ(plays(SeMove), 1);

    // A held arrow repeats only after more than 50 ms.
    headless::press(Key::Right);
    frameAt(1250);
    EXPECT_EQ(where(0).column, 1);
    frameAt(1251);
    EXPECT_EQ(where(0).column, 2);
}

TEST_F(PairTest, BetweenTwoRowsBothCellsBesideTheLeadMustBeFree)
{
    // Block 1 below leads; at half row 19 it spans cell rows 9 and 10.
    const struct {
        int height;
        bool moves;
    } cases[] = {{3, false}, {2, false}, {1, true}};
    Millis t = 1000;
    for (const auto& c : cases) {
        field().reset();
        for (int row = 11; row > 11 - c.height; --row)
            field().setCell(2, row, row % 2);
        placePair(3, 17, 0, 3, 19, 1);
        holdFallFrom(t);
        frameWith({Key::Left}, t += 60);
        EXPECT_EQ(where(1).column, c.moves ? 2 : 3) << c.height;
    }
}

TEST_F(PairTest, BetweenTwoRowsATurnNeedsBothCellsOnItsSideFree)
{
    // Block 0 at half row 19 spans cell rows 9 and 10; only the lower cell
    // on the tested side is taken, so only the second look refuses.
    field().setCell(2, 10, Stone);
    placePair(3, 19, 0, 3, 21, 1);  // block 1 below
    holdFallFrom(1000);
    frameWith({Key::C}, 1060);  // would go left: (2, 10) is taken
    EXPECT_EQ(where(1), (Place{3, 21}));
    frameWith({Key::Z}, 1120);  // right is free on both rows
    EXPECT_EQ(where(1), (Place{4, 19}));

    field().reset();
    field().setCell(3, 11, Stone);  // under the lower row of block 0
    placePair(3, 19, 0, 2, 19, 1);  // block 1 left
    frameWith({Key::Z}, 1180);      // would go below: (3, 11) is taken
    EXPECT_EQ(where(1), (Place{2, 19}));
    frameWith({Key::C}, 1240);  // above: row 8 free, row 9 is block 0's own
    EXPECT_EQ(where(1), (Place{3, 17}));
}

TEST_F(PairTest, LandingBombArmsTheColourItComesToRestOn)
{
    struct Case {
        const char* what;
        std::vector<std::pair<int, std::vector<int>>> stacks;  // column, codes from row 11 up
        Place block0;
        int colour0;
        Place block1;
        int colour1;
        int landed;
        bool armed;
        int colourA, colourB;
    };
    const Case cases[] = {
        {"two bombs", {{3, {0, 2}}, {4, {3}}}, {3, 18}, Bomb, {4, 18}, Bomb, 0, true, 2, 3},
        {"bomb lands on a block", {{3, {2}}}, {3, 18}, 0, {3, 20}, Bomb, 1, true, 2, Outside},
        {"bomb lands on the floor", {}, {3, 20}, 1, {3, 22}, Bomb, 1, true, Outside, Outside},
        {"bomb sits on the landed block", {{3, {2}}}, {3, 18}, Bomb, {3, 20}, 3, 1, true, 3, Outside},
        {"bomb beside will drop", {{3, {2, 2}}, {4, {1}}}, {3, 18}, 0, {4, 18}, Bomb, 0, true, 1, Outside},
        {"no bomb", {{3, {2}}}, {3, 18}, 0, {3, 20}, 1, 1, false, 1, 2},
    };
    for (const Case& c : cases) {
        field().reset();
        field().setBomb(false, 1, 2);
        GameTestAccess::setLandingCheckPending(*game, false);  // keep the check from consuming it
        for (const auto& s : c.stacks) {
            int row = 11;
            for (int code : s.second)
                field().setCell(s.first, row--, code);
        }
        placePair(c.block0.column, c.block0.halfRow, c.colour0, c.block1.column, c.block1.halfRow, c.colour1);
        GameTestAccess::landPair(*game, c.landed);
        bool armed = false;
        int a = -1, b = -1;
        field().bombState(armed, a, &b);
        EXPECT_EQ(armed, c.armed) << c.what;
        EXPECT_EQ(a, c.colourA) << c.what;
        EXPECT_EQ(b, c.colourB) << c.what;
        const Place& l = c.landed == 0 ? c.block0 : c.block1;
        EXPECT_EQ(field().cellAt(l.column, l.halfRow / 2), c.landed == 0 ? c.colour0 : c.colour1) << c.what;
    }
}
