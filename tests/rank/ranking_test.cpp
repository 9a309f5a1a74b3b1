#include "rank/ranking.h"

#include "scratch_dir.h"

#include <climits>
#include <cstdio>

namespace {

class RankingTest : public ScratchDirTest {
protected:
    static void writeRankFile(const std::string& bytes) { writeBytes(RankFilePath, bytes); }
    static std::string rankFile() { return readBytes(RankFilePath); }

    // A full table from five scores, named a.. e from the best place down.
    static std::string table(int s1, int s2, int s3, int s4, int s5)
    {
        const int scores[] = {s1, s2, s3, s4, s5};
        std::string text;
        for (int i = 0; i < 5; ++i)
            text += std::string(3, static_cast<char>('a' + i)) + "\r\n" + std::to_string(scores[i]) + "\r\n";
        return text;
    }
};

TEST_F(RankingTest, ScoreLinesReadLikeAtoi)
{
    EXPECT_EQ(parseScore("1200"), 1200);
    EXPECT_EQ(parseScore("0042"), 42);
    EXPECT_EQ(parseScore("12ab"), 12);
    EXPECT_EQ(parseScore("ab"), 0);
    EXPECT_EQ(parseScore(""), 0);
    EXPECT_EQ(parseScore(" \t\v\f\r\n-17x"), -17);
    EXPECT_EQ(parseScore("+5"), 5);
    EXPECT_EQ(parseScore("-"), 0);
    EXPECT_EQ(parseScore("- 5"), 0);
    EXPECT_EQ(parseScore("1 2"), 1);
    EXPECT_EQ(parseScore("000000000000000000000000007"), 7);
}

TEST_F(RankingTest, ScoresOutOfRangeSaturate)
{
    EXPECT_EQ(parseScore("2147483647"), INT_MAX);
    EXPECT_EQ(parseScore("2147483648"), INT_MAX);
    EXPECT_EQ(parseScore("99999999999999999999999"), INT_MAX);
    EXPECT_EQ(parseScore("-2147483648"), INT_MIN);
    EXPECT_EQ(parseScore("-2147483649"), INT_MIN);
    EXPECT_EQ(parseScore("-99999999999999999999999x"), INT_MIN);
    EXPECT_EQ(parseScore("-2147483647"), -2147483647);
}

TEST_F(RankingTest, EveryReadSeesTheFileAsItIsNowNeverAnEarlierRead)
{
    reserveRankBuffers();
    writeRankFile(table(900, 800, 700, 600, 500));
    EXPECT_FALSE(rankQualifies(500));
    writeRankFile("x\r\n7\r\n");
    EXPECT_TRUE(rankQualifies(1));
    std::string name;
    int score = -1;
    ASSERT_TRUE(rankEntry(1, name, score));
    EXPECT_EQ(name, "x");
    EXPECT_EQ(score, 7);

    // Gone: an empty table (one empty line), not the table read a moment ago.
    std::remove(RankFilePath);
    ASSERT_TRUE(rankEntry(1, name, score));
    EXPECT_EQ(name, "");
    EXPECT_EQ(score, 0);
    name = "kept";
    ASSERT_TRUE(rankEntry(2, name, score));
    EXPECT_EQ(name, "kept");
    EXPECT_TRUE(rankQualifies(1));
    ASSERT_TRUE(saveRankEntry("new", 5));
    EXPECT_EQ(rankFile(), "new\r\n5\r\n\r\n0\r\n\r\n0\r\n\r\n0\r\n\r\n0\r\n");
}

TEST_F(RankingTest, ShortFileFillsOnlyTheFirstPlace)
{
    writeRankFile("abc\r\n1200\r\n");
    std::string name = "zzz";
    int score = -1;
    ASSERT_TRUE(rankEntry(1, name, score));
    EXPECT_EQ(name, "abc");
    EXPECT_EQ(score, 1200);
    // Line 2 exists (empty, after the final CR LF); lines 4 and up do not.
    ASSERT_TRUE(rankEntry(2, name, score));
    EXPECT_EQ(name, "");
    EXPECT_EQ(score, 0);
    for (int place = 3; place <= 5; ++place) {
        name = "kept";
        score = -1;
        ASSERT_TRUE(rankEntry(place, name, score));
        EXPECT_EQ(name, "kept") << "place " << place;
        EXPECT_EQ(score, 0) << "place " << place;
    }
}

TEST_F(RankingTest, PlacesOutsideOneToFiveLeaveOutputsAlone)
{
    writeRankFile(table(5000, 4000, 3000, 2000, 1000));
    std::string name = "keep";
    int score = 77;
    EXPECT_FALSE(rankEntry(0, name, score));
    EXPECT_FALSE(rankEntry(6, name, score));
    EXPECT_FALSE(rankEntry(-1, name, score));
    EXPECT_EQ(name, "keep");
    EXPECT_EQ(score, 77);
    ASSERT_TRUE(rankEntry(5, name, score));
    EXPECT_EQ(name, "eee");
    EXPECT_EQ(score, 1000);
}

TEST_F(RankingTest, SharedNameStringShowsThePreviousNameForAMissingLine)
{
    // Three places, no final CR LF: the name lines of places 4 and 5 are missing.
    writeRankFile("ann\r\n300\r\nben\r\n200\r\ncat\r\n100");
    std::string name;
    int score = 0;
    std::vector<std::string> shown;
    for (int place = 1; place <= 5; ++place) {
        ASSERT_TRUE(rankEntry(place, name, score));
        shown.push_back(name + " " + std::to_string(score));
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"ann 300", "ben 200", "cat 100", "cat 0", "cat 0"}));
}

