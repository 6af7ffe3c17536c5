// MIXER processing: the level-weighted average of the active channels.
#include "mixer.h"

MIXER::MIXER() {
    for (int i = 0; i < MIXER_SLOTS; ++i) {
        level[i] = 1.0f;
        mute[i] = 0.0f;
    }
}

bool MIXER::add_channel(float* source) {
    if (input_count < 0 || input_count >= MIXER_SLOTS) return false;
    inputs[input_count].input = source;
    // The slot is filled before it is counted, so the sweep never reads an unset slot.
    ++input_count;
    return true;
}

int MIXER::process() {
    float sum = 0.0f;
    int count = 0;
    if (enabled != 0) {
        const int n = input_count < MIXER_SLOTS ? input_count : MIXER_SLOTS;
        for (int i = 0; i < n; ++i) {
            const float* src = inputs[i].input;
            if (mute[i] == 1.0f || src == nullptr) continue;
            ++count;
            sum += level[i] * *src;
        }
    }
    value = count > 0 ? sum / static_cast<float>(count) : 0.0f;
    return 1;
}
