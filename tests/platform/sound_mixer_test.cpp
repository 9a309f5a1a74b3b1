// The game's mixer and its two kinds of sound: clips in memory and tracks
// read from their file while they play. Only a play that runs out is an end;
// a stop, a restart or a close never is.
#include "platform/sound_mixer.h"

#include "tests/platform/special_files.h"
#include "tests/rank/scratch_dir.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

using platform::ClipSource;
using platform::FileStreamSource;
using platform::SoundMixer;
using platform::WavLayout;

namespace {

// A 16-bit PCM file at 44,100 Hz whose samples are the given values, with
// an odd "LIST" chunk before the samples and one after them, which a play
// must never reach.
std::string wavFile(const std::vector<std::int16_t>& samples, int channels)
{
    auto u32 = [](std::uint32_t v) {
        return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                           static_cast<char>(v >> 24)};
    };
    auto u16 = [](std::uint32_t v) { return std::string{static_cast<char>(v), static_cast<char>(v >> 8)}; };
    std::string data;
    for (std::int16_t s : samples)
        data += u16(static_cast<std::uint16_t>(s));
    const std::string body = "WAVE" + std::string("fmt ") + u32(16) + u16(1) + u16(channels) + u32(44100) +
                             u32(44100 * 2 * channels) + u16(2 * channels) + u16(16) + "LIST" + u32(3) +
                             "abc" + std::string(1, '\0') + "data" +
                             u32(static_cast<std::uint32_t>(data.size())) + data + "junk" + u32(4) +
                             "\x7f\x7f\x7f\x7f";
    return "RIFF" + u32(static_cast<std::uint32_t>(body.size())) + body;
}

std::vector<std::int16_t> ramp(std::size_t n, int channels)
{
    std::vector<std::int16_t> v(n * static_cast<std::size_t>(channels));
    for (std::size_t i = 0; i < v.size(); ++i)
        v[i] = static_cast<std::int16_t>(i * 7 - 3000);
    return v;
}

class SoundFileTest : public ScratchDirTest {
protected:
    std::unique_ptr<FileStreamSource> stream(const std::string& path, std::uint64_t cap = 1u << 20)
    {
        return FileStreamSource::open(path, cap, &reason);
    }
    const char* reason = "stale";
};

std::unique_ptr<ClipSource> clip(const std::vector<std::int16_t>& samples, int channels)
{
    const std::string file = wavFile(samples, channels);
    std::vector<unsigned char> bytes(file.begin(), file.end());
    WavLayout layout;
    EXPECT_TRUE(platform::checkWav(bytes.data(), bytes.size(), nullptr, &layout));
    return std::make_unique<ClipSource>(std::move(bytes), layout);
}

std::vector<std::int16_t> mixFrames(SoundMixer& mixer, std::size_t frames, bool* reported = nullptr)
{
    std::vector<std::int16_t> out(frames * 2, 123);
    const bool r = mixer.mix(out.data(), frames);
    if (reported) *reported = r;
    return out;
}

}  // namespace

TEST_F(SoundFileTest, ATrackIsReadFromItsFileUpToTheEndOfItsSamples)
{
    const std::vector<std::int16_t> samples = ramp(3000, 2);
    writeBytes("track.wav", wavFile(samples, 2));
    auto track = stream("track.wav");
    ASSERT_TRUE(track) << reason;
    EXPECT_EQ(track->channels(), 2);
    EXPECT_EQ(track->rate(), 44100u);
    std::vector<std::int16_t> got(8000 * 2);
    // In pieces, as the audio thread asks: the last piece comes short.
    std::size_t frames = 0;
    for (std::size_t n; (n = track->read(got.data() + frames * 2, 700)) > 0;)
        frames += n;
    EXPECT_EQ(frames, 3000u);
    got.resize(frames * 2);
    EXPECT_EQ(got, samples);  // nothing of the chunk after the samples
    track->rewind();
    EXPECT_EQ(track->read(got.data(), 1), 1u);
    EXPECT_EQ(got[0], samples[0]);
}

