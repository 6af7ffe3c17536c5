// VCO: the oscillator module, six waveforms from a running phase with four modulation slots.
#pragma once
#include "ports.h"

enum VCO_WAVE { WAVE_SIN = 1, WAVE_TRI = 2, WAVE_SAW = 3, WAVE_SQR = 4, WAVE_NOISE = 5, WAVE_PULSE = 6 };

struct VCO : OUTPUT, INPUT, INPUT_GATE, INPUT_SYNC {
    VCO();
    int process() override;

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
    float phase_offset() const { return mod_phase != nullptr ? (read_mod(mod_phase) + 1.0f) * PHASE : PHASE; }
    int other_wave(float amp, float t);
};

// Waveform arithmetic, one sample each; t is the running phase in [-1, 1].
float vco_sin(float amp, float off, float t);
float vco_tri(float amp, float t);
float vco_saw(float amp, float t);
float vco_sqr(float amp, float off, float t);
float vco_pulse(float amp, float off, float t, float pw);
float clip_unit(float v);
