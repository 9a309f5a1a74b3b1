#include "tools/assetgen/synth.h"
#include "tools/assetgen/le_bytes.h"

#include <algorithm>
#include <cmath>

namespace assetgen {

namespace {

constexpr double Pi = 3.14159265358979323846;

// Band-limited step correction for the saw and pulse oscillators.
float polyBlep(double t, double dt)
{
    if (t < dt) {
        t /= dt;
        return static_cast<float>(t + t - t * t - 1.0);
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return static_cast<float>(t * t + t + t + 1.0);
    }
    return 0.0f;
}

struct Saw {
    double phase = 0;
    float next(double hz)
    {
        const double dt = hz / SampleRate;
        const float v = static_cast<float>(2.0 * phase - 1.0) - polyBlep(phase, dt);
        phase += dt;
        if (phase >= 1.0) phase -= 1.0;
        return v;
    }
};

struct Pulse {
    double phase = 0;
    float next(double hz, double width)
    {
        const double dt = hz / SampleRate;
        float v = phase < width ? 1.0f : -1.0f;
        v += polyBlep(phase, dt);
        double p2 = phase - width;
        if (p2 < 0) p2 += 1.0;
        v -= polyBlep(p2, dt);
        phase += dt;
        if (phase >= 1.0) phase -= 1.0;
        return v;
    }
};

// A sine by rotation: one complex multiply per sample instead of a sin().
struct Phasor {
    double c = 1, s = 0, wc = 1, ws = 0;
    explicit Phasor(double hz = 0)
    {
        const double w = 2.0 * Pi * hz / SampleRate;
        wc = std::cos(w);
        ws = std::sin(w);
    }
    double next()
    {
        const double v = s;
        const double nc = c * wc - s * ws;
        s = s * wc + c * ws;
        c = nc;
        return v;
    }
};

struct OnePole {
    float y = 0;
    float lowpass(float x, double cutoff)
    {
        // w / (1 + w) stands in for 1 - exp(-w): close enough for tone
        // shaping, and cheap enough to change the cutoff every sample.
        const double w = 2.0 * Pi * std::min(cutoff, 18000.0) / SampleRate;
        const double a = w / (1.0 + w);
        y += static_cast<float>(a) * (x - y);
        return y;
    }
};

// Attack, exponential decay towards the sustain level, exponential release
// once the key is let go.
float envelope(double t, double held, double attack, double decay, double sustain, double release)
{
    auto heldLevel = [&](double u) {
        if (u < attack) return u / attack;
        return sustain + (1.0 - sustain) * std::exp(-(u - attack) / decay);
    };
    if (t < held) return static_cast<float>(heldLevel(t));
    return static_cast<float>(heldLevel(held) * std::exp(-(t - held) / release));
}

double releaseOf(Instrument i)
{
    switch (i) {
    case Instrument::Bell: return 0.35;
    case Instrument::MusicBox: return 0.3;
    case Instrument::Pluck: return 0.12;
    case Instrument::Pad: return 0.9;
    case Instrument::Bass: return 0.05;
    case Instrument::Lead: return 0.07;
    case Instrument::Stab: return 0.05;
    case Instrument::Piano: return 0.25;
    }
    return 0.1;
}

void panGains(float pan, float& l, float& r)
{
    const double a = (pan + 1.0) * Pi / 4.0;  // constant power
    l = static_cast<float>(std::cos(a));
    r = static_cast<float>(std::sin(a));
}

}  // namespace

float Noise::next()
{
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<float>((state_ >> 8) & 0xFFFFFF) / 8388607.5f - 1.0f;
}

float midiToHz(float note) { return static_cast<float>(440.0 * std::pow(2.0, (note - 69.0) / 12.0)); }

void SoundBuffer::add(std::size_t frame, float l, float r)
{
    if (frame >= left_.size()) {
        if (!looped_) return;
        frame %= left_.size();
    }
    left_[frame] += l;
    right_[frame] += r;
}

void SoundBuffer::mixIn(const SoundBuffer& other, float gain)
{
    const std::size_t n = std::min(frames(), other.frames());
    for (std::size_t i = 0; i < n; ++i) {
        left_[i] += other.left_[i] * gain;
        right_[i] += other.right_[i] * gain;
    }
}

void renderNote(SoundBuffer& out, const NoteEvent& n)
{
    const double release = releaseOf(n.instrument);
    const std::size_t start = static_cast<std::size_t>(std::llround(n.start * SampleRate));
    const std::size_t total = static_cast<std::size_t>((n.length + release * 5.0) * SampleRate);
    const double hz = midiToHz(n.midi);
    float gl, gr;
    panGains(n.pan, gl, gr);
    Saw s1, s2, s3;
    Pulse pulse;
    OnePole f1, f2, f3, f4;
    Noise noise(static_cast<std::uint32_t>(start * 7 + 11));
    const double tail = 1.0 / release;
    // Per-note set-up for the additive voices.
    Phasor mod1(hz), mod2(hz * 1.0015), shimmerOsc(hz * 4.0);
    double indexDecay = 1.0, shimmerDecay = 1.0;
    const double indexStep = std::exp(-1.0 / (0.25 * SampleRate)),
                 shimmerStep = std::exp(-1.0 / (0.12 * SampleRate));
    Phasor partial[6];
    double partialAmp[6] = {0, 0, 0, 0, 0, 0}, partialStep[6] = {1, 1, 1, 1, 1, 1};
    if (n.instrument == Instrument::Piano) {
        for (int k = 1; k <= 6; ++k) {
            const double fk = hz * k * (1.0 + 0.0004 * k * k);
            if (fk > 16000) break;
            partial[k - 1] = Phasor(fk);
            partialAmp[k - 1] = 1.0 / std::pow(k, 1.4);
            partialStep[k - 1] = std::exp(-std::pow(k, 0.8) / (1.6 * SampleRate));
        }
    }
    for (std::size_t i = 0; i < total; ++i) {
        const double t = double(i) / SampleRate;
        // A short linear fade at the very end of the tail leaves no step.
        float fade = 1.0f;
        const double after = t - n.length;
        if (after > release * 4.0)
            fade = static_cast<float>(std::max(0.0, 1.0 - (after - release * 4.0) * tail));
        float l = 0, r = 0;
        switch (n.instrument) {
        case Instrument::Bell: {
            const float e = envelope(t, n.length, 0.004, 0.9, 0.0, release);
            const double index = 2.2 * indexDecay + 0.35;
            indexDecay *= indexStep;
            const double ph = 2 * Pi * hz * t;
            const float c1 = static_cast<float>(std::sin(ph + index * mod1.next()));
            const float c2 = static_cast<float>(std::sin(ph * 1.0015 + index * mod2.next()));
            const float shimmer = static_cast<float>(0.12 * shimmerOsc.next() * shimmerDecay);
            shimmerDecay *= shimmerStep;
            l = (c1 + shimmer) * e;
            r = (c2 + shimmer) * e;
            break;
        }
        case Instrument::MusicBox: {
            const float e = envelope(t, n.length, 0.002, 0.55, 0.0, release);
            const double ph = 2 * Pi * hz * t;
            const float v = static_cast<float>(std::sin(ph) +
                                               0.35 * std::sin(ph * 3.0) * std::exp(-t / 0.18) +
                                               0.18 * std::sin(ph * 5.4) * std::exp(-t / 0.08));
            l = r = v * e;
            break;
        }
        case Instrument::Pluck: {
            const float e = envelope(t, n.length, 0.002, 0.22, 0.0, release);
            const double cutoff = hz * (1.5 + 7.0 * std::exp(-t / 0.06));
            const float v = f2.lowpass(f1.lowpass(s1.next(hz), cutoff), cutoff);
            l = r = v * e;
            break;
        }
        case Instrument::Pad: {
            const float e = envelope(t, n.length, 0.35, 1.2, 0.75, release);
            const float a = s1.next(hz * 0.9960), b = s2.next(hz * 1.0040), c = s3.next(hz);
            const double cutoff = 900 + 500 * std::sin(2 * Pi * 0.2 * t);
            l = f2.lowpass(f1.lowpass(a + 0.6f * c, cutoff), cutoff) * e;
            r = f4.lowpass(f3.lowpass(b + 0.6f * c, cutoff), cutoff) * e;
            break;
        }
        case Instrument::Bass: {
            const float e = envelope(t, n.length, 0.004, 0.25, 0.65, release);
            const double ph = 2 * Pi * hz * t;
            const float body = static_cast<float>(std::sin(ph) + 0.25 * std::sin(2 * ph));
            const float grit = f2.lowpass(f1.lowpass(s1.next(hz), 500 + 1500 * std::exp(-t / 0.05)), 700);
            l = r = (body + 0.45f * grit) * e;
            break;
        }
        case Instrument::Lead: {
            const float e = envelope(t, n.length, 0.008, 0.2, 0.7, release);
            const double vib = t > 0.18 ? 0.22 * std::sin(2 * Pi * 5.5 * t) * std::min(1.0, (t - 0.18) * 4)
                                        : 0.0;
            const double f = hz * std::pow(2.0, vib / 12.0);
            const float v = f2.lowpass(f1.lowpass(pulse.next(f, 0.32), 3200), 5200);
            const float sub = static_cast<float>(0.3 * std::sin(2 * Pi * hz * t));
            l = r = (v + sub) * e;
            break;
        }
        case Instrument::Stab: {
            const float e = envelope(t, n.length, 0.003, 0.1, 0.0, release);
            const double cutoff = 700 + 3200 * std::exp(-t / 0.05);
            const float v = s1.next(hz * 0.997) + s2.next(hz * 1.003);
            l = r = f2.lowpass(f1.lowpass(v, cutoff), cutoff) * e;
            break;
        }
        case Instrument::Piano: {
            const float e = envelope(t, n.length, 0.002, 10.0, 1.0, release);
            double v = 0;
            for (int k = 0; k < 6; ++k) {
                v += partial[k].next() * partialAmp[k];
                partialAmp[k] *= partialStep[k];
            }
            const float click = t < 0.006 ? f1.lowpass(noise.next(), 3000) * static_cast<float>(1 - t / 0.006)
                                          : 0.0f;
            l = r = (static_cast<float>(v) + 0.5f * click) * e;
            break;
        }
        }
        const float g = n.velocity * fade;
        out.add(start + i, l * g * gl, r * g * gr);
    }
}

void renderDrum(SoundBuffer& out, Drum drum, double start, float velocity, float pan)
{
    const std::size_t first = static_cast<std::size_t>(std::llround(start * SampleRate));
    float gl, gr;
    panGains(pan, gl, gr);
    Noise noise(static_cast<std::uint32_t>(first * 13 + static_cast<int>(drum) * 101 + 5));
    OnePole a, b;
    double length = 0.5;
    switch (drum) {
    case Drum::Kick: length = 0.45; break;
    case Drum::Snare: length = 0.3; break;
    case Drum::ClosedHat: length = 0.12; break;
    case Drum::OpenHat: length = 0.6; break;
    case Drum::Shaker: length = 0.15; break;
    case Drum::Clap: length = 0.35; break;
    }
    const std::size_t total = static_cast<std::size_t>(length * SampleRate);
    double phase = 0;
    for (std::size_t i = 0; i < total; ++i) {
        const double t = double(i) / SampleRate;
        const float end = static_cast<float>(std::min(1.0, (length - t) / 0.02));  // no step at the end
        const float n = noise.next();
        float v = 0;
        switch (drum) {
        case Drum::Kick: {
            const double f = 46 + 120 * std::exp(-t / 0.03);
            phase += 2 * Pi * f / SampleRate;
            v = static_cast<float>(std::sin(phase) * std::exp(-t / 0.22));
            v += t < 0.003 ? 0.3f * n * static_cast<float>(1 - t / 0.003) : 0.0f;
            break;
        }
        case Drum::Snare: {
            phase += 2 * Pi * 190 / SampleRate;
            const float tone = static_cast<float>(0.6 * std::sin(phase) * std::exp(-t / 0.045));
            const float hp = n - a.lowpass(n, 1200);
            v = tone + 0.8f * b.lowpass(hp, 7000) * static_cast<float>(std::exp(-t / 0.1));
            break;
        }
        case Drum::ClosedHat:
        case Drum::OpenHat: {
            const float hp = n - a.lowpass(n, 7000);
            const double decay = drum == Drum::ClosedHat ? 0.022 : 0.16;
            v = (hp - b.lowpass(hp, 9000) * 0.3f) * static_cast<float>(std::exp(-t / decay));
            break;
        }
        case Drum::Shaker: {
            const float hp = n - a.lowpass(n, 5000);
            const double env = std::min(1.0, t / 0.012) * std::exp(-std::max(0.0, t - 0.012) / 0.04);
            v = hp * static_cast<float>(env);
            break;
        }
        case Drum::Clap: {
            const float bp = b.lowpass(n - a.lowpass(n, 900), 2600);
            double env = 0;
            for (int k = 0; k < 3; ++k) {
                const double tk = t - k * 0.011;
                if (tk >= 0) env = std::max(env, std::exp(-tk / (k == 2 ? 0.09 : 0.006)));
            }
            v = 1.6f * bp * static_cast<float>(env);
            break;
        }
        }
        v *= velocity * end;
        out.add(first + i, v * gl, v * gr);
    }
}

namespace {

struct Comb {
    std::vector<float> buf;
    std::size_t pos = 0;
    float store = 0;
    float process(float x, float feedback, float damp)
    {
        const float y = buf[pos];
        store = y * (1 - damp) + store * damp;
        buf[pos] = x + store * feedback;
        if (++pos == buf.size()) pos = 0;
        return y;
    }
};

struct Allpass {
    std::vector<float> buf;
    std::size_t pos = 0;
    float process(float x)
    {
        const float b = buf[pos];
        const float y = -x + b;
        buf[pos] = x + b * 0.5f;
        if (++pos == buf.size()) pos = 0;
        return y;
    }
};

}  // namespace

SoundBuffer reverb(const SoundBuffer& in, float roomSize, float damping)
{
    static const int combs[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    static const int allpasses[4] = {556, 441, 341, 225};
    const int spread = 23;
    std::vector<Comb> cl(8), cr(8);
    std::vector<Allpass> al(4), ar(4);
    for (int i = 0; i < 8; ++i) {
        cl[i].buf.assign(combs[i], 0.0f);
        cr[i].buf.assign(combs[i] + spread, 0.0f);
    }
    for (int i = 0; i < 4; ++i) {
        al[i].buf.assign(allpasses[i], 0.0f);
        ar[i].buf.assign(allpasses[i] + spread, 0.0f);
    }
    const float feedback = roomSize * 0.28f + 0.7f, damp = damping * 0.4f;
    SoundBuffer out(in.frames(), in.looped());
    // A looped input is periodic: after one warm-up pass the reverb holds
    // the tail of the loop's end, which then rings into its start.
    const int passes = in.looped() ? 2 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        for (std::size_t i = 0; i < in.frames(); ++i) {
            const float x = (in.left(i) + in.right(i)) * 0.015f;
            float l = 0, r = 0;
            for (int k = 0; k < 8; ++k) {
                l += cl[k].process(x, feedback, damp);
                r += cr[k].process(x, feedback, damp);
            }
            for (int k = 0; k < 4; ++k) {
                l = al[k].process(l);
                r = ar[k].process(r);
            }
            if (pass == passes - 1) {
                out.leftData()[i] = l;
                out.rightData()[i] = r;
            }
        }
    }
    return out;
}

double rmsDb(const SoundBuffer& b)
{
    double sum = 0;
    for (std::size_t i = 0; i < b.frames(); ++i)
        sum += (double(b.left(i)) * b.left(i) + double(b.right(i)) * b.right(i)) * 0.5;
    return 10.0 * std::log10(std::max(sum / std::max<std::size_t>(1, b.frames()), 1e-20));
}

double peakDb(const SoundBuffer& b)
{
    float peak = 0;
    for (std::size_t i = 0; i < b.frames(); ++i)
        peak = std::max({peak, std::fabs(b.left(i)), std::fabs(b.right(i))});
    return 20.0 * std::log10(std::max(double(peak), 1e-10));
}

double maxWindowRmsDb(const SoundBuffer& b, double window)
{
    const std::size_t w = std::max<std::size_t>(1, static_cast<std::size_t>(window * SampleRate));
    double sum = 0, best = 0;
    for (std::size_t i = 0; i < b.frames(); ++i) {
        sum += (double(b.left(i)) * b.left(i) + double(b.right(i)) * b.right(i)) * 0.5;
        if (i >= w)
            sum -= (double(b.left(i - w)) * b.left(i - w) + double(b.right(i - w)) * b.right(i - w)) * 0.5;
        best = std::max(best, sum);
    }
    return 10.0 * std::log10(std::max(best / w, 1e-20));
}

void level(SoundBuffer& b, double targetDb, double ceilingDb, double window)
{
    const std::vector<float> l0 = b.leftData(), r0 = b.rightData();
    const float ceiling = static_cast<float>(std::pow(10.0, ceilingDb / 20.0));
    const float knee = ceiling * 0.6f;
    auto bend = [&](float x) {
        const float m = std::fabs(x);
        if (m <= knee) return x;
        const float y = knee + (ceiling - knee) * std::tanh((m - knee) / (ceiling - knee));
        return x < 0 ? -y : y;
    };
    double gainDb = 0;
    for (int round = 0; round < 4; ++round) {
        const double now = window > 0 ? maxWindowRmsDb(b, window) : rmsDb(b);
        gainDb += targetDb - now;
        const float g = static_cast<float>(std::pow(10.0, gainDb / 20.0));
        for (std::size_t i = 0; i < b.frames(); ++i) {
            b.leftData()[i] = bend(l0[i] * g);
            b.rightData()[i] = bend(r0[i] * g);
        }
    }
}

void fadeOut(SoundBuffer& b, double seconds)
{
    const std::size_t n = std::min(b.frames(), static_cast<std::size_t>(seconds * SampleRate));
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t i = b.frames() - n + k;
        const float g = static_cast<float>(std::cos(0.5 * Pi * double(k + 1) / n));
        b.leftData()[i] *= g * g;
        b.rightData()[i] *= g * g;
    }
}

