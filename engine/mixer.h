// MIXER: the level-weighted average of up to 24 channels.
#pragma once
#include "ports.h"

constexpr int MIXER_SLOTS = 24;

// Cache-line aligned, so that its slots take as few lines as they can.
struct alignas(64) MIXER : OUTPUT {
    MIXER();
    int process() override;
    // One sample; inline so that the sweep runs a list of mixers without calls.
    int tick();
    // Fills the next free slot with a source; a channel beyond the last slot is ignored.
    bool add_channel(float* source);

    int32_t enabled = 1;
    int32_t input_count = 0;
    float level[MIXER_SLOTS];
    float mute[MIXER_SLOTS];
    INPUT inputs[MIXER_SLOTS];
    // The name sits last so that the fields read every sample share few cache lines.
    char name[800] = "";
};

inline int MIXER::tick() {
    float sum = 0.0f;
    int count = 0;
    if (shared_load(enabled) != 0) {
        const int32_t slots = shared_load(input_count);
        const int n = slots < MIXER_SLOTS ? slots : MIXER_SLOTS;
        for (int i = 0; i < n; ++i) {
            const float* src = inputs[i].input;
            // Only a mute of exactly 1.0 skips the slot.
            if (float_bits(shared_load(mute[i])) == 0x3f800000u || src == nullptr) continue;
            ++count;
            sum += shared_load(level[i]) * *src;
        }
    }
    value = count > 0 ? sum / static_cast<float>(count) : 0.0f;
    return 1;
}