TEST_F(SoundFileTest, OnlyARegularCheckedFileWithinTheCapIsPlayedFromItsFile)
{
    specialfiles::makeFifo("fifo.wav");
    EXPECT_TRUE(specialfiles::finishesWithoutWaiting("fifo.wav", [&] { EXPECT_FALSE(stream("fifo.wav")); }));
    EXPECT_EQ(reason, nullptr);  // like a missing file: silent
    EXPECT_FALSE(stream("/dev/zero"));
    EXPECT_FALSE(stream("missing.wav"));
    EXPECT_EQ(reason, nullptr);

    writeBytes("big.wav", wavFile(ramp(1000, 2), 2));
    EXPECT_FALSE(stream("big.wav", 1000));
    EXPECT_STREQ(reason, "larger than the cap for a sound file");

    std::string eightBit = wavFile(ramp(10, 1), 1);
    eightBit[34] = 8;  // bits per sample
    writeBytes("eight.wav", eightBit);
    EXPECT_FALSE(stream("eight.wav"));
    EXPECT_STREQ(reason, "not 16 bits per sample");

    // Samples promised past the end of the file: refused, not played short.
    std::string cut = wavFile(ramp(100, 2), 2);
    cut.resize(cut.size() - 200);
    writeBytes("cut.wav", cut);
    EXPECT_FALSE(stream("cut.wav"));
    EXPECT_STREQ(reason, "RIFF chunk past the end of the file");
}

TEST_F(SoundFileTest, ATrackCutShortWhileItPlaysEndsWhereTheFileEnds)
{
    const std::string whole = wavFile(ramp(2000, 2), 2);
    writeBytes("track.wav", whole);
    auto track = stream("track.wav");
    ASSERT_TRUE(track) << reason;
    writeBytes("track.wav", whole.substr(0, 44 + 12 + 400 * 4));  // someone truncates it
    std::vector<std::int16_t> got(4000 * 2);
    EXPECT_EQ(track->read(got.data(), 4000), 400u);
    EXPECT_EQ(track->read(got.data(), 4000), 0u);
}

TEST(WavHeaderCheck, AgreesWithTheWholeFileCheckWhenTheHeaderIsThere)
{
    for (int channels : {1, 2}) {
        const std::string file = wavFile(ramp(50, channels), channels);
        const auto* b = reinterpret_cast<const unsigned char*>(file.data());
        WavLayout whole, head;
        ASSERT_TRUE(platform::checkWav(b, file.size(), nullptr, &whole));
        const char* why = "stale";
        ASSERT_TRUE(platform::checkWavHeader(b, whole.dataOffset, file.size(), &why, &head)) << why;
        EXPECT_EQ(why, nullptr);
        EXPECT_EQ(head.dataOffset, whole.dataOffset);
        EXPECT_EQ(head.dataBytes, whole.dataBytes);
        EXPECT_EQ(head.channels, channels);
        // The same bounds as the whole check: a file shorter than its RIFF
        // chunk fails the same way, and a header not read is refused.
        EXPECT_FALSE(platform::checkWavHeader(b, whole.dataOffset, file.size() - 9, &why));
        EXPECT_STREQ(why, "RIFF chunk past the end of the file");
        EXPECT_FALSE(platform::checkWavHeader(b, 30, file.size(), &why));
        EXPECT_STREQ(why, "chunks before the samples longer than the part read");
    }
}

