#include "Song.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace song {

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr double DT = 1.0 / SAMPLE_RATE;
constexpr long TOTAL = static_cast<long>(LENGTH * SAMPLE_RATE);
// Saturation of the master stage.
constexpr double DRIVE = 1.6;

long to_sample(double seconds) { return static_cast<long>(std::lround(seconds * SAMPLE_RATE)); }

double midi_hz(double pitch) { return 440.0 * std::pow(2.0, (pitch - 69.0) / 12.0); }

double clamp01(double x) { return std::min(1.0, std::max(0.0, x)); }

// 0 before a, 1 after b, a smooth S-curve between.
double smoothstep(double a, double b, double x) {
    double u = clamp01((x - a) / (b - a));
    return u * u * (3.0 - 2.0 * u);
}

// Deterministic white noise (xorshift32), one generator per sound source.
struct Noise {
    uint32_t state;
    explicit Noise(uint32_t seed) : state(seed) {}
    double next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state / 2147483648.0 - 1.0;
    }
};

// Correction that removes most of a sawtooth's aliasing around its jump.
double poly_blep(double phase, double step) {
    if (phase < step) {
        double u = phase / step;
        return u + u - u * u - 1.0;
    }
    if (phase > 1.0 - step) {
        double u = (phase - 1.0) / step;
        return u * u + u + u + 1.0;
    }
    return 0.0;
}

struct Saw {
    double phase = 0.0;
    double next(double hz) {
        double step = hz * DT;
        double out = 2.0 * phase - 1.0 - poly_blep(phase, step);
        phase += step;
        phase -= std::floor(phase);
        return out;
    }
};

// Pulse wave from two sawtooths half a period apart.
struct Square {
    Saw a, b;
    Square() { b.phase = 0.5; }
    double next(double hz) { return 0.5 * (a.next(hz) - b.next(hz)); }
};

struct Sine {
    double phase = 0.0;
    double next(double hz) {
        double out = std::sin(2.0 * PI * phase);
        phase += hz * DT;
        phase -= std::floor(phase);
        return out;
    }
};

// Samples between updates of a moving filter cutoff (0.36 ms, too short to hear steps).
constexpr long CONTROL = 16;

// Two-pole state-variable filter (trapezoidal integration, stable under fast cutoff changes).
struct Filter {
    double ic1 = 0.0, ic2 = 0.0;
    double k = 1.0, a1 = 0.0, a2 = 0.0, a3 = 0.0;
    double low = 0.0, band = 0.0, high = 0.0;
    Filter(double cutoff, double q) { tune(cutoff, q); }
    void tune(double cutoff, double q) {
        double g = std::tan(PI * std::min(cutoff, 0.45 * SAMPLE_RATE) * DT);
        k = 1.0 / q;
        a1 = 1.0 / (1.0 + g * (g + k));
        a2 = g * a1;
        a3 = g * a2;
    }
    void run(double x) {
        double v3 = x - ic2;
        double v1 = a1 * ic1 + a2 * v3;
        double v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2.0 * v1 - ic1;
        ic2 = 2.0 * v2 - ic2;
        low = v2;
        band = v1;
        high = x - k * v1 - v2;
    }
};

// Attack, decay to sustain while held for `length`, then a linear release.
double adsr(double t, double length, double attack, double decay, double sustain, double release) {
    auto held = [&](double u) {
        if (u < attack)
            return u / attack;
        return sustain + (1.0 - sustain) * std::exp(-(u - attack) / decay);
    };
    if (t < length)
        return held(t);
    return held(length) * clamp01(1.0 - (t - length) / release);
}

// Everything the instruments write: the dry mix and the sends to delay and reverb.
struct Bus {
    std::vector<double> left, right;
    Bus() : left(TOTAL, 0.0), right(TOTAL, 0.0) {}
};

struct Mix {
    Bus dry, delay, reverb;
};

struct Sends {
    double pan = 0.0;  // -1 left .. 1 right
    double delay = 0.0;
    double reverb = 0.0;
};

void emit(Mix& mix, long i, double left, double right, const Sends& s) {
    double gl = std::sqrt(0.5 * (1.0 - s.pan));
    double gr = std::sqrt(0.5 * (1.0 + s.pan));
    double l = left * gl * 1.41421356;
    double r = right * gr * 1.41421356;
    mix.dry.left[i] += l;
    mix.dry.right[i] += r;
    mix.delay.left[i] += l * s.delay;
    mix.delay.right[i] += r * s.delay;
    mix.reverb.left[i] += l * s.reverb;
    mix.reverb.right[i] += r * s.reverb;
}