TEST_F(RankingTest, OnlyAScoreAboveTheFifthQualifies)
{
    writeRankFile(table(5000, 4000, 3000, 2000, 1000));
    EXPECT_FALSE(rankQualifies(1000));
    EXPECT_FALSE(rankQualifies(-5));
    EXPECT_TRUE(rankQualifies(1001));

    ASSERT_TRUE(saveRankEntry("new", 1001));
    EXPECT_EQ(rankFile(), "aaa\r\n5000\r\nbbb\r\n4000\r\nccc\r\n3000\r\nddd\r\n2000\r\nnew\r\n1001\r\n");
    EXPECT_FALSE(rankQualifies(1001));
}

TEST_F(RankingTest, NewEntryGoesBelowOlderEqualScores)
{
    writeRankFile(table(5000, 4000, 3000, 3000, 1000));
    ASSERT_TRUE(rankQualifies(3000));
    ASSERT_TRUE(saveRankEntry("bob", 3000));
    EXPECT_EQ(rankFile(), "aaa\r\n5000\r\nbbb\r\n4000\r\nccc\r\n3000\r\nddd\r\n3000\r\nbob\r\n3000\r\n");

    // A tie at the top stays below too.
    ASSERT_TRUE(saveRankEntry("top", 5000));
    EXPECT_EQ(rankFile(), "aaa\r\n5000\r\ntop\r\n5000\r\nbbb\r\n4000\r\nccc\r\n3000\r\nddd\r\n3000\r\n");
}

TEST_F(RankingTest, NoFileMeansAnEmptyTableAndZeroNeverQualifies)
{
    EXPECT_FALSE(rankQualifies(0));
    EXPECT_TRUE(rankQualifies(1));
    std::string name = "kept";
    int score = 9;
    ASSERT_TRUE(rankEntry(1, name, score));
    EXPECT_EQ(name, "");  // line 0 of an empty text exists and is empty
    EXPECT_EQ(score, 0);

    ASSERT_TRUE(rankQualifies(1500));
    ASSERT_TRUE(saveRankEntry("abc", 1500));  // "Data" does not exist yet
    EXPECT_EQ(rankFile(), "abc\r\n1500\r\n\r\n0\r\n\r\n0\r\n\r\n0\r\n\r\n0\r\n");
    EXPECT_FALSE(rankQualifies(0));
    EXPECT_EQ(listDir("Data"), std::vector<std::string>{"Rank.ds"});
}

TEST_F(RankingTest, ScoresAreWrittenBackCanonicalAndNamesByteForByte)
{
    const std::string odd = std::string("x y\r", 4) + "\xff";
    writeRankFile("ann\r\n0042\r\n" + odd +
                  "\r\n 12ab\r\ncat\r\n+7\r\ndog\r\nab\r\neel\r\n-5\r\nextra\r\n999\r\n");
    ASSERT_TRUE(saveRankEntry("new", 1));
    EXPECT_EQ(rankFile(), "ann\r\n42\r\n" + odd + "\r\n12\r\ncat\r\n7\r\nnew\r\n1\r\ndog\r\n0\r\n");
    std::string name;
    int score = 0;
    ASSERT_TRUE(rankEntry(2, name, score));
    EXPECT_EQ(name, odd);
    EXPECT_EQ(score, 12);
}

TEST_F(RankingTest, HandEditedTableComesOutSortedWithSignsKept)
{
    writeRankFile("low\r\n-5\r\nmid\r\n200\r\ntop\r\n900\r\nsam\r\n200\r\nbig\r\n99999999999\r\n");
    // Place 5 holds the saturated score, which nothing can beat.
    EXPECT_FALSE(rankQualifies(INT_MAX));
    ASSERT_TRUE(saveRankEntry("neg", -7));
    EXPECT_EQ(rankFile(), "big\r\n2147483647\r\ntop\r\n900\r\nmid\r\n200\r\nsam\r\n200\r\nlow\r\n-5\r\n");
}

TEST_F(RankingTest, NameThatWouldBreakTheLinesIsRefused)
{
    writeRankFile(table(5, 4, 3, 2, 1));
    const std::string before = rankFile();
    EXPECT_FALSE(saveRankEntry("a\r\nb", 100));
    EXPECT_FALSE(saveRankEntry(std::string("a\0b", 3), 100));
    EXPECT_EQ(rankFile(), before);
}

TEST_F(RankingTest, UnwritableDataLeavesEverythingAsItWas)
{
    // Root ignores permissions, so block the directory with a plain file.
    writeBytes("Data", "not a directory");
    EXPECT_TRUE(rankQualifies(1));
    EXPECT_FALSE(saveRankEntry("abc", 1500));
    EXPECT_EQ(readBytes("Data"), "not a directory");
    EXPECT_EQ(listDir("."), std::vector<std::string>{"Data"});
}

TEST_F(RankingTest, RankFileThatIsADirectoryReadsEmptyAndSurvivesASave)
{
    std::filesystem::create_directories(RankFilePath);
    EXPECT_TRUE(rankQualifies(1));
    EXPECT_FALSE(saveRankEntry("abc", 1500));
    EXPECT_TRUE(std::filesystem::is_directory(RankFilePath));
    EXPECT_EQ(listDir("Data"), std::vector<std::string>{"Rank.ds"});
}

TEST_F(RankingTest, LetterIndicesMapToLowerCaseAndStrayOnesToA)
{
    EXPECT_EQ(letterChar(0), 'a');
    EXPECT_EQ(letterChar(1), 'b');
    EXPECT_EQ(letterChar(25), 'z');
    EXPECT_EQ(letterChar(26), 'a');
    EXPECT_EQ(letterChar(-1), 'a');
    EXPECT_EQ(letterChar(INT_MIN), 'a');
}

}  // namespace
