// The generated sounds, read with a small WAV parser of the test's own:
// format, length, peak and loudness, the music's loop seam, and that the
// chain effects climb.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/wav_check.h"
#include "tests/tools/asset_files.h"

namespace {

struct Wav {
    bool ok = false;
    int format = 0, channels = 0, rate = 0, bits = 0;
    std::vector<std::vector<double>> ch;  // samples per channel, -1..1
    double seconds() const { return ch.empty() ? 0 : double(ch[0].size()) / rate; }
};

std::uint32_t le32(const std::vector<unsigned char>& b, std::size_t i)
{
    return b[i] | (b[i + 1] << 8) | (b[i + 2] << 16) | (std::uint32_t(b[i + 3]) << 24);
}

std::uint16_t le16(const std::vector<unsigned char>& b, std::size_t i)
{
    return std::uint16_t(b[i] | (b[i + 1] << 8));
}

Wav readWav(const std::string& path)
{
    Wav w;
    std::ifstream f(path, std::ios::binary);
    const std::vector<unsigned char> b((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF" ||
        std::string(b.begin() + 8, b.begin() + 12) != "WAVE")
        return w;
    bool haveFmt = false;
    for (std::size_t pos = 12; pos + 8 <= b.size();) {
        const std::string id(b.begin() + pos, b.begin() + pos + 4);
        const std::uint32_t size = le32(b, pos + 4);
        const std::size_t body = pos + 8;
        if (body + size > b.size()) return w;
        if (id == "fmt " && size >= 16) {
            w.format = le16(b, body);
            w.channels = le16(b, body + 2);
            w.rate = static_cast<int>(le32(b, body + 4));
            w.bits = le16(b, body + 14);
            haveFmt = true;
        } else if (id == "data" && haveFmt && w.bits == 16 && w.channels > 0) {
            const std::size_t frames = size / (2 * w.channels);
            w.ch.assign(w.channels, std::vector<double>(frames));
            for (std::size_t i = 0; i < frames; ++i)
                for (int c = 0; c < w.channels; ++c)
                    w.ch[c][i] = static_cast<std::int16_t>(le16(b, body + (i * w.channels + c) * 2)) /
                                 32768.0;
            w.ok = true;
        }
        pos = body + size + (size & 1);
    }
    return w;
}

double toDb(double v) { return 20.0 * std::log10(std::max(v, 1e-12)); }

double peakDb(const Wav& w)
{
    double p = 0;
    for (const auto& c : w.ch)
        for (double v : c)
            p = std::max(p, std::fabs(v));
    return toDb(p);
}

double rmsDb(const Wav& w)
{
    double sum = 0;
    for (const auto& c : w.ch)
        for (double v : c)
            sum += v * v;
    return toDb(std::sqrt(sum / (w.ch.size() * w.ch[0].size())));
}

// Loudest and quietest RMS over windows of the given length.
void windowRmsDb(const Wav& w, double seconds, double& loudest, double& quietest)
{
    const std::size_t n = w.ch[0].size(), len = static_cast<std::size_t>(seconds * w.rate);
    double best = 0, worst = 1e30;
    for (std::size_t start = 0; start + len <= n; start += len / 4) {
        double sum = 0;
        for (const auto& c : w.ch)
            for (std::size_t i = start; i < start + len; ++i)
                sum += c[i] * c[i];
        const double ms = sum / (len * w.ch.size());
        best = std::max(best, ms);
        worst = std::min(worst, ms);
    }
    loudest = toDb(std::sqrt(best));
    quietest = toDb(std::sqrt(worst));
}

// Fundamental of the first 40 ms by autocorrelation (200 .. 2000 Hz): the
// shortest lag whose correlation peak comes close to the best one, so that
// a period twice as long (an octave down) is not taken instead.
double pitchAtStart(const Wav& w)
{
    const std::vector<double>& x = w.ch[0];
    const std::size_t n = std::min<std::size_t>(x.size(), w.rate / 25);
    const int first = w.rate / 2000, last = w.rate / 200;
    std::vector<double> r(last + 2, 0.0);
    double best = 0;
    for (int lag = first; lag <= last + 1; ++lag) {
        for (std::size_t i = 0; i + lag < n; ++i)
            r[lag] += x[i] * x[i + lag];
        r[lag] /= double(n - lag);
        if (lag <= last) best = std::max(best, r[lag]);
    }
    for (int lag = first + 1; lag <= last; ++lag)
        if (r[lag] >= 0.9 * best && r[lag] >= r[lag - 1] && r[lag] >= r[lag + 1]) return double(w.rate) / lag;
    return 0.0;
}

const double CeilingDb = -1.0;

const char* const Effects[] = {"Decide", "Select", "GameOver", "Turn",   "Move",   "Bottom",
                               "Chain1", "Chain2", "Chain3",   "Chain4", "Chain5", "GameStart"};

}  // namespace

TEST(SoundAssets, MusicIsLongLoudEnoughAndNeverClips)
{
    for (const char* name : {"Title", "Play", "Over"}) {
        const Wav w = readWav(assetPath(std::string("Sound/BGM/") + name + ".wav"));
        ASSERT_TRUE(w.ok) << name;
        EXPECT_EQ(1, w.format) << name;
        EXPECT_EQ(44100, w.rate) << name;
        EXPECT_EQ(16, w.bits) << name;
        EXPECT_TRUE(w.channels == 1 || w.channels == 2) << name;
        EXPECT_GE(w.seconds(), 30.0) << name;
        EXPECT_LE(peakDb(w), CeilingDb) << name;
        const double rms = rmsDb(w);
        EXPECT_GE(rms, -23.0) << name;
        EXPECT_LE(rms, -17.0) << name;
        // No gap: every second of the loop has something playing.
        double loud, quiet;
        windowRmsDb(w, 1.0, loud, quiet);
        EXPECT_GT(quiet, -40.0) << name << " falls silent somewhere";
    }
}

TEST(SoundAssets, MusicLoopSeamIsNoLargerThanAnOrdinaryStep)
{
    for (const char* name : {"Title", "Play", "Over"}) {
        const Wav w = readWav(assetPath(std::string("Sound/BGM/") + name + ".wav"));
        ASSERT_TRUE(w.ok) << name;
        for (const std::vector<double>& c : w.ch) {
            std::vector<double> steps;
            steps.reserve(c.size());
            for (std::size_t i = 1; i < c.size(); ++i)
                steps.push_back(std::fabs(c[i] - c[i - 1]));
            std::vector<double> sorted = steps;
            const std::size_t p99 = sorted.size() * 99 / 100;
            std::nth_element(sorted.begin(), sorted.begin() + p99, sorted.end());
            const double seam = std::fabs(c.front() - c.back());
            EXPECT_LE(seam, sorted[p99]) << name << ": the jump from the last sample to the first clicks";
            // The level does not jump either: the last and first 10 ms match.
            const std::size_t k = w.rate / 100;
            double head = 0, tail = 0;
            for (std::size_t i = 0; i < k; ++i) {
                head += c[i] * c[i];
                tail += c[c.size() - 1 - i] * c[c.size() - 1 - i];
            }
            EXPECT_LT(std::fabs(toDb(std::sqrt(head / k)) - toDb(std::sqrt(tail / k))), 12.0) << name;
        }
    }
}

TEST(SoundAssets, EffectsAreShortPromptLevelledAndUnderTheCeiling)
{
    const Wav music = readWav(assetPath("Sound/BGM/Play.wav"));
    ASSERT_TRUE(music.ok);
    const double musicRms = rmsDb(music);
    double lowest = 1e9, highest = -1e9;
    for (const char* name : Effects) {
        const Wav w = readWav(assetPath(std::string("Sound/SE/") + name + ".wav"));
        ASSERT_TRUE(w.ok) << name;
        EXPECT_EQ(1, w.format) << name;
        EXPECT_EQ(44100, w.rate) << name;
        EXPECT_EQ(16, w.bits) << name;
        EXPECT_GT(w.seconds(), 0.03) << name;
        EXPECT_LT(w.seconds(), 3.0) << name;
        EXPECT_LE(peakDb(w), CeilingDb) << name;
        double loud, quiet;
        windowRmsDb(w, 0.05, loud, quiet);
        lowest = std::min(lowest, loud);
        highest = std::max(highest, loud);
        // Above the music so it is heard, not so far that it dominates.
        EXPECT_GE(loud, musicRms + 2.0) << name;
        EXPECT_LE(loud, musicRms + 10.0) << name;
        // Sounds at once (within 10 ms) and ends without a click.
        const std::vector<double>& x = w.ch[0];
        std::size_t onset = 0;
        while (onset < x.size() && std::fabs(x[onset]) < 0.01)
            ++onset;
        EXPECT_LT(onset, static_cast<std::size_t>(w.rate / 100)) << name;
        double endPeak = 0;
        for (std::size_t i = x.size() - w.rate / 1000; i < x.size(); ++i)
            endPeak = std::max(endPeak, std::fabs(x[i]));
        EXPECT_LT(toDb(endPeak), -50.0) << name;
    }
    EXPECT_LE(highest - lowest, 4.0) << "effects are not levelled with each other";
}

TEST(SoundAssets, ChainEffectsRiseWithTheChain)
{
    double previous = 0;
    for (int step = 1; step <= 5; ++step) {
        const Wav w = readWav(assetPath("Sound/SE/Chain" + std::to_string(step) + ".wav"));
        ASSERT_TRUE(w.ok) << step;
        const double pitch = pitchAtStart(w);
        EXPECT_GT(pitch, previous * 1.03) << "chain " << step << " is not higher than chain " << step - 1;
        previous = pitch;
    }
}

TEST(SoundAssets, EverySoundPassesTheStrictCheckBeforeTheMixer)
{
    std::vector<std::string> paths;
    for (const char* name : {"Title", "Play", "Over"})
        paths.push_back(std::string("Sound/BGM/") + name + ".wav");
    for (const char* name : Effects)
        paths.push_back(std::string("Sound/SE/") + name + ".wav");
    for (const std::string& path : paths) {
        std::ifstream f(assetPath(path), std::ios::binary);
        const std::vector<unsigned char> b((std::istreambuf_iterator<char>(f)),
                                           std::istreambuf_iterator<char>());
        const char* reason = nullptr;
        platform::WavLayout layout;
        EXPECT_TRUE(platform::checkWav(b.data(), b.size(), &reason, &layout))
            << path << ": " << (reason ? reason : "");
        // The samples run to the end of the file: nothing is cut off.
        EXPECT_EQ(layout.dataOffset + layout.dataBytes, b.size()) << path;
    }
}