// Calls `sample(t, i)` for each sample of a sound starting at `start` seconds and lasting `length`.
template <class F>
void play(double start, double length, F sample) {
    long first = std::max(0L, to_sample(start));
    long last = std::min(TOTAL, to_sample(start + length));
    for (long i = first; i < last; ++i)
        sample(i * DT - start, i);
}

// ---- Harmony and automation ----

struct Chord {
    int voicing[3];  // pad voices around middle C, smooth voice leading
    int root;        // bass root
};

// Am F C G, one chord per bar; the last two bars rest on Am.
const Chord PROGRESSION[4] = {
    {{57, 60, 64}, 45},  // Am
    {{57, 60, 65}, 41},  // F
    {{55, 60, 64}, 48},  // C
    {{55, 59, 62}, 43},  // G
};

const Chord& chord_of_bar(int bar) { return bar >= 26 ? PROGRESSION[0] : PROGRESSION[bar % 4]; }

// How far the filters are open: dark intro, opening through the build-up, closing in the ending.
double brightness(double t) {
    if (t < INTRO_END)
        return 0.15 + 0.1 * t / INTRO_END;
    if (t < BUILD_END)
        return 0.25 + 0.75 * std::pow((t - INTRO_END) / (BUILD_END - INTRO_END), 1.5);
    if (t < CLIMAX_END)
        return 1.0;
    return 1.0 - 0.85 * smoothstep(CLIMAX_END, 54.0, t);
}

// Side-chain pumping: pads and bass duck under each kick of the full beat.
double duck(double t) {
    double depth = 0.0;
    if (t >= BUILD_END && t < CLIMAX_END)
        depth = 0.4;
    else if (t >= 20.0 && t < 26.0)
        depth = 0.2;
    if (depth == 0.0)
        return 1.0;
    double u = t - std::floor(t / BEAT) * BEAT;
    double shape = u < 0.005 ? u / 0.005 : std::exp(-(u - 0.005) / 0.12);
    return 1.0 - depth * shape;
}

// ---- Instruments ----

// Three detuned sawtooths spread across the stereo field, low-passed, slow swell.
void pad(Mix& mix, double start, double length, double pitch, double level, double attack, uint32_t seed) {
    Noise rng(seed);
    Saw voices[3];
    for (Saw& v : voices)
        v.phase = 0.5 * (rng.next() + 1.0);
    const double hz[3] = {midi_hz(pitch - 0.11), midi_hz(pitch), midi_hz(pitch + 0.12)};
    auto cutoff = [](double now) { return 500.0 * std::pow(9.0, brightness(now)); };
    Filter fl(cutoff(start), 0.8), fr(cutoff(start), 0.8);
    const double release = 1.0;
    play(start, length + release, [&](double t, long i) {
        double now = start + t;
        if (i % CONTROL == 0) {
            fl.tune(cutoff(now), 0.8);
            fr.tune(cutoff(now), 0.8);
        }
        double a = voices[0].next(hz[0]);
        double b = voices[1].next(hz[1]);
        double c = voices[2].next(hz[2]);
        fl.run(a + 0.6 * b);
        fr.run(c + 0.6 * b);
        double g = level * adsr(t, length, attack, 1.0, 1.0, release) * duck(now);
        emit(mix, i, fl.low * g, fr.low * g, Sends{0.0, 0.0, 0.55});
    });
}

// Sawtooth with a sine sub-octave, plucked filter envelope.
void bass(Mix& mix, double start, double length, double pitch, double level) {
    Saw saw;
    Sine sub;
    auto cutoff = [&](double t) { return 150.0 + 1500.0 * std::exp(-t / 0.09) * (0.4 + 0.6 * brightness(start + t)); };
    Filter f(cutoff(0.0), 1.3);
    double hz = midi_hz(pitch);
    play(start, length + 0.05, [&](double t, long i) {
        double now = start + t;
        if (i % CONTROL == 0)
            f.tune(cutoff(t), 1.3);
        f.run(saw.next(hz) + 0.8 * sub.next(hz * 0.5));
        double g = level * adsr(t, length, 0.004, 0.12, 0.75, 0.05) * duck(now);
        emit(mix, i, f.low * g, f.low * g, Sends{0.0, 0.0, 0.04});
    });
}

