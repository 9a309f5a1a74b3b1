#include <algorithm>
#include <string>
#include <vector>

#include "tools/assetgen/music.h"
#include "tools/assetgen/score.h"

namespace assetgen {

namespace {

// A loop of whole bars, built part by part. Each part is its own buffer so
// that it can be sent to the reverb by its own amount.
class Arrangement {
public:
    Arrangement(int bpm, int beatsPerBar, int bars)
        : beat_(60.0 / bpm), beatsPerBar_(beatsPerBar), bars_(bars),
          // Whole beats of whole samples: 44100 * 60 / bpm is an integer for
          // the tempos used, so the loop ends exactly on a bar line.
          frames_(static_cast<std::size_t>(SampleRate) * 60 / bpm * beatsPerBar * bars), dry_(frames_, true),
          send_(frames_, true)
    {
    }

    double beat() const { return beat_; }
    int bars() const { return bars_; }
    int beatsPerBar() const { return beatsPerBar_; }

    SoundBuffer newPart() const { return SoundBuffer(frames_, true); }

    void addPart(const SoundBuffer& part, float gain, float reverbSend)
    {
        dry_.mixIn(part, gain);
        send_.mixIn(part, gain * reverbSend);
    }

    // Plays a melody line from the given bar; legato is the share of each
    // note's written length that the key is held.
    void line(SoundBuffer& part, const std::string& text, int fromBar, double unitBeats, Instrument ins,
              float velocity, float pan, double legato = 0.92, int transpose = 0) const
    {
        const double t0 = fromBar * beatsPerBar_ * beat_;
        for (const LineNote& n : parseLine(text, unitBeats))
            renderNote(part, {ins, t0 + n.beat * beat_, n.beats * beat_ * legato, float(n.midi + transpose),
                              velocity, pan});
    }

