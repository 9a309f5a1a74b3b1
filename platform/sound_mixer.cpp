#include "platform/sound_mixer.h"

#include "platform/files.h"

#include <algorithm>
#include <cerrno>

#include <unistd.h>

namespace platform {

namespace {

// Enough for any header the game's sounds have (44 bytes) and for a few
// extra chunks before the samples.
constexpr std::size_t StreamHeadBytes = 4096;

std::int16_t sampleAt(const unsigned char* p)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
}

// Little-endian 16-bit samples to host order.
void decode(const unsigned char* bytes, std::size_t samples, std::int16_t* out)
{
    for (std::size_t i = 0; i < samples; ++i)
        out[i] = sampleAt(bytes + 2 * i);
}

std::size_t frameBytes(const WavLayout& layout) { return static_cast<std::size_t>(layout.channels) * 2; }

}  // namespace

ClipSource::ClipSource(std::vector<unsigned char> bytes, const WavLayout& layout)
    : bytes_(std::move(bytes)), layout_(layout)
{
}

std::size_t ClipSource::read(std::int16_t* out, std::size_t frames)
{
    const std::size_t fb = frameBytes(layout_);
    const std::size_t n = std::min(frames, (layout_.dataBytes - at_) / fb);
    decode(bytes_.data() + layout_.dataOffset + at_, n * layout_.channels, out);
    at_ += n * fb;
    return n;
}

std::unique_ptr<FileStreamSource> FileStreamSource::open(const std::string& path, std::uint64_t maxBytes,
                                                         const char** reason)
{
    if (reason) *reason = nullptr;
    std::uint64_t size = 0;
    ReadResult opened;
    const int fd = openRegularFile(path, size, opened);
    if (fd < 0) return nullptr;
    if (size > maxBytes) {
        ::close(fd);
        if (reason) *reason = "larger than the cap for a sound file";
        return nullptr;
    }
    unsigned char head[StreamHeadBytes];
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(size, sizeof head));
    std::size_t got = 0;
    while (got < want) {
        const ssize_t n = ::pread(fd, head + got, want - got, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    WavLayout layout;
    const char* why = nullptr;
    if (!checkWavHeader(head, got, size, &why, &layout)) {
        ::close(fd);
        if (reason) *reason = why;
        return nullptr;
    }
    return std::unique_ptr<FileStreamSource>(new FileStreamSource(fd, layout));
}

FileStreamSource::~FileStreamSource() { ::close(fd_); }

std::size_t FileStreamSource::read(std::int16_t* out, std::size_t frames)
{
    const std::size_t fb = frameBytes(layout_);
    // The checked data chunk bounds every read, whatever the file does now.
    std::size_t want = std::min(frames, (layout_.dataBytes - at_) / fb) * fb;
    unsigned char bytes[4096];
    std::size_t done = 0;
    while (want > 0) {
        const std::size_t part = std::min(want, sizeof bytes);
        const ssize_t n = ::pread(fd_, bytes, part, static_cast<off_t>(layout_.dataOffset + at_));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // cut short since it was checked: the play ends here
        const std::size_t whole = static_cast<std::size_t>(n) / fb * fb;
        if (whole == 0) break;
        decode(bytes, whole / 2, out + done / 2);
        done += whole;
        at_ += whole;
        want -= whole;
        if (whole < part) break;
    }
    return done / fb;
}

SoundMixer::Voice* SoundMixer::voiceAt(int voice)
{
    return voice >= 0 && voice < MixerVoices ? &voices_[static_cast<std::size_t>(voice)] : nullptr;
}

const SoundMixer::Voice* SoundMixer::voiceAt(int voice) const
{
    return voice >= 0 && voice < MixerVoices ? &voices_[static_cast<std::size_t>(voice)] : nullptr;
}

bool SoundMixer::open(int voice, std::unique_ptr<SoundSource> source)
{
    Voice* v = voiceAt(voice);
    if (!v || !source) return false;
    *v = Voice{};
    v->source = std::move(source);
    return true;
}

bool SoundMixer::close(int voice)
{
    Voice* v = voiceAt(voice);
    if (!v || !v->source) return false;
    *v = Voice{};
    return true;
}

bool SoundMixer::isOpen(int voice) const
{
    const Voice* v = voiceAt(voice);
    return v && v->source;
}

bool SoundMixer::play(int voice, bool reportEnd)
{
    Voice* v = voiceAt(voice);
    if (!v || !v->source) return false;
    v->source->rewind();
    v->playing = true;
    v->reportEnd = reportEnd;
    return true;
}

bool SoundMixer::stop(int voice)
{
    Voice* v = voiceAt(voice);
    if (!v || !v->source) return false;
    v->playing = false;
    return true;
}

bool SoundMixer::playing(int voice) const
{
    const Voice* v = voiceAt(voice);
    return v && v->playing;
}

bool SoundMixer::setVolume(int voice, int volume)
{
    Voice* v = voiceAt(voice);
    if (!v || !v->source) return false;
    v->volume = std::clamp(volume, 0, MixerMaxVolume);
    return true;
}

bool SoundMixer::takeEnded(int voice)
{
    Voice* v = voiceAt(voice);
    if (!v || !v->ended) return false;
    v->ended = false;
    return true;
}

bool SoundMixer::addVoice(Voice& v, std::size_t frames)
{
    const int channels = v.source->channels();
    const std::size_t got = v.source->read(block_.data(), frames);
    const std::int32_t volume = v.volume;
    if (channels == 2) {
        for (std::size_t i = 0; i < got * 2; ++i)
            sum_[i] += block_[i] * volume / MixerMaxVolume;
    } else {
        for (std::size_t i = 0; i < got; ++i) {
            const std::int32_t s = block_[i] * volume / MixerMaxVolume;
            sum_[2 * i] += s;
            sum_[2 * i + 1] += s;
        }
    }
    return got == frames;
}

bool SoundMixer::mix(std::int16_t* out, std::size_t frames)
{
    bool reported = false;
    while (frames > 0) {
        const std::size_t n = std::min(frames, BlockFrames);
        std::fill(sum_.begin(), sum_.begin() + static_cast<std::ptrdiff_t>(n * 2), 0);
        if (!paused_) {
            for (Voice& v : voices_) {
                if (!v.playing || addVoice(v, n)) continue;
                // The source ran out: a natural end.
                v.playing = false;
                v.ended = true;
                reported = reported || v.reportEnd;
            }
        }
        for (std::size_t i = 0; i < n * 2; ++i)
            out[i] = static_cast<std::int16_t>(std::clamp<std::int32_t>(sum_[i], -32768, 32767));
        out += n * 2;
        frames -= n;
    }
    return reported;
}

std::unique_ptr<SoundSource> loadSoundSource(const std::string& path, const char** reason)
{
    *reason = nullptr;
    std::uint64_t size = 0;
    ReadResult opened;
    const int fd = openRegularFile(path, size, opened);
    if (fd < 0) return nullptr;  // missing sounds are silent, like missing pictures
    ::close(fd);
    if (size > StreamFromBytes && size <= SoundFileMaxBytes)
        return FileStreamSource::open(path, SoundFileMaxBytes, reason);
    // Read here, regular files only and capped: the bytes are the clip.
    std::vector<unsigned char> bytes;
    if (!readSoundFile(path, bytes)) return nullptr;
    // Our own strict look at the bytes before they are played: a file that
    // is there but damaged is named, not played as noise.
    WavLayout layout;
    if (!checkWav(bytes.data(), bytes.size(), reason, &layout)) return nullptr;
    return std::make_unique<ClipSource>(std::move(bytes), layout);
}

}  // namespace platform