// Short pulse-wave pluck whose filter follows the build-up's opening.
void arp(Mix& mix, double start, double pitch, double level, double pan) {
    Square osc;
    auto cutoff = [&](double t) { return 300.0 * std::pow(25.0, brightness(start + t)) * (0.6 + 1.2 * std::exp(-t / 0.05)); };
    Filter f(cutoff(0.0), 1.5);
    double hz = midi_hz(pitch);
    play(start, 0.45, [&](double t, long i) {
        if (i % CONTROL == 0)
            f.tune(cutoff(t), 1.5);
        f.run(osc.next(hz));
        double g = level * std::min(1.0, t / 0.002) * std::exp(-t / 0.12);
        emit(mix, i, f.low * g, f.low * g, Sends{pan, 0.4, 0.2});
    });
}

// Two-operator FM voice with a bright attack and delayed vibrato.
void lead(Mix& mix, double start, double length, double pitch, double level) {
    double carrier = 0.0, modulator = 0.0;
    play(start, length + 0.2, [&](double t, long i) {
        double vibrato = 0.15 * smoothstep(0.2, 0.5, t) * std::sin(2.0 * PI * 5.5 * t);
        double hz = midi_hz(pitch + vibrato);
        double index = 1.1 + 2.2 * std::exp(-t / 0.12);
        double x = std::sin(2.0 * PI * carrier + index * std::sin(2.0 * PI * modulator));
        carrier += hz * DT;
        modulator += hz * DT;
        carrier -= std::floor(carrier);
        modulator -= std::floor(modulator);
        double g = level * adsr(t, length, 0.01, 0.25, 0.7, 0.15);
        emit(mix, i, x * g, x * g, Sends{0.0, 0.3, 0.3});
    });
}

void kick(Mix& mix, double start, double level, double decay = 0.28) {
    Noise rng(0x4b1c);
    double phase = 0.0;
    play(start, decay * 5.0, [&](double t, long i) {
        double hz = 45.0 + 120.0 * std::exp(-t / 0.035);
        phase += hz * DT;
        double body = std::sin(2.0 * PI * phase) * std::exp(-t / decay);
        double click = rng.next() * std::exp(-t / 0.003) * 0.3;
        double x = level * std::min(1.0, t / 0.001) * (body + click);
        emit(mix, i, x, x, Sends{0.0, 0.0, 0.03});
    });
}

void snare(Mix& mix, double start, double level) {
    Noise rng(0x5a7e);
    Filter f(2500.0, 0.7);
    double phase = 0.0;
    play(start, 0.6, [&](double t, long i) {
        phase += (180.0 + 40.0 * std::exp(-t / 0.02)) * DT;
        double tone = 0.5 * std::sin(2.0 * PI * phase) * std::exp(-t / 0.06);
        f.run(rng.next());
        double noise = (f.band + 0.5 * f.high) * std::exp(-t / 0.13);
        double x = level * std::min(1.0, t / 0.001) * (tone + noise);
        emit(mix, i, x, x, Sends{0.0, 0.0, 0.25});
    });
}

void hat(Mix& mix, double start, double level, bool open) {
    Noise rng(open ? 0x0be7 : 0xc105);
    Filter f(7500.0, 0.8);
    double decay = open ? 0.2 : 0.035;
    play(start, decay * 6.0, [&](double t, long i) {
        f.run(rng.next());
        double x = level * f.high * std::exp(-t / decay);
        emit(mix, i, x, x, Sends{0.25, 0.0, 0.1});
    });
}

// Long high-passed noise wash, decorrelated left and right.
void crash(Mix& mix, double start, double level) {
    Noise nl(0xc4a5), nr(0x5b1e);
    Filter fl(4500.0, 0.7), fr(4500.0, 0.7);
    play(start, 6.0, [&](double t, long i) {
        fl.run(nl.next());
        fr.run(nr.next());
        double g = level * std::min(1.0, t / 0.002) * std::exp(-t / 1.1);
        emit(mix, i, fl.high * g, fr.high * g, Sends{0.0, 0.0, 0.4});
    });
}

