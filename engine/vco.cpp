// VCO: construction, the sine-based, pulse and noise waveforms, and the out-of-line entry.
#include "vco.h"

#include <cmath>

#include "random.h"

namespace {

constexpr float TWO_PI = 6.2831853f;
constexpr float NOISE_SCALE = 3.0603500e-5f; // about 1/32676

// The remainder of a draw by amp x 32767 + 1 truncated: the held noise magnitude. A divisor
// that truncates to 0 (amp just below 0) or does not fit an int gives silence instead of a
// division fault.
float noise_magnitude(float amp) {
    float span = amp * 32767.0f + 1.0f;
    if (!(span > -2147483520.0f && span < 2147483520.0f)) return 0.0f;
    int divisor = static_cast<int>(span);
    if (divisor == 0) return 0.0f;
    return static_cast<float>(synth_rand() % divisor);
}

} // namespace

VCO::VCO() : PHASE(static_cast<float>(synth_rand() % 360)) {}

float vco_sin(float amp, float off, float t) {
    return amp * std::sin(TWO_PI * (off + t));
}

// Three levels at the sine's +-0.5 crossings. Each rule tests what the previous one left, so an
// amp below 0.5 is itself zeroed by the second rule.
float vco_sqr(float amp, float off, float t) {
    float v = std::sin(TWO_PI * (off + t));
    if (v >= 0.5f) v = amp;
    if (v >= 0.0f && v < 0.5f) v = 0.0f;
    if (v >= -0.5f && v < 0.0f) v = 0.0f;
    if (v < -0.5f) v = -amp;
    return v;
}

float vco_pulse(float amp, float off, float t, float pw) {
    return off + t > pw ? -amp : amp;
}

// The waveforms that need the phase offset, the pulse width, a sine or a random draw, kept out
// of line so that the ramp shapes run without a call or a stack frame. Stores the sample.
[[gnu::noinline]] int VCO::other_wave(int type, float amp, float t) {
    float v;
    switch (type) {
    case WAVE_SIN:
        v = vco_sin(amp, phase_offset(), t);
        break;
    case WAVE_SQR:
        v = vco_sqr(amp, phase_offset(), t);
        break;
    case WAVE_NOISE:
        // The magnitude is drawn once per phase period and held; the sign flips at random
        // every sample. With no amplitude the last sample is held.
        if (amp == 0.0f) return 1;
        if (t == -1.0f) noise_level = noise_magnitude(amp);
        if (synth_rand() & 1) noise_level = -noise_level;
        v = noise_level * NOISE_SCALE;
        break;
    case WAVE_PULSE: {
        const float pw = shared_load(PWM);
        v = vco_pulse(amp, phase_offset(), t, mod_pwm != nullptr ? (read_mod(mod_pwm) + 1.0f) * pw : pw);
        break;
    }
    default:
        v = 0.0f;
        break;
    }
    value = clip_unit(v);
    return 1;
}

int VCO::process() {
    return tick();
}
