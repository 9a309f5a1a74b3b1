#include "field/puzzle_field.h"
#include "field_test_support.h"
#include "rank/ranking.h"
#include "tools/support/scratch_dir.h"

// Runs each test in a fresh working directory, where the rank file lives.
class FieldRankingTest : public FieldTestBase {
protected:
    void SetUp() override
    {
        FieldTestBase::SetUp();
        ASSERT_TRUE(scratch_.enter());
    }
    PuzzleField field;
    support::ScratchDir scratch_{"tessaloom-field"};
};

TEST_F(FieldRankingTest, ZeroNeverQualifiesEvenWithoutAFile)
{
    EXPECT_FALSE(field.qualifiesForRanking());
    field.setScore(1);
    EXPECT_TRUE(field.qualifiesForRanking());
}

TEST_F(FieldRankingTest, SavedEntryUsesTheEnteredLettersAndScore)
{
    field.editName(NameLetterPrevious);  // z
    field.editName(NameCursorRight);
    field.editName(NameLetterNext);      // b
    field.editName(NameCursorRight);
    field.editName(NameLetterNext);
    field.editName(NameLetterNext);      // c
    field.setScore(1500);
    field.saveRanking();

    std::string name;
    int score = -1;
    ASSERT_TRUE(rankEntry(1, name, score));
    EXPECT_EQ(name, "zbc");
    EXPECT_EQ(score, 1500);
    ASSERT_TRUE(rankEntry(2, name, score));
    EXPECT_EQ(score, 0);
}