// Noise through a band-pass sweeping up, with a rising tone beneath, ending on `end`.
void riser(Mix& mix, double start, double end, double level) {
    Noise nl(0x715e), nr(0x2f0a);
    Filter fl(300.0, 2.5), fr(300.0, 2.5), ft(2000.0, 0.7);
    Saw tone;
    double length = end - start;
    play(start, length, [&](double t, long i) {
        double u = t / length;
        if (i % CONTROL == 0) {
            fl.tune(300.0 * std::pow(30.0, u), 2.5);
            fr.tune(300.0 * std::pow(30.0, u), 2.5);
        }
        fl.run(nl.next());
        fr.run(nr.next());
        ft.run(tone.next(110.0 * std::pow(8.0, u)));
        double g = level * u * u;
        double t2 = 0.3 * ft.low;
        emit(mix, i, (fl.band + t2) * g, (fr.band + t2) * g, Sends{0.0, 0.0, 0.3});
    });
}

// ---- The score ----

void score_pads(Mix& mix) {
    for (int bar = 0; bar < 28; ++bar) {
        double start = bar * BAR;
        double level = 0.05;
        if (start >= INTRO_END)
            level = 0.055;
        if (start >= BUILD_END && start < CLIMAX_END)
            level = 0.065;
        double attack = bar == 0 ? 2.5 : 0.5;
        const Chord& chord = chord_of_bar(bar);
        uint32_t seed = 1000 + bar * 8;
        for (int v = 0; v < 3; ++v)
            pad(mix, start, BAR, chord.voicing[v], level, attack, seed + v);
        pad(mix, start, BAR, chord.root + 12, level * 0.8, attack, seed + 3);
    }
}

void score_bass(Mix& mix) {
    // Build-up: quarter notes, then driving eighths; it rests for the last half bar before the drop.
    for (int bar = 6; bar < 14; ++bar) {
        int root = chord_of_bar(bar).root;
        bool eighths = bar >= 8;
        int steps = eighths ? 8 : 4;
        double step = BAR / steps;
        for (int s = 0; s < steps; ++s) {
            double start = bar * BAR + s * step;
            if (start >= 27.0)
                break;
            bass(mix, start, step * 0.8, root, s % 2 == 0 ? 0.2 : 0.16);
        }
    }
    // Climax: eighths with octave and fifth jumps.
    const int pattern[8] = {0, 0, 12, 0, 0, 12, 0, 7};
    for (int bar = 14; bar < 22; ++bar) {
        int root = chord_of_bar(bar).root;
        for (int s = 0; s < 8; ++s)
            bass(mix, bar * BAR + s * 0.25, 0.2, root + pattern[s], s % 2 == 0 ? 0.22 : 0.18);
    }
    // Ending: two long notes, then the bass drops out.
    for (int bar = 22; bar < 24; ++bar)
        bass(mix, bar * BAR, 1.8, chord_of_bar(bar).root, 0.16);
}

void score_arp(Mix& mix) {
    for (int bar = 6; bar < 24; ++bar) {
        const Chord& chord = chord_of_bar(bar);
        // The span rises through the build-up: one, two, then three octaves.
        int span = bar < 14 ? 1 + (bar - 6) / 3 : 2;
        double level = 0.055;
        if (bar < 14)
            level = 0.035 + 0.025 * (bar - 6) / 7.0;
        else if (bar >= 22)
            level = 0.045 - 0.012 * (bar - 22);
        for (int s = 0; s < 16; ++s) {
            int n = s % (3 * span);
            if (bar >= 14 && (s / (3 * span)) % 2 == 1)
                n = 3 * span - 1 - n;  // climax: up and down
            int pitch = chord.voicing[n % 3] + 12 * (n / 3);
            double accent = s % 4 == 0 ? 1.0 : 0.7;
            arp(mix, bar * BAR + s * BEAT / 4, pitch, level * accent, s % 2 == 0 ? -0.35 : 0.35);
        }
    }
}

void score_lead(Mix& mix) {
    struct Phrase {
        double beat, beats;
        int pitch;
    };
    // Eight bars over Am F C G Am F C G; beats counted from the start of the climax.
    const Phrase melody[] = {
        {0, 1.5, 76},  {1.5, 0.5, 74}, {2, 1, 72},     {3, 0.5, 71},  {3.5, 0.5, 72},
        {4, 2, 69},    {6, 1, 72},     {7, 1, 77},     {8, 1.5, 76},  {9.5, 0.5, 74},
        {10, 1, 72},   {11, 1, 67},    {12, 2, 71},    {14, 1, 74},   {15, 1, 79},
        {16, 1.5, 81}, {17.5, 0.5, 79}, {18, 1, 76},   {19, 1, 72},   {20, 1.5, 77},
        {21.5, 0.5, 76}, {22, 1, 72},  {23, 1, 69},    {24, 1, 72},   {25, 1, 74},
        {26, 1, 76},   {27, 1, 79},    {28, 2, 79},    {30, 1, 74},   {31, 1, 71},
    };
    for (const Phrase& p : melody) {
        double start = BUILD_END + p.beat * BEAT;
        double length = p.beats * BEAT * 0.92;
        lead(mix, start, length, p.pitch, 0.13);
        // The second half doubles the line an octave up.
        if (p.beat >= 16)
            lead(mix, start, length, p.pitch + 12, 0.04);
    }
}

