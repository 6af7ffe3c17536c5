// VCA: attack-decay-sustain-release envelope applied to a gated input.
#pragma once
#include <cmath>

#include "ports.h"

// Cache-line aligned: the per-sample fields, the first 80 bytes, take two lines.
struct alignas(64) VCA : OUTPUT, INPUT_GATE, INPUT {
    int process() override;
    // One sample; inline so that the sweep runs a list of envelopes without calls.
    int tick();

    float release_time = 0.0f;
    float env_time = 0.0f;
    int32_t INVERT = 0;
    float ATTACK = 1000.0f;
    float peak = 1.0f;
    float DECAY = 1000.0f;
    float SUSTAIN = 1.0f;
    float RELEASE = 1000.0f;
    float release_level = 0.0f;
    int32_t BYPASS = 0;
    // The name sits last so that the fields read every sample share few cache lines.
    char name[88] = "";
};

// The INVERT rule: |envelope - 1| truncated to a whole number (not 1 - envelope).
inline float vca_invert(float envelope) {
    return std::trunc(std::fabs(envelope - 1.0f));
}

inline int VCA::tick() {
    BYPASS = gate_in == nullptr ? 1 : 0;
    if (TESSARO_UNLIKELY(BYPASS)) {
        value = 1.0f;
        return 1;
    }
    // A gated VCA with nothing to shape is silent.
    const float in = input != nullptr ? *input : 0.0f;
    const int32_t gate = *gate_in;

    // The envelope state is the previous output; worked on in a register and stored once.
    float v = value;
    if (gate == 1) {
        const float t = env_time * 1000.0f;
        release_time = 0.0f;
        if (t < ATTACK) {
            v = t * peak / ATTACK;
            env_time += SAMPLE_PERIOD;
            release_level = v;
        } else if (t < ATTACK + DECAY) {
            if (is_zero(SUSTAIN)) {
                v = peak - (t - ATTACK) * peak / DECAY;
                env_time += SAMPLE_PERIOD;
            } else {
                // The sustain rule holds env_time still, so it runs for as long as the gate
                // stays on: levels above SUSTAIN sink by 0.1 % a sample, the rest snap to it.
                // Which one follows the signal, so both are formed and one is chosen.
                const float sinking = v - v * 0.001f;
                const float held = peak * SUSTAIN;
                v = v > SUSTAIN ? sinking : held;
            }
            release_level = v;
        }
        if (TESSARO_UNLIKELY(INVERT != 0)) v = vca_invert(v);
        value = static_cast<float>(gate) * in * v;
    } else {
        env_time = 0.0f;
        if (!is_zero(RELEASE) && !is_zero(v) && release_time * 1000.0f <= RELEASE) {
            release_time += SAMPLE_PERIOD;
            v = release_level - release_level * (release_time * 1000.0f) / RELEASE;
        }
        if (TESSARO_UNLIKELY(INVERT != 0)) v = vca_invert(v);
        value = in * v;
    }
    return 1;
}
