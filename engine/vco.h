// VCO: the oscillator module, six waveforms from a running phase with four modulation slots.
#pragma once
#include <cmath>

#include "ports.h"

enum VCO_WAVE { WAVE_SIN = 1, WAVE_TRI = 2, WAVE_SAW = 3, WAVE_SQR = 4, WAVE_NOISE = 5, WAVE_PULSE = 6 };

// Cache-line aligned: the per-sample fields, the first 120 bytes, take two lines.
struct alignas(64) VCO : OUTPUT, INPUT, INPUT_GATE, INPUT_SYNC {
    VCO();
    int process() override;
    // One sample; inline so that the sweep runs a list of oscillators without calls.
    int tick();

    int32_t power = 1;
    MOD_SLOT mod_phase = nullptr;
    MOD_SLOT mod_freq = nullptr;
    MOD_SLOT mod_amp = nullptr;
    MOD_SLOT mod_pwm = nullptr;
    float phase = 0.0f;
    float PHASE;
    float AMOUNT = 1.0f;
    float FREQ = 110.0f;
    float PWM = 0.1f;
    float noise_level = 0.0f;
    float played_freq = 0.0f;
    int32_t TYPE = WAVE_SIN;
    // The name sits last so that the fields read every sample share few cache lines.
    char name[80] = "Emptynamed_VCO";

  private:
    // PHASE scaled by the phase modulation slot when it is connected.
    float phase_offset() const {
        const float p = shared_load(PHASE);
        return mod_phase != nullptr ? (read_mod(mod_phase) + 1.0f) * p : p;
    }
    int other_wave(int type, float amp, float t);
};

// Waveform arithmetic, one sample each; t is the running phase in [-1, 1].
float vco_sin(float amp, float off, float t);
float vco_sqr(float amp, float off, float t);
float vco_pulse(float amp, float off, float t, float pw);

// Rises from -amp at t = 0 to +amp at |t| = 1: one triangle per phase period (two units).
inline float vco_tri(float amp, float t) {
    return 2.0f * amp * std::fabs(t) - amp;
}
inline float vco_saw(float amp, float t) {
    return t * amp;
}

// The settings are read once each through shared_load: the door changes them between samples.
inline int VCO::tick() {
    if (TESSARO_UNLIKELY(shared_load(power) == 0)) {
        value = 0.0f;
        return 1;
    }
    float amp = shared_load(AMOUNT);
    float f = shared_load(FREQ);
    if (input != nullptr) {
        f = *input * f * 0.022727273f; // 1/44: a note at FREQ 44 is followed exactly
        played_freq = f;
    }
    if (TESSARO_UNLIKELY(any_connected(sync_in, mod_amp, mod_freq))) {
        if (sync_in != nullptr && *sync_in != 0) phase = 0.0f;
        if (mod_amp != nullptr) amp = (read_mod(mod_amp) + 1.0f) * amp;
        if (mod_freq != nullptr) f = f * (read_mod(mod_freq) + 1.0f);
    }
    if (amp > 1.0f) amp = 1.0f;

    // Only a rise above 1 wraps: the phase covers two units per period.
    float t = phase + f * SAMPLE_PERIOD;
    if (TESSARO_UNLIKELY(t > 1.0f)) t = -1.0f;
    phase = t;

    const int type = shared_load(TYPE);
    if (type == WAVE_SAW)
        value = clip_unit(vco_saw(amp, t));
    else if (type == WAVE_TRI)
        value = clip_unit(vco_tri(amp, t));
    else
        return other_wave(type, amp, t);
    return 1;
}
