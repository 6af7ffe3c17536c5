// VCA processing: the gated attack-decay-sustain-release envelope, whose state is its output.
#include "vca.h"

#include <cmath>

namespace {
constexpr float SAMPLE_PERIOD = 2.2675737e-5f; // 1/44100 s
}

float vca_invert(float envelope) {
    return std::trunc(std::fabs(envelope - 1.0f));
}

int VCA::process() {
    BYPASS = gate_in == nullptr ? 1 : 0;
    if (BYPASS) {
        value = 1.0f;
        return 1;
    }
    // A gated VCA with nothing to shape is silent.
    const float in = input != nullptr ? *input : 0.0f;
    const int32_t gate = *gate_in;

    if (gate == 1) {
        const float t = env_time * 1000.0f;
        release_time = 0.0f;
        if (t < ATTACK) {
            value = t * peak / ATTACK;
            env_time += SAMPLE_PERIOD;
            release_level = value;
        } else if (t < ATTACK + DECAY) {
            if (SUSTAIN == 0.0f) {
                value = peak - (t - ATTACK) * peak / DECAY;
                env_time += SAMPLE_PERIOD;
                release_level = value;
            } else {
                // The sustain rule holds env_time still, so it runs for as long as the gate
                // stays on: levels above SUSTAIN sink by 0.1 % a sample, the rest snap to it.
                if (value > SUSTAIN)
                    value = value - value * 0.001f;
                else
                    value = peak * SUSTAIN;
                release_level = value;
            }
        }
        if (INVERT != 0) value = vca_invert(value);
        value = static_cast<float>(gate) * in * value;
    } else {
        env_time = 0.0f;
        if (RELEASE != 0.0f && value != 0.0f && release_time * 1000.0f <= RELEASE) {
            release_time += SAMPLE_PERIOD;
            value = release_level - release_level * (release_time * 1000.0f) / RELEASE;
        }
        if (INVERT != 0) value = vca_invert(value);
        value = in * value;
    }
    return 1;
}