static std::int16_t toSample(float v)
{
    const long s = std::lround(std::min(1.0f, std::max(-1.0f, v)) * 32767.0f);
    return static_cast<std::int16_t>(s);
}

std::vector<std::uint8_t> toWav(const SoundBuffer& b, bool stereo)
{
    const std::uint16_t channels = stereo ? 2 : 1;
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(b.frames() * channels * 2);
    std::vector<std::uint8_t> out;
    out.reserve(44 + dataBytes);
    for (char ch : {'R', 'I', 'F', 'F'})
        out.push_back(static_cast<std::uint8_t>(ch));
    put32(out, 36 + dataBytes);
    for (char ch : {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '})
        out.push_back(static_cast<std::uint8_t>(ch));
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, channels);
    put32(out, SampleRate);
    put32(out, SampleRate * channels * 2);
    put16(out, static_cast<std::uint16_t>(channels * 2));
    put16(out, 16);
    for (char ch : {'d', 'a', 't', 'a'})
        out.push_back(static_cast<std::uint8_t>(ch));
    put32(out, dataBytes);
    for (std::size_t i = 0; i < b.frames(); ++i) {
        const std::int16_t l = toSample(b.left(i));
        put16(out, static_cast<std::uint16_t>(l));
        if (stereo) put16(out, static_cast<std::uint16_t>(toSample(b.right(i))));
    }
    return out;
}

}  // namespace assetgen
