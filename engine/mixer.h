// MIXER: the level-weighted average of up to 24 channels.
#pragma once
#include "ports.h"

constexpr int MIXER_SLOTS = 24;

struct MIXER : OUTPUT {
    MIXER();
    int process() override;
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
