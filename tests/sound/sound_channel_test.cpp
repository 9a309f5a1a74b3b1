#include "sound/sound_channel.h"

#include "platform/headless.h"
#include "tests/platform/special_files.h"
#include "tests/sound/sound_files.h"

#include <gtest/gtest.h>

using headless::AudioOp;

namespace {

class SoundChannelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        headless::reset();
        ASSERT_TRUE(files.ok());
    }
    SoundFiles files;
};

TEST_F(SoundChannelTest, MissingFileLeavesChannelClosedAndEveryCallFalse)
{
    SoundChannel c;
    EXPECT_FALSE(c.open(files.path("Missing.wav")));
    EXPECT_FALSE(c.isOpen());
    EXPECT_EQ(c.handle(), platform::NoSound);
    EXPECT_FALSE(c.play());
    EXPECT_FALSE(c.stop());
    EXPECT_FALSE(c.close());
    EXPECT_TRUE(headless::audioLog().empty());
}

TEST_F(SoundChannelTest, AFifoInPlaceOfASoundIsAMissingSound)
{
    const std::string fifo = files.path("Title.wav");
    specialfiles::makeFifo(fifo);
    SoundChannel c;
    bool opened = true;
    EXPECT_TRUE(specialfiles::finishesWithoutWaiting(fifo, [&] { opened = c.open(fifo); }));
    EXPECT_FALSE(opened);
    EXPECT_FALSE(c.isOpen());
    EXPECT_TRUE(headless::audioLog().empty());
}

TEST_F(SoundChannelTest, EveryPlayStartsAgainAndStopKeepsTheSoundLoaded)
{
    SoundChannel c;
    ASSERT_TRUE(c.open(files.make("Move.wav")));
    EXPECT_TRUE(c.play());
    EXPECT_TRUE(c.play());
    EXPECT_TRUE(headless::soundPlaying(c.handle()));
    EXPECT_TRUE(c.stop());
    EXPECT_FALSE(headless::soundPlaying(c.handle()));
    EXPECT_TRUE(c.isOpen());
    EXPECT_TRUE(c.play());

    const auto& log = headless::audioLog();
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[1].op, AudioOp::Play);
    EXPECT_EQ(log[2].op, AudioOp::Play);
    EXPECT_EQ(log[3].op, AudioOp::Stop);
    EXPECT_EQ(log[4].op, AudioOp::Play);
}

TEST_F(SoundChannelTest, PlaysAreReportedOnlyWithANotifyWindow)
{
    SoundChannel c;
    ASSERT_TRUE(c.open(files.make("Title.wav")));
    c.play();
    c.setNotifyWindow(1);
    c.play();
    c.setNotifyWindow(platform::NoWindow);
    c.play();
    const auto& log = headless::audioLog();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_FALSE(log[1].reportEnd);
    EXPECT_TRUE(log[2].reportEnd);
    EXPECT_FALSE(log[3].reportEnd);
}

TEST_F(SoundChannelTest, ReopeningReleasesTheEarlierSoundFirst)
{
    SoundChannel c;
    ASSERT_TRUE(c.open(files.make("A.wav")));
    const platform::SoundHandle first = c.handle();
    ASSERT_TRUE(c.open(files.make("B.wav")));
    EXPECT_NE(c.handle(), first);
    EXPECT_EQ(headless::soundPath(first), "");
    EXPECT_EQ(headless::soundPath(c.handle()), files.path("B.wav"));

    // A failed reopen still lets go of the old sound and leaves it closed.
    const platform::SoundHandle second = c.handle();
    EXPECT_FALSE(c.open(files.path("Missing.wav")));
    EXPECT_FALSE(c.isOpen());
    EXPECT_EQ(headless::soundPath(second), "");
}

TEST_F(SoundChannelTest, CloseReleasesOnceAndTheDestructorClosesAnOpenChannel)
{
    platform::SoundHandle kept;
    {
        SoundChannel c;
        ASSERT_TRUE(c.open(files.make("A.wav")));
        EXPECT_TRUE(c.close());
        EXPECT_FALSE(c.close());
        EXPECT_FALSE(c.play());
        ASSERT_TRUE(c.open(files.make("B.wav")));
        kept = c.handle();
    }
    EXPECT_EQ(headless::soundPath(kept), "");
    int closes = 0;
    for (const auto& e : headless::audioLog())
        if (e.op == AudioOp::Close) ++closes;
    EXPECT_EQ(closes, 2);
}

}  // namespace
