#include "field/puzzle_field.h"
#include "field_test_support.h"

class CountersTest : public FieldTestBase {
protected:
    PuzzleField field;
};

TEST_F(CountersTest, LevelRisesAtEveryThreshold)
{
    const int thresholds[] = {0,   30,  60,  90,  140, 150, 160, 190, 240, 250,
                              290, 340, 360, 410, 440, 460, 490, 530, 600, 630};
    for (int level = 1; level < PuzzleField::LevelCount; ++level) {
        field.setClearedCount(thresholds[level] - 1);
        EXPECT_EQ(field.level(), level - 1) << "cleared " << thresholds[level] - 1;
        field.setClearedCount(thresholds[level]);
        EXPECT_EQ(field.level(), level) << "cleared " << thresholds[level];
    }
    field.setClearedCount(9999999);
    EXPECT_EQ(field.level(), 19);
    field.setClearedCount(0);
    EXPECT_EQ(field.level(), 0);
}

TEST_F(CountersTest, FallIntervalFollowsTheLevelTable)
{
    const int intervals[] = {1000, 500, 300, 100, 500, 300, 200, 100, 300, 150,
                             70,   150, 70,  40,  200, 150, 70,  40,  100, 40};
    const int thresholds[] = {0,   30,  60,  90,  140, 150, 160, 190, 240, 250,
                              290, 340, 360, 410, 440, 460, 490, 530, 600, 630};
    for (int level = 0; level < PuzzleField::LevelCount; ++level) {
        field.setClearedCount(thresholds[level]);
        EXPECT_EQ(field.fallInterval(), intervals[level]) << "level " << level;
        EXPECT_EQ(field.levelPoints(), level * 10 + 10);
    }
    EXPECT_TRUE(headless::messageBoxes().empty());
}

TEST_F(CountersTest, UndefinedLevelShowsAMessageAndFallsBackToOneSecond)
{
    EXPECT_EQ(PuzzleField::levelFallInterval(20), 1000);
    EXPECT_EQ(PuzzleField::levelFallInterval(-1), 1000);
    const auto& boxes = headless::messageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "undefined game level");
    EXPECT_EQ(boxes[0].caption, "error");
    EXPECT_EQ(PuzzleField::levelFallInterval(19), 40);
    EXPECT_EQ(boxes.size(), 2u);
}

TEST_F(CountersTest, ScoreAndClearedCountStopAtSevenNines)
{
    field.setScore(9999999);
    EXPECT_EQ(field.score(), 9999999);
    field.setScore(10000000);
    EXPECT_EQ(field.score(), 9999999);
    field.setScore(2147483647);
    EXPECT_EQ(field.score(), 9999999);
    field.setScore(150);
    EXPECT_EQ(field.score(), 150);
    field.setClearedCount(10000000);
    EXPECT_EQ(field.clearedCount(), 9999999);
}

TEST_F(CountersTest, ChainStateIsStoredAndCleared)
{
    field.setChainState(2, 7);
    int steps = 0, cleared = 0;
    field.chainState(steps, cleared);
    EXPECT_EQ(steps, 2);
    EXPECT_EQ(cleared, 7);
    field.clearChainState();
    field.chainState(steps, cleared);
    EXPECT_EQ(steps, 0);
    EXPECT_EQ(cleared, 0);
}

TEST_F(CountersTest, MenuCursorWalksGameStartRankingQuitWithoutWrapping)
{
    field.moveMenuCursor('t');
    EXPECT_EQ(field.menuCursor(), 9);
    field.moveMenuCursor('d');
    EXPECT_EQ(field.menuCursor(), 1);
    field.moveMenuCursor('D');
    EXPECT_EQ(field.menuCursor(), 2);
    field.moveMenuCursor('d');
    EXPECT_EQ(field.menuCursor(), 2);
    field.moveMenuCursor('x');
    EXPECT_EQ(field.menuCursor(), 2);
    field.moveMenuCursor('T');
    EXPECT_EQ(field.menuCursor(), 1);
    field.moveMenuCursor('t');
    EXPECT_EQ(field.menuCursor(), 9);
}

TEST_F(CountersTest, NameLettersWrapAndTheCursorStopsAtTheEnds)
{
    EXPECT_EQ(field.nameLetter(3), -1);
    EXPECT_EQ(field.nameLetter(-1), -1);

    field.editName(NameLetterPrevious);  // up on a fresh entry: aaa -> zaa
    EXPECT_EQ(field.nameLetter(0), 25);
    field.editName(NameLetterNext);
    EXPECT_EQ(field.nameLetter(0), 0);
    field.editName(NameLetterPrevious);
    field.editName(NameCursorLeft);
    EXPECT_EQ(field.nameCursor(), 0);
    field.editName(NameCursorRight);  // right, then down: zaa -> zba
    field.editName(NameLetterNext);
    EXPECT_EQ(field.nameLetter(0), 25);
    EXPECT_EQ(field.nameLetter(1), 1);
    EXPECT_EQ(field.nameLetter(2), 0);
    field.editName(PuzzleField::NameCursorRight);
    field.editName(NameCursorRight);
    EXPECT_EQ(field.nameCursor(), 2);
    EXPECT_TRUE(headless::messageBoxes().empty());
}

TEST_F(CountersTest, UndefinedNameCommandShowsAMessageAndChangesNothing)
{
    field.editName(NameCursorRight);
    field.editName(4);
    field.editName(-1);
    EXPECT_EQ(field.nameCursor(), 1);
    EXPECT_EQ(field.nameLetter(0), 0);
    EXPECT_EQ(field.nameLetter(1), 0);
    const auto& boxes = headless::messageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, "undefined score command");
    EXPECT_EQ(boxes[1].caption, "error");
}

TEST_F(CountersTest, GameOverCounterTakesEightySteps)
{
    for (int step = 1; step <= 80; ++step) {
        ASSERT_FALSE(field.advanceOverCount()) << "step " << step;
        EXPECT_EQ(field.overCount(), step);
    }
    EXPECT_TRUE(field.advanceOverCount());
    EXPECT_TRUE(field.advanceOverCount());
    EXPECT_EQ(field.overCount(), 80);
    field.setOverStamp(4321);
    EXPECT_EQ(field.overStamp(), 4321u);
}

TEST_F(CountersTest, CurtainSlowsInMidScreenAndEndsAfterSeventyTwoSteps)
{
    std::vector<int> offsets;
    int calls = 0;
    while (!field.advanceCurtain()) {
        offsets.push_back(field.curtainOffset());
        ASSERT_LT(++calls, 100);
    }
    ASSERT_EQ(offsets.size(), 72u);
    EXPECT_EQ(offsets[20], 210);
    EXPECT_EQ(offsets[21], 212);
    EXPECT_EQ(offsets[50], 270);
    EXPECT_EQ(offsets[51], 280);
    EXPECT_EQ(offsets.back(), 480);
    for (size_t i = 1; i < offsets.size(); ++i) {
        const int step = offsets[i] - offsets[i - 1];
        const int before = offsets[i - 1];
        EXPECT_EQ(step, (before >= 210 && before < 270) ? 2 : 10) << "from " << before;
    }
    EXPECT_TRUE(field.advanceCurtain());
    EXPECT_EQ(field.curtainOffset(), 480);
    field.setCurtainStamp(99);
    EXPECT_EQ(field.curtainStamp(), 99u);
}
