// Rank files the fuzz target reached on paths the other rank tests do not
// walk: names with a lone CR or LF at their edges, zero bytes inside score
// lines, ties at the ends of the int range, and saves into short files.
#include "rank/ranking.h"
#include "rank/text_file.h"

#include "scratch_dir.h"

#include <climits>
#include <string>

namespace {

class RankFuzzRegressionTest : public ScratchDirTest {
protected:
    static void writeRankFile(const std::string& bytes) { writeBytes(RankFilePath, bytes); }
    static std::string rankFile() { return readBytes(RankFilePath); }

    static std::string place(int p)
    {
        std::string name = "(missing)";
        int score = -1;
        EXPECT_TRUE(rankEntry(p, name, score));
        return name + "=" + std::to_string(score);
    }
};

}  // namespace

TEST_F(RankFuzzRegressionTest, NamesEndingInCrOrStartingWithLfSurviveTwoSaves)
{
    // "a\r" then CR LF, and "\nb": the separator search must not be fooled
    // into splitting at the lone CR or merging the LF.
    const std::string bytes{"a\r\r\n7\r\n\nb\r\n\n6\r\n\r\r\n5\r\n\n\r\r\n4\r\n"};
    writeRankFile(bytes);
    EXPECT_EQ(place(1), "a\r=7");
    EXPECT_EQ(place(2), "\nb=6");  // the score line "\n6" skips the LF like a blank
    EXPECT_EQ(place(3), "\r=5");
    EXPECT_EQ(place(4), "\n\r=4");
    EXPECT_EQ(place(5), "=0");  // the empty line after the final CR LF

    ASSERT_TRUE(saveRankEntry("\r", 6));
    ASSERT_TRUE(saveRankEntry("zz\n", 100));
    EXPECT_EQ(rankFile(), std::string("zz\n\r\n100\r\na\r\r\n7\r\n\nb\r\n6\r\n\r\r\n6\r\n"
                                      "\r\r\n5\r\n"));
    TextFileReader file;
    ASSERT_TRUE(file.open(RankFilePath));
    EXPECT_EQ(file.lineCount(), 11);
    EXPECT_EQ(place(4), "\r=6");
    EXPECT_EQ(place(5), "\r=5");
}

TEST_F(RankFuzzRegressionTest, ZeroByteInsideAScoreLineKeepsTheDigitsBeforeItAndDropsTheRest)
{
    const char raw[] = "abc\r\n12\0"
                       "34\r\nxyz\r\n999\r\n";
    writeRankFile(std::string(raw, sizeof raw - 1));
    EXPECT_EQ(place(1), "abc=12");
    EXPECT_EQ(place(2), "(missing)=0");
    EXPECT_TRUE(rankQualifies(1));
    ASSERT_TRUE(saveRankEntry("new", 500));
    EXPECT_EQ(rankFile(), "new\r\n500\r\nabc\r\n12\r\n\r\n0\r\n\r\n0\r\n\r\n0\r\n");
}

TEST_F(RankFuzzRegressionTest, TiesAtTheLargestScoreKeepTheOlderEntriesAndDropTheNewOne)
{
    std::string full;
    for (char c = 'a'; c <= 'e'; ++c)
        full += std::string(3, c) + "\r\n2147483647\r\n";
    writeRankFile(full);
    EXPECT_FALSE(rankQualifies(INT_MAX));
    ASSERT_TRUE(saveRankEntry("new", INT_MAX));
    EXPECT_EQ(rankFile(), full);
}

TEST_F(RankFuzzRegressionTest, SmallestScoreIntoAnEmptyFileSinksBelowTheEmptyPlaces)
{
    writeRankFile("");
    EXPECT_FALSE(rankQualifies(INT_MIN));
    ASSERT_TRUE(saveRankEntry("low", INT_MIN));
    // Five empty places score 0, above INT_MIN, so the new row is dropped.
    EXPECT_EQ(rankFile(), "\r\n0\r\n\r\n0\r\n\r\n0\r\n\r\n0\r\n\r\n0\r\n");
    writeRankFile("neg\r\n-2147483649\r\n");
    ASSERT_TRUE(saveRankEntry("one", -1));
    EXPECT_EQ(rankFile(), "\r\n0\r\n\r\n0\r\n\r\n0\r\n\r\n0\r\none\r\n-1\r\n");
}

TEST_F(RankFuzzRegressionTest, LoneCrAtTheEndOfTheFileIsPartOfTheLastScoreLine)
{
    writeRankFile("abc\r\n5\r");
    EXPECT_EQ(place(1), "abc=5");
    EXPECT_FALSE(rankQualifies(0));
    ASSERT_TRUE(saveRankEntry("two", 2));
    EXPECT_EQ(rankFile(), "abc\r\n5\r\ntwo\r\n2\r\n\r\n0\r\n\r\n0\r\n\r\n0\r\n");
}

TEST(RankTableRoundTrip, TheEdgeNamesTheFuzzerReachedFormatBackToTheSameBytes)
{
    // The in-memory fuzz target's round trip on the inputs above: names with
    // a lone CR or LF at their edges, a zero byte ending the text early.
    for (const std::string& bytes :
         {std::string{"a\r\r\n7\r\n\nb\r\n\n6\r\n\r\r\n5\r\n\n\r\r\n4\r\n"}, std::string{"x\r\n12\0"
                                                                                         "34\r\ny\r\n5\r\n",
                                                                                         16}}) {
        const RankTable table = parseRankTable(bytes);
        const std::string text = formatRankTable(table);
        const RankTable again = parseRankTable(text);
        for (int i = 0; i < RankPlaces; ++i) {
            EXPECT_EQ(again[i].name, table[i].name) << i;
            EXPECT_EQ(again[i].score, table[i].score) << i;
        }
        EXPECT_EQ(formatRankTable(again), text);
    }
    EXPECT_EQ(formatRankTable(parseRankTable(std::string{"x\r\n12\0"
                                                         "34\r\n",
                                                         9})),
              "x\r\n12\r\n\r\n0\r\n\r\n0\r\n\r\n0\r\n\r\n0\r\n");
}
