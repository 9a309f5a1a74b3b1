#include "field/puzzle_field.h"
#include "field_test_support.h"
#include "rank/ranking.h"
#include "tools/support/scratch_dir.h"

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

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
    field.editName(NameLetterNext);  // b
    field.editName(NameCursorRight);
    field.editName(NameLetterNext);
    field.editName(NameLetterNext);  // c
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

TEST_F(FieldRankingTest, AFailedSaveSaysOnceWhichFileAndWhy)
{
    fs::create_directories("Data");
    {
        std::ofstream("Data/Rank.ds", std::ios::binary) << "abc\r\n900\r\n";
    }
    fs::permissions("Data/Rank.ds", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    field.setScore(1500);
    testing::internal::CaptureStderr();
    field.saveRanking();
    const std::string said = testing::internal::GetCapturedStderr();
    // Root may write anyway, so the reason is the file's mode or the system's.
    EXPECT_TRUE(said == "tessaloom: cannot save the high score to Data/Rank.ds: the file is read-only\n" ||
                said == "tessaloom: cannot save the high score to Data/Rank.ds: Permission denied\n")
        << said;

    std::string name;
    int score = -1;
    ASSERT_TRUE(rankEntry(1, name, score));
    EXPECT_EQ(name, "abc");
    EXPECT_EQ(score, 900);
}

TEST_F(FieldRankingTest, ASuccessfulSaveSaysNothing)
{
    field.setScore(1500);
    testing::internal::CaptureStderr();
    field.saveRanking();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}
