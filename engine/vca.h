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

// The settings are read once each through shared_load: the door changes them between samples,
// and the gate is another thread's note key. BYPASS follows the gate link and is stored only
// when that changes, so a save reading it meets no write from the sweep.
inline int VCA::tick() {
    const int32_t bypass = gate_in == nullptr ? 1 : 0;
    if (TESSARO_UNLIKELY(shared_load(BYPASS) != bypass)) shared_store(BYPASS, bypass);
    if (TESSARO_UNLIKELY(bypass)) {
        value = 1.0f;
        return 1;
    }
    // A gated VCA with nothing to shape is silent.
    const float in = input != nullptr ? *input : 0.0f;
    const int32_t gate = shared_load(*gate_in);
    const int32_t invert = shared_load(INVERT);

    // The envelope state is the previous output; worked on in a register and stored once.
    float v = value;
    if (gate == 1) {
        const float t = env_time * 1000.0f;
        const float attack = shared_load(ATTACK), decay = shared_load(DECAY);
        release_time = 0.0f;
        if (t < attack) {
            v = t * peak / attack;
            env_time += SAMPLE_PERIOD;
            release_level = v;
        } else if (t < attack + decay) {
            const float sustain = shared_load(SUSTAIN);
            if (is_zero(sustain)) {
                v = peak - (t - attack) * peak / decay;
                env_time += SAMPLE_PERIOD;
            } else {
                // The sustain rule holds env_time still, so it runs for as long as the gate
                // stays on: levels above SUSTAIN sink by 0.1 % a sample, the rest snap to it.
                // Which one follows the signal, so both are formed and one is chosen.
                const float sinking = v - v * 0.001f;
                const float held = peak * sustain;
                v = v > sustain ? sinking : held;
            }
            release_level = v;
        }
        if (TESSARO_UNLIKELY(invert != 0)) v = vca_invert(v);
        value = static_cast<float>(gate) * in * v;
    } else {
        env_time = 0.0f;
        const float release = shared_load(RELEASE);
        if (!is_zero(release) && !is_zero(v) && release_time * 1000.0f <= release) {
            release_time += SAMPLE_PERIOD;
            v = release_level - release_level * (release_time * 1000.0f) / release;
        }
        if (TESSARO_UNLIKELY(invert != 0)) v = vca_invert(v);
        value = in * v;
    }
    return 1;
}
