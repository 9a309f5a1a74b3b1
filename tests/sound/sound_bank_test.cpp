#include "sound/sound_bank.h"

#include "platform/headless.h"
#include "tests/sound/sound_files.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

using headless::AudioOp;

namespace {

const char* const BgmFiles[BgmCount] = {"Title.wav", "Play.wav", "Over.wav"};
const char* const SeFiles[SeCount] = {"Decide.wav", "Select.wav", "GameOver.wav", "Turn.wav",
                                      "Move.wav",   "Bottom.wav", "Chain1.wav",   "Chain2.wav",
                                      "Chain3.wav", "Chain4.wav", "Chain5.wav",   "GameStart.wav"};

constexpr platform::WindowId Window = 1;

class SoundBankTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        headless::reset();
        ASSERT_TRUE(files.ok());
        bank.setWindow(Window);
        for (int i = 0; i < BgmCount; ++i)
            ASSERT_TRUE(bank.loadBgm(static_cast<BgmId>(i), files.make(BgmFiles[i])));
        for (int i = 0; i < SeCount; ++i)
            ASSERT_TRUE(bank.loadEffect(static_cast<SeId>(i), files.make(SeFiles[i])));
        headless::clearAudioLog();
        // The platform starts with a restart pending; these tests watch new ones.
        platform::takeBgmRestartRequest();
    }

    platform::SoundHandle bgm(int id) const { return bank.bgmChannel(static_cast<BgmId>(id)).handle(); }
    platform::SoundHandle se(int id) const { return bank.effectChannel(static_cast<SeId>(id)).handle(); }
    bool bgmPlaying(int id) const { return headless::soundPlaying(bgm(id)); }
    bool sePlaying(int id) const { return headless::soundPlaying(se(id)); }

    // The sounds stopped since the log was last cleared, in order.
    static std::vector<platform::SoundHandle> stopped()
    {
        std::vector<platform::SoundHandle> out;
        for (const auto& e : headless::audioLog())
            if (e.op == AudioOp::Stop) out.push_back(e.sound);
        return out;
    }

    SoundFiles files;
    SoundBank bank;
};

TEST_F(SoundBankTest, AnEffectCutsOffOnlyTheMenuAndGameOverSounds)
{
    bank.playEffect(SeDecide);
    bank.playEffect(SeTurn);
    EXPECT_FALSE(sePlaying(SeDecide));
    headless::clearAudioLog();

    EXPECT_TRUE(bank.playEffect(SeMove));
    const std::vector<platform::SoundHandle> expected = {se(SeDecide), se(SeSelect), se(SeGameOver)};
    EXPECT_EQ(stopped(), expected);
    EXPECT_TRUE(sePlaying(SeTurn));
    EXPECT_TRUE(sePlaying(SeMove));

    const auto& last = headless::audioLog().back();
    EXPECT_EQ(last.op, AudioOp::Play);
    EXPECT_EQ(last.sound, se(SeMove));
    EXPECT_FALSE(last.reportEnd);
}

TEST_F(SoundBankTest, AnEffectPlayedAgainRestartsAndTheMusicPlaysOn)
{
    bank.playBgm(BgmPlay);
    bank.playEffect(SeMove);
    headless::clearAudioLog();
    EXPECT_TRUE(bank.playEffect(SeMove));
    EXPECT_TRUE(sePlaying(SeMove));
    EXPECT_TRUE(bgmPlaying(BgmPlay));
    EXPECT_EQ(headless::audioLog().back().op, AudioOp::Play);
    EXPECT_EQ(headless::audioLog().back().sound, se(SeMove));
}

TEST_F(SoundBankTest, MusicStopsAllThreeTracksAndPlaysReported)
{
    bank.playBgm(BgmTitle);
    bank.playEffect(SeTurn);
    headless::clearAudioLog();

    EXPECT_TRUE(bank.playBgm(BgmOver));
    const std::vector<platform::SoundHandle> expected = {bgm(BgmTitle), bgm(BgmPlay), bgm(BgmOver)};
    EXPECT_EQ(stopped(), expected);
    EXPECT_FALSE(bgmPlaying(BgmTitle));
    EXPECT_TRUE(bgmPlaying(BgmOver));
    EXPECT_TRUE(sePlaying(SeTurn));
    EXPECT_TRUE(headless::audioLog().back().reportEnd);

    // The playing track again starts from its beginning.
    headless::clearAudioLog();
    EXPECT_TRUE(bank.playBgm(BgmOver));
    EXPECT_EQ(headless::audioLog().back().op, AudioOp::Play);
    EXPECT_EQ(headless::audioLog().back().sound, bgm(BgmOver));
}

TEST_F(SoundBankTest, BadIdsAndFailedLoadsStopNothing)
{
    bank.playBgm(BgmTitle);
    bank.playEffect(SeDecide);
    // A reload of a missing file leaves the channel closed.
    EXPECT_FALSE(bank.loadBgm(BgmPlay, files.path("Missing.wav")));
    EXPECT_FALSE(bank.loadEffect(SeMove, files.path("Missing.wav")));
    headless::clearAudioLog();

    EXPECT_FALSE(bank.playBgm(static_cast<BgmId>(-1)));
    EXPECT_FALSE(bank.playBgm(static_cast<BgmId>(BgmCount)));
    EXPECT_FALSE(bank.playBgm(BgmPlay));
    EXPECT_TRUE(bank.selectBgm(BgmPlay));
    EXPECT_FALSE(bank.playSelectedBgm());
    EXPECT_FALSE(bank.playEffect(static_cast<SeId>(-1)));
    EXPECT_FALSE(bank.playEffect(static_cast<SeId>(SeCount)));
    EXPECT_FALSE(bank.playEffect(SeMove));

    EXPECT_TRUE(headless::audioLog().empty());
    EXPECT_TRUE(bgmPlaying(BgmTitle));
    EXPECT_TRUE(sePlaying(SeDecide));
}