TEST(SoundMixer, AMonoClipSoundsOnBothSidesAtItsVolumeThenEndsWithoutAReport)
{
    SoundMixer mixer;
    ASSERT_TRUE(mixer.open(3, clip({1000, -1000, 30000}, 1)));
    ASSERT_TRUE(mixer.setVolume(3, 64));
    ASSERT_TRUE(mixer.play(3, false));
    bool reported = true;
    const auto out = mixFrames(mixer, 5, &reported);
    EXPECT_EQ(out, (std::vector<std::int16_t>{500, 500, -500, -500, 15000, 15000, 0, 0, 0, 0}));
    EXPECT_FALSE(reported);  // an effect's end asks for nothing
    EXPECT_FALSE(mixer.playing(3));
    EXPECT_TRUE(mixer.takeEnded(3));
    EXPECT_FALSE(mixer.takeEnded(3));
}

TEST(SoundMixer, SoundsAddUpAndAreHeldAtTheLimitsOfSixteenBits)
{
    SoundMixer mixer;
    mixer.open(0, clip({30000, -30000, 100, 200}, 2));
    mixer.open(1, clip({30000, -30000, 1, 2}, 2));
    mixer.play(0, false);
    mixer.play(1, false);
    EXPECT_EQ(mixFrames(mixer, 2), (std::vector<std::int16_t>{32767, -32768, 101, 202}));
}

TEST(SoundMixer, OnlyTheNaturalEndOfAReportedPlayIsReported)
{
    SoundMixer mixer;
    mixer.open(0, clip(ramp(100, 2), 2));
    mixer.play(0, true);
    bool reported = true;
    mixFrames(mixer, 60, &reported);
    EXPECT_FALSE(reported);
    mixer.play(0, true);  // a restart is not an end
    mixFrames(mixer, 60, &reported);
    EXPECT_FALSE(reported);
    EXPECT_FALSE(mixer.takeEnded(0));
    mixer.stop(0);  // nor is a stop
    mixFrames(mixer, 200, &reported);
    EXPECT_FALSE(reported);
    mixer.play(0, true);
    mixFrames(mixer, 100, &reported);  // exactly its length: the end shows on the next frames
    mixFrames(mixer, 1, &reported);
    EXPECT_TRUE(reported);
    EXPECT_TRUE(mixer.takeEnded(0));
    mixer.play(0, true);
    mixer.close(0);  // nor is a close
    mixFrames(mixer, 200, &reported);
    EXPECT_FALSE(reported);
    EXPECT_FALSE(mixer.isOpen(0));
}

TEST(SoundMixer, APauseHoldsEverySoundWhereItIsAndSoundsStartedMeanwhile)
{
    SoundMixer mixer;
    mixer.open(0, clip({10, 11, 12, 13}, 1));
    mixer.play(0, true);
    EXPECT_EQ(mixFrames(mixer, 1), (std::vector<std::int16_t>{10, 10}));
    mixer.setPaused(true);
    mixer.open(1, clip({5, 5}, 1));
    mixer.play(1, false);
    bool reported = true;
    EXPECT_EQ(mixFrames(mixer, 50, &reported), std::vector<std::int16_t>(100, 0));
    EXPECT_FALSE(reported);
    EXPECT_TRUE(mixer.playing(0));
    mixer.setPaused(false);
    EXPECT_EQ(mixFrames(mixer, 3), (std::vector<std::int16_t>{16, 16, 17, 17, 13, 13}));
}

TEST_F(SoundFileTest, ATrackPlayedFromItsFileLoopsOnlyThroughItsReportedEnd)
{
    writeBytes("track.wav", wavFile(ramp(1500, 2), 2));
    SoundMixer mixer;
    ASSERT_TRUE(mixer.open(5, stream("track.wav")));
    mixer.play(5, true);
    bool reported = false;
    const auto first = mixFrames(mixer, 1000, &reported);
    EXPECT_FALSE(reported);
    EXPECT_EQ(first[0], -3000);
    mixFrames(mixer, 1000, &reported);
    EXPECT_TRUE(reported);
    mixer.play(5, true);  // the game's answer: from the beginning again
    EXPECT_EQ(mixFrames(mixer, 1)[0], -3000);
}