void score_drums(Mix& mix) {
    // Build-up, first half: kick on one and three, off-beat hats.
    for (int bar = 6; bar < 10; ++bar) {
        double t = bar * BAR;
        kick(mix, t, 0.5);
        kick(mix, t + 2 * BEAT, 0.5);
        for (int e = 1; e < 8; e += 2)
            hat(mix, t + e * BEAT / 2, 0.5, false);
    }
    // Second half: four on the floor, snare on two and four.
    for (int bar = 10; bar < 13; ++bar) {
        double t = bar * BAR;
        for (int b = 0; b < 4; ++b)
            kick(mix, t + b * BEAT, 0.6);
        snare(mix, t + BEAT, 0.6);
        snare(mix, t + 3 * BEAT, 0.6);
        for (int e = 0; e < 8; ++e)
            hat(mix, t + e * BEAT / 2, e % 2 ? 0.55 : 0.3, false);
    }
    // Last bar before the drop: a snare roll speeding up from sixteenths to thirty-seconds.
    kick(mix, 26.0, 0.6);
    kick(mix, 26.5, 0.6);
    for (int s = 0; s < 24; ++s) {
        double t = s < 8 ? 26.0 + s * 0.125 : 27.0 + (s - 8) * 0.0625;
        snare(mix, t, 0.25 + 0.5 * s / 23.0);
    }
    // Climax: a kick on every beat, snare on two and four, sixteenth hats with open off-beats.
    for (int bar = 14; bar < 22; ++bar) {
        double t = bar * BAR;
        for (int b = 0; b < 4; ++b)
            kick(mix, t + b * BEAT, 0.8);
        snare(mix, t + BEAT, 0.65);
        snare(mix, t + 3 * BEAT, 0.65);
        for (int s = 0; s < 16; ++s) {
            double when = t + s * BEAT / 4;
            if (s % 4 == 2)
                hat(mix, when, 0.45, true);
            else
                hat(mix, when, s % 2 ? 0.3 : 0.5, false);
        }
    }
    // Ending: kick and hats thin out, then the drums stop.
    for (int bar = 22; bar < 24; ++bar) {
        double t = bar * BAR;
        kick(mix, t, 0.55);
        kick(mix, t + 2 * BEAT, 0.45);
        for (int e = 1; e < 8; e += 2)
            hat(mix, t + e * BEAT / 2, 0.4, false);
    }
    crash(mix, INTRO_END, 0.08);
    riser(mix, 24.0, BUILD_END, 0.35);
    // The big hit that opens the climax.
    crash(mix, BUILD_END, 0.22);
    kick(mix, BUILD_END, 0.5, 0.9);
    crash(mix, 36.0, 0.12);
    crash(mix, CLIMAX_END, 0.1);
}

// ---- Effects ----

// Ping-pong echo of a dotted eighth, darkened on every repeat.
void echo(const Bus& in, Bus& out) {
    const long delay = to_sample(0.375);
    const double feedback = 0.38;
    std::vector<double> line_l(delay, 0.0), line_r(delay, 0.0);
    double damp_l = 0.0, damp_r = 0.0;
    for (long i = 0; i < TOTAL; ++i) {
        long k = i % delay;
        double yl = line_l[k], yr = line_r[k];
        out.left[i] += yl;
        out.right[i] += yr;
        damp_l += 0.35 * (yl - damp_l);
        damp_r += 0.35 * (yr - damp_r);
        line_l[k] = in.left[i] + feedback * damp_r;  // cross-fed: bounces left and right
        line_r[k] = in.right[i] * 0.3 + feedback * damp_l;
    }
}

struct Comb {
    std::vector<double> line;
    long pos = 0;
    double store = 0.0;
    explicit Comb(long length) : line(length, 0.0) {}
    double run(double x, double feedback, double damp) {
        double y = line[pos];
        store = y * (1.0 - damp) + store * damp;
        line[pos] = x + store * feedback;
        pos = (pos + 1) % static_cast<long>(line.size());
        return y;
    }
};