TEST_F(SoundBankTest, LoadsOutOfRangeOpenNothing)
{
    EXPECT_FALSE(bank.loadBgm(static_cast<BgmId>(-1), files.path("Title.wav")));
    EXPECT_FALSE(bank.loadBgm(static_cast<BgmId>(BgmCount), files.path("Title.wav")));
    EXPECT_FALSE(bank.loadEffect(static_cast<SeId>(-1), files.path("Move.wav")));
    EXPECT_FALSE(bank.loadEffect(static_cast<SeId>(SeCount), files.path("Move.wav")));
    EXPECT_TRUE(headless::audioLog().empty());
    EXPECT_FALSE(bank.bgmChannel(static_cast<BgmId>(BgmCount)).isOpen());
    EXPECT_FALSE(bank.effectChannel(static_cast<SeId>(-1)).isOpen());
}

TEST_F(SoundBankTest, SelectingNoMusicLeavesTheCurrentTrackPlaying)
{
    EXPECT_EQ(bank.selectedBgm(), NoBgm);
    ASSERT_TRUE(bank.selectBgm(BgmPlay));
    EXPECT_TRUE(headless::audioLog().empty()) << "selecting does not play";
    ASSERT_TRUE(bank.playSelectedBgm());
    EXPECT_TRUE(bgmPlaying(BgmPlay));

    EXPECT_TRUE(bank.selectBgm(NoBgm));
    headless::clearAudioLog();
    EXPECT_FALSE(bank.playSelectedBgm());
    EXPECT_TRUE(headless::audioLog().empty());
    EXPECT_TRUE(bgmPlaying(BgmPlay));
}

TEST_F(SoundBankTest, SelectingAnUnknownTrackKeepsTheSelection)
{
    ASSERT_TRUE(bank.selectBgm(BgmOver));
    EXPECT_FALSE(bank.selectBgm(static_cast<BgmId>(3)));
    EXPECT_FALSE(bank.selectBgm(static_cast<BgmId>(-2)));
    EXPECT_EQ(bank.selectedBgm(), BgmOver);
    EXPECT_TRUE(bank.playSelectedBgm());
    EXPECT_TRUE(bgmPlaying(BgmOver));
}

TEST_F(SoundBankTest, OnlyTheNaturalEndOfMusicAsksForARestart)
{
    bank.selectBgm(BgmTitle);
    bank.playSelectedBgm();
    bank.playEffect(SeTurn);

    headless::finishSound(se(SeTurn));
    EXPECT_FALSE(platform::takeBgmRestartRequest());

    // Switching tracks stops the old one; that is no end of play.
    bank.playBgm(BgmPlay);
    bank.playBgm(BgmTitle);
    EXPECT_FALSE(platform::takeBgmRestartRequest());

    headless::finishSound(bgm(BgmTitle));
    EXPECT_TRUE(platform::takeBgmRestartRequest());
    EXPECT_FALSE(platform::takeBgmRestartRequest());

    // The frame thread's answer: the selected track from its beginning.
    headless::clearAudioLog();
    EXPECT_TRUE(bank.playSelectedBgm());
    EXPECT_TRUE(bgmPlaying(BgmTitle));
    EXPECT_EQ(headless::audioLog().back().sound, bgm(BgmTitle));
    EXPECT_TRUE(headless::audioLog().back().reportEnd);
}

TEST_F(SoundBankTest, TeardownClosesEveryOpenChannelOnce)
{
    std::set<platform::SoundHandle> open;
    {
        SoundBank other;
        ASSERT_TRUE(other.loadBgm(BgmTitle, files.path("Title.wav")));
        ASSERT_TRUE(other.loadEffect(SeMove, files.path("Move.wav")));
        ASSERT_TRUE(other.loadEffect(SeChain5, files.path("Chain5.wav")));
        open = {other.bgmChannel(BgmTitle).handle(), other.effectChannel(SeMove).handle(),
                other.effectChannel(SeChain5).handle()};
        other.playBgm(BgmTitle);
        headless::clearAudioLog();
    }
    std::multiset<platform::SoundHandle> closed;
    for (const auto& e : headless::audioLog())
        if (e.op == AudioOp::Close) closed.insert(e.sound);
    EXPECT_EQ(closed, std::multiset<platform::SoundHandle>(open.begin(), open.end()));
    for (platform::SoundHandle h : open)
        EXPECT_FALSE(headless::soundPlaying(h));
}

TEST_F(SoundBankTest, WithoutAudioTheGameRunsSilently)
{
    headless::setAudioAvailable(false);
    SoundBank silent;
    silent.setWindow(Window);
    EXPECT_FALSE(silent.loadBgm(BgmTitle, files.path("Title.wav")));
    EXPECT_FALSE(silent.loadEffect(SeDecide, files.path("Decide.wav")));
    EXPECT_TRUE(silent.selectBgm(BgmTitle));
    EXPECT_FALSE(silent.playSelectedBgm());
    EXPECT_FALSE(silent.playEffect(SeDecide));
    EXPECT_TRUE(headless::messageBoxes().empty());
}

}  // namespace
