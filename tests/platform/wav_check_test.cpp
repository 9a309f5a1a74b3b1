// The strict look at sound bytes before the mixer gets them: the shape the
// game's sounds have gets through, each other shape is turned away with a
// reason naming the first check it fails.
#include "platform/wav_check.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;
using platform::checkWav;
using platform::WavLayout;

// Two stereo frames of 16-bit PCM at 44,100 Hz, exactly as the asset
// generator writes a sound: RIFF header, a 16-byte "fmt ", then "data".
const Bytes Stereo = {
    'R',  'I',  'F',  'F',  44,   0,    0,    0,   'W',  'A',  'V', 'E',               // 36 + 8 data bytes
    'f',  'm',  't',  ' ',  16,   0,    0,    0,                                       //
    1,    0,    2,    0,    0x44, 0xac, 0,    0,   0x10, 0xb1, 2,   0,   4, 0, 16, 0,  // PCM, 2 ch, 44100
    'd',  'a',  't',  'a',  8,    0,    0,    0,                                       //
    0x01, 0x00, 0xff, 0xff, 0x00, 0x80, 0xff, 0x7f};                                   // L R L R

constexpr std::size_t RiffSize = 4, Channels = 22, Rate = 24, ByteRate = 28, Block = 32, Bits = 34,
                      DataId = 36, DataSize = 40;

void put16(Bytes& b, std::size_t at, std::uint16_t v)
{
    b.at(at) = static_cast<unsigned char>(v);
    b.at(at + 1) = static_cast<unsigned char>(v >> 8);
}

void put32(Bytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.at(at + i) = static_cast<unsigned char>(v >> (8 * i));
}

Bytes chunk(const char* id, const Bytes& body, bool pad = true)
{
    const auto n = static_cast<std::uint32_t>(body.size());
    Bytes c = {static_cast<unsigned char>(id[0]),   static_cast<unsigned char>(id[1]),
               static_cast<unsigned char>(id[2]),   static_cast<unsigned char>(id[3]),
               static_cast<unsigned char>(n),       static_cast<unsigned char>(n >> 8),
               static_cast<unsigned char>(n >> 16), static_cast<unsigned char>(n >> 24)};
    c.insert(c.end(), body.begin(), body.end());
    if (pad && body.size() % 2 == 1) c.push_back(0);
    return c;
}

// A RIFF "WAVE" file of the given chunks, its size field telling the truth.
Bytes riff(const std::vector<Bytes>& chunks)
{
    Bytes b = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    for (const Bytes& c : chunks)
        b.insert(b.end(), c.begin(), c.end());
    put32(b, RiffSize, static_cast<std::uint32_t>(b.size() - 8));
    return b;
}

const Bytes StereoFmt(Stereo.begin() + 20, Stereo.begin() + 36);
const Bytes StereoData(Stereo.begin() + 44, Stereo.end());

std::string checked(const Bytes& b, WavLayout* layout = nullptr)
{
    const char* reason = "stale";
    const bool ok = checkWav(b.data(), b.size(), &reason, layout);
    if (ok != (reason == nullptr)) return "accepted and rejected at once";
    return ok ? "ok" : reason;
}

}  // namespace

TEST(WavCheck, TheShapeTheGameShipsIsAcceptedAndItsSamplesLocated)
{
    WavLayout layout;
    EXPECT_EQ(checked(Stereo, &layout), "ok");
    EXPECT_EQ(layout.channels, 2);
    EXPECT_EQ(layout.bitsPerSample, 16);
    EXPECT_EQ(layout.sampleRate, 44100u);
    EXPECT_EQ(layout.dataOffset, 44u);
    EXPECT_EQ(layout.dataBytes, 8u);

    Bytes mono = Stereo;
    put16(mono, Channels, 1);
    put32(mono, ByteRate, 88200);
    put16(mono, Block, 2);
    EXPECT_EQ(checked(mono, &layout), "ok");
    EXPECT_EQ(layout.channels, 1);
    EXPECT_EQ(layout.dataBytes, 8u);  // four mono frames
}

TEST(WavCheck, AnySampleRateInTheSaneRangeIsAccepted)
{
    for (std::uint32_t rate : {8000u, 22050u, 48000u, 192000u}) {
        Bytes b = Stereo;
        put32(b, Rate, rate);
        put32(b, ByteRate, rate * 4);
        EXPECT_EQ(checked(b), "ok") << rate;
    }
}

TEST(WavCheck, UnknownChunksAreSkippedWithTheirPadByte)
{
    // An odd-sized list before "fmt ", a "fact" between it and "data", and
    // trailing chunks after "data" (never looked at).
    const Bytes file =
        riff({chunk("LIST", {'I', 'N', 'F'}), chunk("fmt ", StereoFmt), chunk("fact", {2, 0, 0, 0}),
              chunk("data", StereoData), chunk("junk", {1, 2, 3})});
    WavLayout layout;
    EXPECT_EQ(checked(file, &layout), "ok");
    EXPECT_EQ(layout.dataOffset, 12u + 12 + 24 + 12 + 8);
    EXPECT_EQ(Bytes(file.begin() + layout.dataOffset, file.begin() + layout.dataOffset + 8), StereoData);

    // Without its pad byte the list swallows the first byte of "fmt ", and
    // the walk then reads a chunk that runs past the end.
    const Bytes unpadded =
        riff({chunk("LIST", {'I', 'N', 'F'}, false), chunk("fmt ", StereoFmt), chunk("data", StereoData)});
    EXPECT_EQ(checked(unpadded), "chunk past the end of the RIFF chunk");
}