struct Allpass {
    std::vector<double> line;
    long pos = 0;
    explicit Allpass(long length) : line(length, 0.0) {}
    double run(double x) {
        double y = line[pos];
        line[pos] = x + y * 0.5;
        pos = (pos + 1) % static_cast<long>(line.size());
        return y - x;
    }
};

// Parallel damped combs into series all-passes; the right side's lines are slightly longer.
void reverb_channel(const std::vector<double>& in, std::vector<double>& out, long spread) {
    const long comb_lengths[4] = {1116, 1188, 1277, 1356};
    const long allpass_lengths[2] = {556, 441};
    std::vector<Comb> combs;
    for (long n : comb_lengths)
        combs.emplace_back(n + spread);
    std::vector<Allpass> allpasses;
    for (long n : allpass_lengths)
        allpasses.emplace_back(n + spread);
    for (long i = 0; i < TOTAL; ++i) {
        double x = in[i] * 0.1;
        double y = 0.0;
        for (Comb& c : combs)
            y += c.run(x, 0.84, 0.3);
        for (Allpass& a : allpasses)
            y = a.run(y);
        out[i] += y;
    }
}

// The ending's fade: full level until 50 s, silent from FADE_END on.
double master_gain(double t) { return 1.0 - smoothstep(50.0, FADE_END, t); }

}

Stereo render() {
    Mix mix;
    score_pads(mix);
    score_bass(mix);
    score_arp(mix);
    score_lead(mix);
    score_drums(mix);

    // Echoes also feed the reverb.
    Bus echoes;
    echo(mix.delay, echoes);
    for (long i = 0; i < TOTAL; ++i) {
        mix.reverb.left[i] += 0.5 * echoes.left[i];
        mix.reverb.right[i] += 0.5 * echoes.right[i];
    }
    Bus room;
    reverb_channel(mix.reverb.left, room.left, 0);
    reverb_channel(mix.reverb.right, room.right, 23);

    std::vector<double> left(TOTAL), right(TOTAL);
    double peak = 0.0;
    for (long i = 0; i < TOTAL; ++i) {
        double g = master_gain(i * DT);
        left[i] = g * (mix.dry.left[i] + echoes.left[i] + room.left[i]);
        right[i] = g * (mix.dry.right[i] + echoes.right[i] + room.right[i]);
        peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
    }

    // Normalise, then a gentle tanh saturation lifts the body of the mix
    // while the loudest hits stay at PEAK.
    double scale = peak > 0.0 ? 1.0 / peak : 1.0;
    auto finish = [&](double x) { return static_cast<float>(PEAK * std::tanh(DRIVE * x * scale) / std::tanh(DRIVE)); };
    Stereo audio;
    audio.left.resize(TOTAL);
    audio.right.resize(TOTAL);
    for (long i = 0; i < TOTAL; ++i) {
        audio.left[i] = finish(left[i]);
        audio.right[i] = finish(right[i]);
    }
    return audio;
}

bool write_wav(const Stereo& audio, const char* path) {
    FILE* file = std::fopen(path, "wb");
    if (!file)
        return false;
    const uint32_t frames = static_cast<uint32_t>(audio.left.size());
    const uint32_t data_bytes = frames * 4;
    auto u32 = [&](uint32_t v) {
        unsigned char b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
        std::fwrite(b, 1, 4, file);
    };
    auto u16 = [&](uint16_t v) {
        unsigned char b[2] = {uint8_t(v), uint8_t(v >> 8)};
        std::fwrite(b, 1, 2, file);
    };
    std::fwrite("RIFF", 1, 4, file);
    u32(36 + data_bytes);
    std::fwrite("WAVEfmt ", 1, 8, file);
    u32(16);
    u16(1);  // PCM
    u16(2);
    u32(SAMPLE_RATE);
    u32(SAMPLE_RATE * 4);
    u16(4);
    u16(16);
    std::fwrite("data", 1, 4, file);
    u32(data_bytes);
    for (uint32_t i = 0; i < frames; ++i) {
        for (float s : {audio.left[i], audio.right[i]}) {
            double clamped = std::max(-1.0, std::min(1.0, static_cast<double>(s)));
            u16(static_cast<uint16_t>(static_cast<int16_t>(std::lround(clamped * 32767.0))));
        }
    }
    bool ok = !std::ferror(file);
    return std::fclose(file) == 0 && ok;
}

}
