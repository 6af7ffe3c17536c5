// VCA: attack-decay-sustain-release envelope applied to a gated input.
#pragma once
#include "ports.h"

struct VCA : OUTPUT, INPUT_GATE, INPUT {
    int process() override;

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
float vca_invert(float envelope);
