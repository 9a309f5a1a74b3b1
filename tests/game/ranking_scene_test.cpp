// The ranking view.
#include "game_test_support.h"

using namespace gametest;
using platform::Key;

namespace {

class RankingViewTest : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        loadTestPictures();
        game_->changeScene(SceneRanking);
        headless::clearAudioLog();
    }

    static int rowY(int place) { return 50 + 60 * place; }

    // The glyph colour at name letter k of a row, or at score digit k.
    Rgb nameGlyph(int place, int k) { return screen(180 + 30 * k + 3, rowY(place) + 3); }
    Rgb scoreGlyph(int place, int k) { return screen(300 + 30 * k + 3, rowY(place) + 3); }

    static int letter(char c) { return c - 'a'; }
};

}  // namespace

TEST_F(RankingViewTest, RowsMissingFromTheFileRepeatTheNameAboveWithScoreZero)
{
    // Without a final CR LF there is no empty line after the last score.
    writeRankFile("zed\r\n900\r\nbob\r\n85");
    frame();

    EXPECT_EQ(nameGlyph(1, 0), letterColour(letter('z')));
    EXPECT_EQ(nameGlyph(1, 2), letterColour(letter('d')));
    EXPECT_EQ(scoreGlyph(1, 0), digitColour(9));
    EXPECT_EQ(scoreGlyph(1, 2), digitColour(0));
    EXPECT_EQ(nameGlyph(2, 0), letterColour(letter('b')));
    EXPECT_EQ(scoreGlyph(2, 1), digitColour(5));
    for (int place = 3; place <= 5; ++place) {
        EXPECT_EQ(nameGlyph(place, 0), letterColour(letter('b'))) << "place " << place;
        EXPECT_EQ(nameGlyph(place, 1), letterColour(letter('o'))) << "place " << place;
        EXPECT_EQ(scoreGlyph(place, 0), digitColour(0)) << "place " << place;
        EXPECT_EQ(scoreGlyph(place, 1), RankBgColour) << "place " << place;
    }
}

TEST_F(RankingViewTest, TheFileIsReadAnewEveryFrame)
{
    writeRankFile("amy\r\n10\r\n");
    frame();
    ASSERT_EQ(nameGlyph(1, 0), letterColour(letter('a')));

    writeRankFile("kim\r\n70\r\nlou\r\n60\r\n");
    frame();
    EXPECT_EQ(nameGlyph(1, 0), letterColour(letter('k')));
    EXPECT_EQ(scoreGlyph(1, 0), digitColour(7));
    EXPECT_EQ(nameGlyph(2, 0), letterColour(letter('l')));
}

TEST_F(RankingViewTest, ZReturnsToTheTitleWithoutTheDecideSound)
{
    game_->field().setScore(300);
    game_->field().moveMenuCursor('d');
    writeRankFile("amy\r\n10\r\n");

    tap(Key::Z);

    EXPECT_EQ(game_->scene(), SceneTitle);
    EXPECT_EQ(playsOf(effect(SeDecide)), 0);
    expectMusicStarted(BgmTitle);
    EXPECT_EQ(game_->field().menuCursor(), SceneGameStart);
    EXPECT_EQ(game_->field().score(), 0);
    // That frame still drew the ranking.
    EXPECT_EQ(nameGlyph(1, 0), letterColour(letter('a')));
}
