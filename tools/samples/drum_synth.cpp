// Synthesised drum sounds (mono, 44100 Hz) for the sampler patches: kick, snare, hats, clap, tom.
#include "drum_synth.h"

#include <cmath>

#include "wave_writer.h"

namespace {

constexpr double TWO_PI = 6.283185307179586;

int frames_for(double seconds) {
    return static_cast<int>(std::lround(seconds * SAMPLE_RATE));
}

// A second-order section with the Audio EQ Cookbook's high-pass and band-pass forms,
// normalised so that a0 = 1.
struct Biquad {
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;

    static Biquad highpass(double f, double q) {
        const double w = TWO_PI * f / SAMPLE_RATE, cs = std::cos(w), alpha = std::sin(w) / (2 * q);
        const double n = 1 / (1 + alpha);
        Biquad b;
        b.b0 = (1 + cs) / 2 * n;
        b.b1 = -(1 + cs) * n;
        b.b2 = b.b0;
        b.a1 = -2 * cs * n;
        b.a2 = (1 - alpha) * n;
        return b;
    }

    static Biquad bandpass(double f, double q) {
        const double w = TWO_PI * f / SAMPLE_RATE, cs = std::cos(w), alpha = std::sin(w) / (2 * q);
        const double n = 1 / (1 + alpha);
        Biquad b;
        b.b0 = alpha * n;
        b.b1 = 0;
        b.b2 = -alpha * n;
        b.a1 = -2 * cs * n;
        b.a2 = (1 - alpha) * n;
        return b;
    }

    float run(float x) {
        const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return static_cast<float>(y);
    }
};

// Pitch-swept sine: f(t) = base + sweep x e^(-t / sweep_tau), amplitude e^(-t / tau), with a
// short noise click for the beater. Shared by kick and tom.
std::vector<float> swept_drum(double seconds, double base, double sweep, float sweep_tau, float tau,
                              float click, uint32_t seed) {
    NoiseSource noise(seed);
    std::vector<float> out(frames_for(seconds));
    double phase = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const float t = static_cast<float>(i) / SAMPLE_RATE;
        phase += TWO_PI * (base + sweep * decay(t, sweep_tau)) / SAMPLE_RATE;
        const float attack = std::fmin(1.0f, t / 0.001f); // 1 ms: no step at the start
        out[i] = static_cast<float>(std::sin(phase)) * decay(t, tau) * attack +
                 click * noise.next() * decay(t, 0.0015f);
    }
    return out;
}

// Six detuned square waves at inharmonic ratios plus noise, high-passed: the metallic body
// of a hi-hat, shaped by an envelope of time constant tau.
std::vector<float> metal_hat(double seconds, float tau, uint32_t seed) {
    static const double partials[6] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
    NoiseSource noise(seed);
    Biquad hp1 = Biquad::highpass(7000, 0.707), hp2 = Biquad::highpass(7000, 0.707);
    std::vector<float> out(frames_for(seconds));
    for (size_t i = 0; i < out.size(); ++i) {
        const float t = static_cast<float>(i) / SAMPLE_RATE;
        float metal = 0;
        for (double f : partials)
            metal += std::sin(TWO_PI * 1.7 * f * t) >= 0 ? 1.0f : -1.0f;
        const float src = metal / 6 * 0.6f + noise.next() * 0.7f;
        out[i] = hp2.run(hp1.run(src)) * decay(t, tau);
    }
    return out;
}

std::vector<float> finish(std::vector<float> s, float peak) {
    normalise(s, peak);
    fade_in(s, frames_for(0.0003));
    fade_out(s, frames_for(0.005));
    return s;
}

} // namespace

float NoiseSource::next() {
    // xorshift32: period 2^32 - 1, good enough for audio noise.
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return static_cast<float>(state / 2147483648.0 - 1.0);
}

float decay(float t, float tau) {
    return std::exp(-t / tau);
}

void fade_in(std::vector<float>& signal, int frames) {
    const int n = static_cast<int>(signal.size());
    if (frames > n) frames = n;
    for (int k = 0; k < frames; ++k)
        signal[k] *= static_cast<float>(k) / frames;
}

void fade_out(std::vector<float>& signal, int frames) {
    const int n = static_cast<int>(signal.size());
    if (frames > n) frames = n;
    for (int k = 0; k < frames; ++k) {
        // The last sample gets gain 0, the first of the ramp gain (frames - 1) / frames.
        signal[n - 1 - k] *= static_cast<float>(k) / frames;
    }
}

int zero_crossings(const std::vector<float>& signal, size_t begin, size_t end) {
    int count = 0;
    for (size_t i = begin + 1; i < end && i < signal.size(); ++i)
        if ((signal[i - 1] < 0) != (signal[i] < 0)) ++count;
    return count;
}

std::vector<float> synth_kick() {
    return finish(swept_drum(0.35, 48, 120, 0.03f, 0.11f, 0.25f, 11), 0.95f);
}

std::vector<float> synth_tom() {
    return finish(swept_drum(0.55, 95, 60, 0.06f, 0.2f, 0.15f, 17), 0.9f);
}

std::vector<float> synth_snare() {
    NoiseSource noise(23);
    Biquad hp = Biquad::highpass(1500, 0.707);
    std::vector<float> out(frames_for(0.26));
    for (size_t i = 0; i < out.size(); ++i) {
        const float t = static_cast<float>(i) / SAMPLE_RATE;
        const float tone = static_cast<float>(0.5 * std::sin(TWO_PI * 190 * t) * decay(t, 0.045f) +
                                              0.3 * std::sin(TWO_PI * 330 * t) * decay(t, 0.03f));
        const float attack = std::fmin(1.0f, t / 0.0005f);
        out[i] = (tone + 0.9f * hp.run(noise.next()) * decay(t, 0.065f)) * attack;
    }
    return finish(out, 0.9f);
}

std::vector<float> synth_hat_closed() {
    return finish(metal_hat(0.09, 0.018f, 31), 0.6f);
}

std::vector<float> synth_hat_open() {
    return finish(metal_hat(0.45, 0.13f, 37), 0.5f);
}

std::vector<float> synth_clap() {
    // Three quick bursts (the hands of several players) then a diffuse tail, all band-passed.
    static const float bursts[3] = {0.0f, 0.011f, 0.022f};
    NoiseSource noise(41);
    Biquad bp = Biquad::bandpass(1200, 1.5);
    std::vector<float> out(frames_for(0.3));
    for (size_t i = 0; i < out.size(); ++i) {
        const float t = static_cast<float>(i) / SAMPLE_RATE;
        float env = 0;
        for (float b : bursts)
            if (t >= b) env += decay(t - b, 0.005f);
        if (t >= 0.03f) env += 0.8f * decay(t - 0.03f, 0.07f);
        out[i] = bp.run(noise.next()) * env;
    }
    return finish(out, 0.8f);
}

const std::vector<DrumSound>& drum_kit() {
    static const std::vector<DrumSound> kit = {
        {"kick.wav", 0.35, synth_kick},
        {"snare.wav", 0.26, synth_snare},
        {"hat_closed.wav", 0.09, synth_hat_closed},
        {"hat_open.wav", 0.45, synth_hat_open},
        {"clap.wav", 0.3, synth_clap},
        {"tom.wav", 0.55, synth_tom},
    };
    return kit;
}
