// A small deterministic synthesiser: instruments that render one note into
// a buffer, drums, a stereo reverb, and loudness helpers. Music is rendered
// into a loop buffer in which everything that rings past the end wraps to
// the start, so a track repeats without a seam.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace assetgen {

constexpr int SampleRate = 44100;

// Deterministic noise source (an LCG with a fixed seed per use).
class Noise {
public:
    explicit Noise(std::uint32_t seed) : state_(seed) {}
    float next();  // -1..1
private:
    std::uint32_t state_;
};

float midiToHz(float note);

// Stereo sample frames. When looped, writes past the end wrap around.
class SoundBuffer {
public:
    SoundBuffer(std::size_t frames, bool looped) : left_(frames, 0.0f), right_(frames, 0.0f), looped_(looped)
    {
    }
    std::size_t frames() const { return left_.size(); }
    bool looped() const { return looped_; }
    void add(std::size_t frame, float l, float r);
    float left(std::size_t i) const { return left_[i]; }
    float right(std::size_t i) const { return right_[i]; }
    std::vector<float>& leftData() { return left_; }
    std::vector<float>& rightData() { return right_; }
    const std::vector<float>& leftData() const { return left_; }
    const std::vector<float>& rightData() const { return right_; }
    // Mixes other in with a gain (same length and looping).
    void mixIn(const SoundBuffer& other, float gain);
private:
    std::vector<float> left_, right_;
    bool looped_;
};

enum class Instrument {
    Bell,      // FM bell / electric piano: the title's and the game over's voice
    MusicBox,  // brighter, shorter bell
    Pluck,     // filtered saw with a quick decay, for arpeggios
    Pad,       // detuned saws, slow attack, soft filter
    Bass,      // round sine-and-saw bass
    Lead,      // pulse lead with delayed vibrato
    Stab,      // short filtered chord stab
    Piano,     // decaying partials with a hammer click
};

// One note as the instruments play it.
struct NoteEvent {
    Instrument instrument;
    double start;   // seconds
    double length;  // seconds the key is held
    float midi;
    float velocity;  // 0..1
    float pan;       // -1 left .. 1 right
};

// Adds one note, tail included, to the buffer.
void renderNote(SoundBuffer& out, const NoteEvent& note);

enum class Drum { Kick, Snare, ClosedHat, OpenHat, Shaker, Clap };
void renderDrum(SoundBuffer& out, Drum drum, double start, float velocity, float pan);

// A stereo reverb whose tail wraps when the buffer loops (the input is run
// through it twice and the second, settled pass is kept). Returns the wet
// signal only.
SoundBuffer reverb(const SoundBuffer& in, float roomSize, float damping);

// Plain RMS and peak in dB against full scale (a full-scale square reads
// 0 dB, a full-scale sine -3 dB), both channels together.
double rmsDb(const SoundBuffer& b);
double peakDb(const SoundBuffer& b);
// Loudest RMS over any window of the given length (seconds), in dBFS.
double maxWindowRmsDb(const SoundBuffer& b, double window);

// Scales to the target RMS (whole buffer, or loudest window when window > 0)
// and bends peaks softly under the ceiling; every sample goes through the
// same static curve, so a loop stays seamless.
void level(SoundBuffer& b, double targetDb, double ceilingDb, double window);

// Loudness the generator aims at (plain RMS, dB against full scale): the
// whole of a music track, and the loudest 50 ms of an effect.
constexpr double MusicRmsDb = -20.0;
constexpr double EffectWindowDb = -14.0;
constexpr double CeilingDb = -1.2;

// Fades the last seconds of a one-shot sound to silence.
void fadeOut(SoundBuffer& b, double seconds);

// 16-bit PCM WAV bytes; mono keeps the left channel only.
std::vector<std::uint8_t> toWav(const SoundBuffer& b, bool stereo);

}  // namespace assetgen
