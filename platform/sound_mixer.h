// The game's own mixer, plain C++ so that tests drive it without a sound
// card: up to MixerVoices sounds, each a source of 16-bit frames (mono or
// stereo) at the output rate, mixed into interleaved stereo. Short sounds
// play from memory; long ones (the music) are read from their file a block
// at a time while they play, so a track costs a few kilobytes instead of
// its whole length.
//
// Not thread-safe by itself: the audio side holds the audio device's lock
// around every call, the audio thread's mix() included.
#pragma once

#include "platform/wav_check.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// Where a sound's frames come from.
class SoundSource {
public:
    virtual ~SoundSource() = default;
    virtual int channels() const = 0;
    virtual std::uint32_t rate() const = 0;
    // Back to the first frame.
    virtual void rewind() = 0;
    // Up to `frames` frames, interleaved; fewer only at the end (or when the
    // file can no longer be read, which ends the play the same way).
    virtual std::size_t read(std::int16_t* out, std::size_t frames) = 0;
};

// A whole sound file in memory: the bytes as read, played from its data.
class ClipSource : public SoundSource {
public:
    ClipSource(std::vector<unsigned char> bytes, const WavLayout& layout);
    int channels() const override { return layout_.channels; }
    std::uint32_t rate() const override { return layout_.sampleRate; }
    void rewind() override { at_ = 0; }
    std::size_t read(std::int16_t* out, std::size_t frames) override;

private:
    std::vector<unsigned char> bytes_;
    WavLayout layout_;
    std::size_t at_ = 0;  // bytes of data played
};

// A sound file read while it plays. Opened like every file the game reads
// (non-blocking, regular files only, at most maxBytes) and checked by
// checkWavHeader from its first bytes; reads never go past its data chunk.
class FileStreamSource : public SoundSource {
public:
    // Null when the file is missing, not a regular file or larger than
    // maxBytes, or when its header fails the check: then *reason (when given)
    // says why, or is null for a file that is simply not there.
    static std::unique_ptr<FileStreamSource> open(const std::string& path, std::uint64_t maxBytes,
                                                  const char** reason = nullptr);
    ~FileStreamSource() override;
    FileStreamSource(const FileStreamSource&) = delete;
    FileStreamSource& operator=(const FileStreamSource&) = delete;

    int channels() const override { return layout_.channels; }
    std::uint32_t rate() const override { return layout_.sampleRate; }
    void rewind() override { at_ = 0; }
    std::size_t read(std::int16_t* out, std::size_t frames) override;

private:
    FileStreamSource(int fd, const WavLayout& layout) : fd_(fd), layout_(layout) {}
    int fd_;
    WavLayout layout_;
    std::size_t at_ = 0;  // bytes of data played
};

// Sound files longer than this (the music tracks) are read while they play;
// shorter ones are held in memory.
constexpr std::uint64_t StreamFromBytes = 1u << 20;

// A sound file's frames: from memory, or from its file when it is long.
// Null when the file is missing (*reason then null) or refused (*reason says
// why). Read like every file the game reads and checked strictly.
std::unique_ptr<SoundSource> loadSoundSource(const std::string& path, const char** reason);

constexpr int MixerVoices = 32;
constexpr int MixerMaxVolume = 128;

class SoundMixer {
public:
    // Gives the voice its source (closing what it held), stopped, at full
    // volume. False for a voice out of range.
    bool open(int voice, std::unique_ptr<SoundSource> source);
    // Stops and frees the voice's source. False when it has none.
    bool close(int voice);
    bool isOpen(int voice) const;
    // Plays from the first frame (restarting a playing voice). With
    // reportEnd, a natural end of this play is reported by mix().
    bool play(int voice, bool reportEnd);
    // Stops the voice; never reported as an end.
    bool stop(int voice);
    bool playing(int voice) const;
    // 0..MixerMaxVolume, kept across plays.
    bool setVolume(int voice, int volume);
    // While paused, mix() writes silence and no voice moves on.
    void setPaused(bool paused) { paused_ = paused; }
    bool paused() const { return paused_; }

    // Writes `frames` stereo frames. True when a play started with
    // reportEnd reached its natural end during them.
    bool mix(std::int16_t* out, std::size_t frames);
    // True once for each natural end of the voice's plays (reported or
    // not) since the last call.
    bool takeEnded(int voice);

private:
    struct Voice {
        std::unique_ptr<SoundSource> source;
        bool playing = false;
        bool reportEnd = false;
        bool ended = false;
        int volume = MixerMaxVolume;
    };
    static constexpr std::size_t BlockFrames = 512;

    Voice* voiceAt(int voice);
    const Voice* voiceAt(int voice) const;
    // Adds the voice's next frames into sum_; false when it ran out.
    bool addVoice(Voice& v, std::size_t frames);

    std::array<Voice, MixerVoices> voices_;
    bool paused_ = false;
    std::array<std::int32_t, BlockFrames * 2> sum_{};
    std::array<std::int16_t, BlockFrames * 2> block_{};
};

}  // namespace platform