TEST(WavCheck, BytesAfterTheRiffChunkAreIgnored)
{
    Bytes b = Stereo;
    b.insert(b.end(), {'I', 'D', '3', 0, 0, 0, 7});
    EXPECT_EQ(checked(b), "ok");
}

TEST(WavCheck, AFileCutShortInsideItsSamplesIsRefusedNotPlayedInPart)
{
    const Bytes cut(Stereo.begin(), Stereo.end() - 1);
    EXPECT_EQ(checked(cut), "RIFF chunk past the end of the file");
    // Even when the RIFF size was made to fit, the data chunk still says more.
    Bytes fitted = cut;
    put32(fitted, RiffSize, static_cast<std::uint32_t>(fitted.size() - 8));
    EXPECT_EQ(checked(fitted), "chunk past the end of the RIFF chunk");
    // A stream writer's "unknown length" is refused the same way.
    Bytes streamed = Stereo;
    put32(streamed, DataSize, 0xffffffffu);
    EXPECT_EQ(checked(streamed), "chunk past the end of the RIFF chunk");
}

TEST(WavCheck, EachOtherShapeIsRefusedWithTheFirstCheckItFails)
{
    struct Case {
        const char* what;
        Bytes bytes;
        const char* reason;
    };
    std::vector<Case> cases;
    auto with = [&](const char* what, const char* reason, auto change) {
        Bytes b = Stereo;
        change(b);
        cases.push_back({what, b, reason});
    };
    const char* Short = "shorter than a RIFF header";
    cases.push_back({"empty", Bytes(), Short});
    cases.push_back({"eleven bytes", Bytes(Stereo.begin(), Stereo.begin() + 11), Short});
    with("big-endian RIFX", "not RIFF", [](Bytes& b) { b[3] = 'X'; });
    with("RIFF size beyond the file", "RIFF chunk past the end of the file",
         [](Bytes& b) { put32(b, RiffSize, 0xfffffff7u); });
    with("RIFF size 3", "RIFF chunk too small for its WAVE id", [](Bytes& b) { put32(b, RiffSize, 3); });
    with("an AVI", "not WAVE", [](Bytes& b) {
        b[8] = 'A';
        b[9] = 'V';
        b[10] = 'I';
        b[11] = ' ';
    });
    with("RIFF holding only its WAVE id", "no fmt chunk", [](Bytes& b) { put32(b, RiffSize, 4); });
    with("RIFF ending inside a chunk header", "chunk header past the end of the RIFF chunk",
         [](Bytes& b) { put32(b, RiffSize, 8); });
    with("fmt of 14 bytes", "fmt chunk shorter than 16 bytes", [](Bytes& b) { put32(b, 16, 14); });
    with("float samples", "not plain PCM", [](Bytes& b) { put16(b, 20, 3); });
    with("extensible format", "not plain PCM", [](Bytes& b) { put16(b, 20, 0xfffe); });
    with("ADPCM", "not plain PCM", [](Bytes& b) { put16(b, 20, 2); });
    with("no channels", "not mono or stereo", [](Bytes& b) { put16(b, Channels, 0); });
    with("six channels", "not mono or stereo", [](Bytes& b) { put16(b, Channels, 6); });
    with("rate 0", "sample rate out of range", [](Bytes& b) { put32(b, Rate, 0); });
    with("rate 7999", "sample rate out of range", [](Bytes& b) { put32(b, Rate, 7999); });
    with("rate 192001", "sample rate out of range", [](Bytes& b) { put32(b, Rate, 192001); });
    with("8-bit", "not 16 bits per sample", [](Bytes& b) { put16(b, Bits, 8); });
    with("24-bit", "not 16 bits per sample", [](Bytes& b) { put16(b, Bits, 24); });
    with("block of half a frame", "block size is not one frame", [](Bytes& b) { put16(b, Block, 2); });
    with("byte rate one off", "byte rate does not match the sample rate",
         [](Bytes& b) { put32(b, ByteRate, 44100 * 4 + 1); });
    with("data renamed", "no data chunk", [](Bytes& b) { b[DataId] = 'D'; });
    with("no samples", "no samples", [](Bytes& b) {
        put32(b, DataSize, 0);
        put32(b, RiffSize, 36);
        b.resize(44);
    });
    with("half a stereo frame", "data not a whole number of frames", [](Bytes& b) {
        put32(b, DataSize, 6);
        put32(b, RiffSize, 42);
        b.resize(50);
    });
    cases.push_back({"data before fmt", riff({chunk("data", StereoData), chunk("fmt ", StereoFmt)}),
                     "data chunk before the fmt chunk"});
    cases.push_back({"two fmt chunks",
                     riff({chunk("fmt ", StereoFmt), chunk("fmt ", StereoFmt), chunk("data", StereoData)}),
                     "two fmt chunks"});
    cases.push_back({"chunk size at the 32-bit limit",
                     riff({chunk("fmt ", StereoFmt), Bytes{'b', 'i', 'g', ' ', 0xff, 0xff, 0xff, 0xff}}),
                     "chunk past the end of the RIFF chunk"});

    for (const Case& c : cases) {
        WavLayout layout;
        layout.channels = 99;
        EXPECT_EQ(checked(c.bytes, &layout), c.reason) << c.what;
        EXPECT_EQ(layout.channels, 99) << c.what << ": a refused file fills in no layout";
    }
    const char* reason = nullptr;
    EXPECT_FALSE(checkWav(nullptr, 100, &reason));
    EXPECT_STREQ(reason, "no bytes");
    EXPECT_FALSE(checkWav(nullptr, 0, nullptr));
}
