// Two copies of the game (two browser tabs) that save from the same stale
// table: the later one merges what the earlier one stored.
#include "rank/ranking.h"

#include "scratch_dir.h"

namespace {

class RankMergeTest : public ScratchDirTest {
protected:
    // A table from "name score" rows, best first; missing places are empty.
    static RankTable rows(std::initializer_list<std::pair<const char*, int>> entries)
    {
        RankTable t;
        int i = 0;
        for (const auto& e : entries)
            t[static_cast<std::size_t>(i++)] = RankRow{e.first, e.second};
        return t;
    }
    static std::string text(const RankTable& t) { return formatRankTable(t); }
};

TEST_F(RankMergeTest, TwoTabsSavingFromTheSameTableKeepBothScores)
{
    const RankTable base = rows({{"old", 100}});
    const RankTable mine = rows({{"ann", 300}, {"old", 100}});
    const RankTable theirs = rows({{"bob", 500}, {"old", 100}});
    EXPECT_EQ(text(mergeRankTables(mine, base, theirs)),
              text(rows({{"bob", 500}, {"ann", 300}, {"old", 100}})));
}

TEST_F(RankMergeTest, TheSameNameAndScoreEnteredInBothTabsCountsTwice)
{
    const RankTable mine = rows({{"zay", 30}});
    EXPECT_EQ(text(mergeRankTables(mine, RankTable{}, mine)), text(rows({{"zay", 30}, {"zay", 30}})));
}

TEST_F(RankMergeTest, RowsThatWereAlreadyThereAreNotDoubled)
{
    const RankTable base = rows({{"aaa", 900}, {"aaa", 900}, {"bbb", 10}});
    const RankTable mine = rows({{"aaa", 900}, {"aaa", 900}, {"new", 50}, {"bbb", 10}});
    const RankTable theirs = rows({{"aaa", 900}, {"aaa", 900}, {"bbb", 10}});
    EXPECT_EQ(text(mergeRankTables(mine, base, theirs)), text(mine));
    // Nothing new on either side: the stored table as it is.
    EXPECT_EQ(text(mergeRankTables(base, base, theirs)), text(theirs));
}

TEST_F(RankMergeTest, AFullTableKeepsTheBestFiveAndTiesGoBelow)
{
    const RankTable theirs = rows({{"t1", 500}, {"t2", 400}, {"t3", 300}, {"t4", 200}, {"t5", 100}});
    const RankTable mine = rows({{"m1", 450}, {"m2", 300}, {"m3", 50}});
    EXPECT_EQ(text(mergeRankTables(mine, RankTable{}, theirs)),
              text(rows({{"t1", 500}, {"m1", 450}, {"t2", 400}, {"t3", 300}, {"m2", 300}})));
}

TEST_F(RankMergeTest, TheFileIsRewrittenOnlyWhenTheMergeChangesIt)
{
    // A hand-edited file keeps its bytes while nothing is to be merged.
    const std::string edited = "ann\r\n0042\r\n\r\n0\r\n\r\n0\r\n\r\n0\r\n\r\n0\r\n";
    writeBytes(RankFilePath, edited);
    ASSERT_TRUE(mergeRankFile(edited, edited));
    EXPECT_EQ(readBytes(RankFilePath), edited);

    // Another tab stored bob since this one loaded the table with ann.
    const std::string base = edited;
    writeBytes(RankFilePath, text(rows({{"new", 70}, {"ann", 42}})));
    ASSERT_TRUE(mergeRankFile(text(rows({{"bob", 99}, {"ann", 42}})), base));
    EXPECT_EQ(readBytes(RankFilePath), text(rows({{"bob", 99}, {"new", 70}, {"ann", 42}})));
}

}  // namespace
