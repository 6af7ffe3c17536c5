// PCF: second-order recursive filter of seven shapes, scaled and blended with the dry input.
#pragma once
#include "ports.h"

struct BIQUAD_STATE {
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
};

// c0 holds the normaliser; c1..c5 are the difference-equation coefficients of each shape.
struct BIQUAD_COEFFS {
    double c[6] = {0, 0, 0, 0, 0, 0};
};

// Cache-line aligned, so that its per-sample fields take three lines (see below).
struct alignas(64) PCF : INPUT, OUTPUT, INPUT_GATE, INPUT_SYNC {
    int process() override;
    // One sample; inline so that the sweep runs a list of filters without calls.
    int tick();

    // The fields the sweep reads every sample come first, packed with the 64-byte alignment
    // into three cache lines: the settings, the coefficient key, the links, the filter state.
    int32_t power = 1;
    float mix = 1.0f;
    int32_t TYPE = 3;
    int32_t BYPASS = 1;
    int32_t HICUT = 300;
    float GAIN = 1.0f;
    float AMOUNT = 1.0f;
    float Q = 1.0f;
    // The type -1 forces a coefficient computation on first use.
    int32_t key_type = -1;
    // The frequency, Q and gain of the last coefficient computation as bits, compared every
    // sample.
    uint32_t key_bits[3] = {0, 0, 0};
    MOD_SLOT mod_freq = nullptr;
    MOD_SLOT mod_amp = nullptr;
    BIQUAD_STATE memory;
    BIQUAD_COEFFS coeffs;
    MOD_SLOT mod_phase = nullptr;
    // The same parameters as values.
    double key_freq = __builtin_nan("");
    double key_q = 0, key_gain = 0;
    // The name sits last so that the fields read every sample share few cache lines.
    char name[800] = "";
};

// Whether the filter's memory holds nothing: all four samples are zero.
inline bool memory_at_rest(const BIQUAD_STATE& m) {
    return m.x1 == 0.0 && m.x2 == 0.0 && m.y1 == 0.0 && m.y2 == 0.0;
}

// Coefficients of one shape (0..7) for a cut-off f in Hz; shape 0 only sets c3.
void compute_coefficients(BIQUAD_COEFFS& k, int type, double f, double q, double gain_db);
// One step of the difference equation of a shape; shifts the memory for every shape.
inline double biquad_step(const BIQUAD_COEFFS& k, BIQUAD_STATE& m, int type, double x) {
    const double* c = k.c;
    const uint32_t shape = static_cast<uint32_t>(type) < 8u ? 1u << type : 1u;
    double y;
    if (TESSARO_LIKELY(shape & 0x16u)) // 1, 2, 4
        y = c[3] * (x + m.x2) + c[4] * m.x1 - c[1] * m.y1 - c[2] * m.y2;
    else if (shape & 0x08u) // 3
        y = c[3] * x - c[3] * m.x2 - c[1] * m.y1 - c[2] * m.y2;
    else if (shape & 0x60u) // 5, 6
        y = c[3] * x + c[4] * m.x1 + c[5] * m.x2 - c[1] * m.y1 - c[2] * m.y2;
    else if (shape & 0x80u) // 7: the peaking form's b1 equals its a1, so c1 serves both
        y = c[3] * x + c[1] * m.x1 + c[5] * m.x2 - c[1] * m.y1 - c[2] * m.y2;
    else
        y = x;
    m.y2 = m.y1;
    m.x2 = m.x1;
    m.x1 = x;
    m.y1 = y;
    return y;
}

// The settings are read once each through shared_load: the door changes them between samples.
inline int PCF::tick() {
    const int32_t on = shared_load(power);
    if (TESSARO_LIKELY(on != 0 && input != nullptr && shared_load(BYPASS) == 0)) {
        float wet = mix;
        float f = static_cast<float>(shared_load(HICUT));
        if (TESSARO_UNLIKELY(any_connected(mod_amp, mod_freq))) {
            if (mod_amp != nullptr) wet = (read_mod(mod_amp) + 1.0f) * wet;
            if (mod_freq != nullptr) f = f * (read_mod(mod_freq) + 1.0f);
        }
        int type = shared_load(TYPE);
        if (TESSARO_UNLIKELY(static_cast<uint32_t>(type) > 7u)) {
            type = type > 7 ? 0 : 7;
            shared_store(TYPE, type);
        }

        const float x = *input;
        if (TESSARO_UNLIKELY(is_zero(x) && memory_at_rest(memory))) {
            // Silence into a filter at rest stays silence: running it would only give zeros.
            // A zero into a ringing filter runs it like any other input, so its tail carries
            // on through an envelope that restarts from 0.
            value = 0.0f;
        } else {
            // Recomputing costs a cos, a sin and two powers: only when a key changes. Keys are
            // compared by their bits; 0 and -0, the one pair of equal values with different
            // bits, give the same coefficients, so the filter runs as if values were compared.
            const float q = shared_load(Q), gain = shared_load(GAIN);
            const uint32_t fb = float_bits(f), qb = float_bits(q), gb = float_bits(gain);
            if (TESSARO_UNLIKELY(fb != key_bits[0] || qb != key_bits[1] || gb != key_bits[2] ||
                                 type != key_type)) {
                key_bits[0] = fb;
                key_bits[1] = qb;
                key_bits[2] = gb;
                key_freq = f;
                key_q = q;
                key_gain = gain;
                key_type = type;
                compute_coefficients(coeffs, type, f, q, gain);
            }
            // The filter runs in double precision; its scaled output joins the module's floats.
            const double y = biquad_step(coeffs, memory, type, x);
            const float e = static_cast<float>(y * (shared_load(AMOUNT) + 1.0f));
            value = (1.0f - wet) * x + e * wet;
        }
    } else if (on != 0) {
        // Unconnected: silence; bypassed: the input unchanged.
        value = input != nullptr ? *input : 0.0f;
    }
    value = clip_unit(value);
    return 1;
}
