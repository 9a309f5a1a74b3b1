#include <cmath>
#include <string>

#include "tools/assetgen/effects.h"

namespace assetgen {

namespace {

constexpr double Pi = 3.14159265358979323846;

SoundBuffer oneShot(double seconds)
{
    return SoundBuffer(static_cast<std::size_t>(seconds * SampleRate), false);
}

void note(SoundBuffer& b, Instrument ins, double start, double held, float midi, float velocity)
{
    renderNote(b, {ins, start, held, midi, velocity, 0.0f});
}

// Adds a light room to a one-shot and levels it with the other effects.
SoundBuffer finish(SoundBuffer dry, float room)
{
    if (room > 0) dry.mixIn(reverb(dry, 0.5f, 0.5f), room);
    // Effects are written in mono: fold the channels first, so the level
    // is measured on what is written.
    for (std::size_t i = 0; i < dry.frames(); ++i) {
        const float m = 0.5f * (dry.left(i) + dry.right(i));
        dry.leftData()[i] = dry.rightData()[i] = m;
    }
    fadeOut(dry, 0.02);
    level(dry, EffectWindowDb, CeilingDb, 0.05);
    return dry;
}

SoundBuffer decide()
{
    SoundBuffer b = oneShot(0.7);
    note(b, Instrument::Bell, 0.0, 0.08, 84, 0.8f);   // C6
    note(b, Instrument::Bell, 0.07, 0.25, 91, 1.0f);  // G6
    note(b, Instrument::Pluck, 0.07, 0.2, 79, 0.5f);  // G5 underneath
    return finish(b, 0.3f);
}

SoundBuffer select()
{
    SoundBuffer b = oneShot(0.22);
    note(b, Instrument::MusicBox, 0.0, 0.04, 88, 1.0f);  // E6, a light tick
    note(b, Instrument::Pluck, 0.0, 0.04, 76, 0.6f);
    return finish(b, 0.1f);
}

SoundBuffer gameOver()
{
    // A falling minor line that settles on a low, open chord.
    SoundBuffer b = oneShot(2.6);
    const float line[4] = {79, 75, 72, 67};  // G5 Eb5 C5 G4
    for (int i = 0; i < 4; ++i)
        note(b, Instrument::Piano, 0.18 * i, 0.3, line[i], 0.9f);
    for (float n : {48.0f, 55.0f, 63.0f})  // C3 G3 Eb4
        note(b, Instrument::Pad, 0.72, 1.0, n, 0.6f);
    note(b, Instrument::Piano, 0.72, 1.2, 60, 0.8f);
    return finish(b, 0.5f);
}

SoundBuffer turn()
{
    // A short upward swish.
    SoundBuffer b = oneShot(0.14);
    double phase = 0;
    Noise noise(77);
    float lp = 0;
    for (std::size_t i = 0; i < b.frames(); ++i) {
        const double t = double(i) / SampleRate;
        const double f = 520 + 900 * (t / 0.09);
        phase += 2 * Pi * f / SampleRate;
        const double env = std::min(1.0, t / 0.006) * std::exp(-t / 0.035);
        lp += 0.25f * (noise.next() - lp);
        const float v = static_cast<float>((std::sin(phase) + 0.25 * std::sin(2 * phase) + 0.2 * lp) * env);
        b.add(i, v, v);
    }
    return finish(b, 0.0f);
}

SoundBuffer move()
{
    // A soft wooden tick.
    SoundBuffer b = oneShot(0.08);
    for (std::size_t i = 0; i < b.frames(); ++i) {
        const double t = double(i) / SampleRate;
        const double env = std::min(1.0, t / 0.001) * std::exp(-t / 0.012);
        const float v =
            static_cast<float>((std::sin(2 * Pi * 820 * t) + 0.4 * std::sin(2 * Pi * 1930 * t)) * env);
        b.add(i, v, v);
    }
    return finish(b, 0.0f);
}

SoundBuffer bottom()
{
    // A dull thud with a little knock on top.
    SoundBuffer b = oneShot(0.22);
    double phase = 0;
    Noise noise(91);
    float lp = 0;
    for (std::size_t i = 0; i < b.frames(); ++i) {
        const double t = double(i) / SampleRate;
        phase += 2 * Pi * (60 + 130 * std::exp(-t / 0.025)) / SampleRate;
        lp += 0.08f * (noise.next() - lp);
        const double body = std::sin(phase) * std::min(1.0, t / 0.002) * std::exp(-t / 0.06);
        const double knock = lp * 4.0 * std::exp(-t / 0.01);
        const float v = static_cast<float>(body + knock);
        b.add(i, v, v);
    }
    return finish(b, 0.0f);
}

SoundBuffer chain(int step)
{
    // Each step of a chain starts higher and climbs further: a quick
    // arpeggio that ends on a ringing chord.
    const float base[5] = {72, 74, 76, 79, 81};  // C5 D5 E5 G5 A5
    const float shape[6] = {0, 4, 7, 12, 16, 19};
    const int notes = 2 + step;  // 3 .. 7 notes
    SoundBuffer b = oneShot(0.7 + 0.05 * step);
    for (int i = 0; i < notes && i < 6; ++i)
        note(b, Instrument::Bell, 0.045 * i, 0.12, base[step - 1] + shape[i], 0.8f);
    note(b, Instrument::MusicBox, 0.045 * (notes - 1), 0.25, base[step - 1] + 24, 0.5f);
    return finish(b, 0.35f);
}

SoundBuffer gameStart()
{
    // A short fanfare: three rising notes, then the chord.
    SoundBuffer b = oneShot(1.4);
    const float rise[3] = {72, 76, 79};
    for (int i = 0; i < 3; ++i)
        note(b, Instrument::Lead, 0.09 * i, 0.07, rise[i], 0.8f);
    for (float n : {72.0f, 76.0f, 79.0f, 84.0f})
        note(b, Instrument::Stab, 0.27, 0.45, n, 0.6f);
    note(b, Instrument::Lead, 0.27, 0.5, 84, 0.9f);
    note(b, Instrument::Bass, 0.27, 0.45, 48, 0.8f);
    return finish(b, 0.4f);
}

}  // namespace

SoundBuffer effect(const std::string& name)
{
    if (name == "Decide") return decide();
    if (name == "Select") return select();
    if (name == "GameOver") return gameOver();
    if (name == "Turn") return turn();
    if (name == "Move") return move();
    if (name == "Bottom") return bottom();
    if (name == "GameStart") return gameStart();
    if (name.size() == 6 && name.compare(0, 5, "Chain") == 0 && name[5] >= '1' && name[5] <= '5')
        return chain(name[5] - '0');
    return SoundBuffer(0, false);
}

}  // namespace assetgen
