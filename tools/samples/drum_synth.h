// Synthesised drum sounds (mono, 44100 Hz) for the sampler patches: kick, snare, hats, clap, tom.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// A deterministic white-noise source, so that the generated files are the same on every run.
struct NoiseSource {
    explicit NoiseSource(uint32_t seed) : state(seed ? seed : 1u) {}
    float next(); // uniform in [-1, 1)
    uint32_t state;
};

// e^(-t / tau): the exponential decay every drum envelope is made of.
float decay(float t, float tau);

// Ramps the first `frames` samples up from 0 so that a one-shot starts without a click.
void fade_in(std::vector<float>& signal, int frames);

// Ramps the last `frames` samples linearly down to 0 so that a one-shot ends without a click.
void fade_out(std::vector<float>& signal, int frames);

// Number of zero crossings in [begin, end): a rough measure of the pitch of a tone.
int zero_crossings(const std::vector<float>& signal, size_t begin, size_t end);

std::vector<float> synth_kick();
std::vector<float> synth_snare();
std::vector<float> synth_hat_closed();
std::vector<float> synth_hat_open();
std::vector<float> synth_clap();
std::vector<float> synth_tom();

// One sound of the kit: the file it is written to and how long it lasts.
struct DrumSound {
    const char* file;
    double seconds;
    std::vector<float> (*make)();
};

const std::vector<DrumSound>& drum_kit();