    SoundBuffer finish(float roomSize, float damping, float wet)
    {
        SoundBuffer out = dry_;
        out.mixIn(reverb(send_, roomSize, damping), wet);
        level(out, MusicRmsDb, CeilingDb, 0);
        return out;
    }

private:
    double beat_;
    int beatsPerBar_;
    int bars_;
    std::size_t frames_;
    SoundBuffer dry_, send_;
};

// Places a chord's tones between low and high, keeping their order.
std::vector<int> voice(const std::vector<int>& tones, int low, int high)
{
    std::vector<int> out;
    for (int t : tones) {
        while (t < low)
            t += 12;
        while (t > high)
            t -= 12;
        out.push_back(t);
    }
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace

SoundBuffer titleMusic()
{
    // C major, 100 bpm, sixteen bars; the last bar's G7 leads back to C.
    Arrangement a(100, 4, 16);
    const std::vector<std::string> chords = words("C Am F G C Em F G Am F C G F G C G7");
    const std::string melody = "E5/2 G5/2 C6/3 B5/1 A5/4 E5/4 F5/2 A5/2 C6/2 A5/2 G5/6 -/2 "
                               "E5/2 G5/2 C6/2 E6/2 D6/3 B5/1 G5/4 A5/2 C6/2 F5/2 A5/2 G5/4 D5/4 "
                               "C5/2 E5/2 A5/3 G5/1 F5/4 A5/4 G5/2 E5/2 C5/2 E5/2 D5/6 -/2 "
                               "A5/2 C6/2 F6/3 E6/1 D6/2 B5/2 G5/4 C6/3 G5/1 E5/2 G5/2 F5/2 D5/2 B4/2 G4/2";
    const double bar = 4 * a.beat();

    SoundBuffer lead = a.newPart();
    a.line(lead, melody, 0, 0.5, Instrument::Bell, 0.9f, 0.15f, 0.9);
    a.addPart(lead, 0.34f, 0.45f);

    SoundBuffer pad = a.newPart(), bass = a.newPart(), arp = a.newPart();
    for (int b = 0; b < a.bars(); ++b) {
        const std::vector<int> tones = chordTones(chords[b]);
        for (int t : voice(tones, 55, 70))
            renderNote(pad, {Instrument::Pad, b * bar, bar * 0.98, float(t), 0.5f, 0.0f});
        const int root = tones[0] - 12;
        renderNote(bass, {Instrument::Bass, b * bar, a.beat() * 1.4, float(root), 0.9f, 0.0f});
        renderNote(bass,
                   {Instrument::Bass, b * bar + 1.5 * a.beat(), a.beat() * 0.4, float(root + 7), 0.6f, 0.0f});
        renderNote(bass, {Instrument::Bass, b * bar + 2 * a.beat(), a.beat() * 1.8, float(root), 0.8f, 0.0f});
        // Rising and falling chord tones in eighths, answering the melody.
        const std::vector<int> up = voice(tones, 60, 76);
        const int order[8] = {0, 1, 2, 1, 0, 1, 2, 1};
        for (int k = 0; k < 8; ++k) {
            const int note = up[order[k] % up.size()] + (k == 2 ? 12 : 0);
            renderNote(arp, {Instrument::Pluck, b * bar + k * a.beat() * 0.5, a.beat() * 0.4, float(note),
                             k % 2 ? 0.45f : 0.6f, -0.45f});
        }
    }
    a.addPart(pad, 0.12f, 0.6f);
    a.addPart(bass, 0.3f, 0.1f);
    a.addPart(arp, 0.16f, 0.5f);

    SoundBuffer drums = a.newPart();
    for (int b = 0; b < a.bars(); ++b) {
        const double t = b * bar;
        renderDrum(drums, Drum::Kick, t, 0.8f, 0.0f);
        renderDrum(drums, Drum::Kick, t + 2.5 * a.beat(), 0.5f, 0.0f);
        renderDrum(drums, Drum::Clap, t + a.beat(), 0.35f, 0.1f);
        renderDrum(drums, Drum::Clap, t + 3 * a.beat(), 0.35f, 0.1f);
        for (int k = 0; k < 8; ++k)
            renderDrum(drums, Drum::Shaker, t + k * 0.5 * a.beat(), k % 2 ? 0.35f : 0.2f, 0.35f);
    }
    a.addPart(drums, 0.3f, 0.15f);
    return a.finish(0.8f, 0.4f, 0.9f);
}

SoundBuffer playMusic()
{
    // A minor, 140 bpm, twenty-four bars: A, B, A with a new ending; the
    // last bar's E leads back to Am.
    Arrangement a(140, 4, 24);
    const std::vector<std::string> chords = words("Am F G Em Am F G E F G Em Am Dm G C E Am F G Em Am F G E");
    const std::string partA = "A5/1 -/1 A5/1 C6/1 E6/2 D6/1 C6/1 C6/1 -/1 C6/1 D6/1 C6/2 A5/2 "
                              "B5/1 -/1 B5/1 D6/1 G6/2 F6/1 E6/1 E6/4 B5/2 G5/2 "
                              "A5/1 -/1 A5/1 C6/1 E6/2 A6/2 G6/1 F6/1 E6/1 D6/1 C6/2 A5/2 "
                              "B5/2 D6/2 G6/2 B5/2 ";
    const std::string partB =
        "A5/3 C6/3 F6/2 G6/3 F6/1 E6/2 D6/2 E6/3 D6/1 B5/4 C6/2 B5/2 A5/4 "
        "F5/2 A5/2 D6/2 F6/2 E6/2 D6/2 B5/2 G5/2 C6/2 E6/2 G6/2 E6/2 G#5/2 B5/2 E6/2 D6/2";
    const std::string melody = partA + "G#5/4 E5/2 B5/2 " + partB + " " + partA + "E6/2 B5/2 G#5/2 B5/2";
    const double bar = 4 * a.beat();

    SoundBuffer lead = a.newPart();
    a.line(lead, melody, 0, 0.5, Instrument::Lead, 0.8f, 0.1f, 0.85);
    a.addPart(lead, 0.22f, 0.3f);

    SoundBuffer bass = a.newPart(), stabs = a.newPart(), arp = a.newPart();
    for (int b = 0; b < a.bars(); ++b) {
        const std::vector<int> tones = chordTones(chords[b]);
        const int root = tones[0] - 12;
        // Driving eighths with an octave jump on the offbeats.
        for (int k = 0; k < 8; ++k) {
            const int note = root + ((k % 2) ? 12 : 0);
            renderNote(bass, {Instrument::Bass, b * bar + k * 0.5 * a.beat(), 0.4 * a.beat(), float(note),
                              k % 2 ? 0.7f : 0.95f, 0.0f});
        }
        // Chord stabs on the offbeats.
        for (int k = 0; k < 4; ++k)
            for (int t : voice(tones, 57, 72))
                renderNote(stabs, {Instrument::Stab, b * bar + (k + 0.5) * a.beat(), 0.2 * a.beat(), float(t),
                                   0.5f, -0.3f});
        // Sixteenth arpeggios lift the middle section.
        if (b >= 8 && b < 16) {
            const std::vector<int> up = voice(tones, 69, 84);
            for (int k = 0; k < 16; ++k) {
                const int note = up[k % up.size()] + ((k / int(up.size())) % 2 ? 12 : 0);
                renderNote(arp, {Instrument::Pluck, b * bar + k * 0.25 * a.beat(), 0.2 * a.beat(),
                                 float(note), 0.5f, 0.5f});
            }
        }
    }
    a.addPart(bass, 0.3f, 0.05f);
    a.addPart(stabs, 0.07f, 0.35f);
    a.addPart(arp, 0.1f, 0.4f);

    SoundBuffer drums = a.newPart();
    for (int b = 0; b < a.bars(); ++b) {
        const double t = b * bar;
        for (int k = 0; k < 4; ++k)
            renderDrum(drums, Drum::Kick, t + k * a.beat(), 1.0f, 0.0f);
        renderDrum(drums, Drum::Snare, t + a.beat(), 0.7f, 0.05f);
        renderDrum(drums, Drum::Snare, t + 3 * a.beat(), 0.7f, 0.05f);
        for (int k = 0; k < 16; ++k) {
            if (k % 4 == 2)
                renderDrum(drums, Drum::OpenHat, t + k * 0.25 * a.beat(), 0.22f, -0.3f);
            else
                renderDrum(drums, Drum::ClosedHat, t + k * 0.25 * a.beat(), k % 2 ? 0.2f : 0.32f, -0.3f);
        }
        if (b % 4 == 3)  // a fill into the next phrase
            for (int k = 12; k < 16; ++k)
                renderDrum(drums, Drum::Snare, t + k * 0.25 * a.beat(), 0.3f + 0.1f * (k - 12), 0.1f);
    }
    a.addPart(drums, 0.33f, 0.08f);
    return a.finish(0.6f, 0.5f, 0.6f);
}

SoundBuffer overMusic()
{
    // D minor, 75 bpm in three-four, sixteen bars; the closing A leads home.
    Arrangement a(75, 3, 16);
    const std::vector<std::string> chords = words("Dm Bb F C Dm Gm A A7 Bb F Gm Dm Bb C Dm A");
    const std::string melody = "A5/3 F5/1 E5/1 D5/1 D5/4 F5/2 C6/3 A5/3 G5/4 E5/2 "
                               "F5/2 A5/2 D6/2 D6/3 C6/1 Bb5/2 A5/4 C#6/2 G5/2 E5/2 C#5/2 "
                               "D5/2 F5/2 Bb5/2 A5/4 C6/2 Bb5/3 A5/1 G5/2 F5/6 "
                               "D6/3 C6/1 Bb5/2 C6/2 G5/2 E5/2 F5/2 E5/2 D5/2 C#5/3 E5/3";
    const double bar = 3 * a.beat();

    SoundBuffer lead = a.newPart();
    a.line(lead, melody, 0, 0.5, Instrument::Piano, 0.9f, 0.1f, 1.0);
    a.addPart(lead, 0.4f, 0.55f);

    SoundBuffer pad = a.newPart(), bass = a.newPart(), broken = a.newPart(), box = a.newPart();
    for (int b = 0; b < a.bars(); ++b) {
        const std::vector<int> tones = chordTones(chords[b]);
        for (int t : voice(tones, 53, 67))
            renderNote(pad, {Instrument::Pad, b * bar, bar * 0.97, float(t), 0.45f, 0.0f});
        renderNote(bass, {Instrument::Piano, b * bar, bar * 0.95, float(tones[0] - 12), 0.8f, -0.1f});
        // Broken chord in eighths: root, fifth, third, fifth, octave, fifth.
        const std::vector<int> v = voice(tones, 57, 69);
        const int pattern[6] = {v[0], v[2 % v.size()], v[1], v[2 % v.size()], v[0] + 12, v[2 % v.size()]};
        for (int k = 0; k < 6; ++k)
            renderNote(broken, {Instrument::Piano, b * bar + k * 0.5 * a.beat(), 0.5 * a.beat(),
                                float(pattern[k]), k == 0 ? 0.55f : 0.4f, -0.35f});
        // A music box echoes the chord's top in the second half.
        if (b >= 8)
            renderNote(box, {Instrument::MusicBox, b * bar + 2 * a.beat(), 0.6 * a.beat(),
                             float(v.back() + 24), 0.4f, 0.5f});
    }
    a.addPart(pad, 0.1f, 0.7f);
    a.addPart(bass, 0.3f, 0.3f);
    a.addPart(broken, 0.2f, 0.5f);
    a.addPart(box, 0.15f, 0.8f);
    return a.finish(0.88f, 0.35f, 1.2f);
}

}  // namespace assetgen
