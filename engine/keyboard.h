// KEYBOARD: the note source played from the computer keyboard.
#pragma once
#include "ports.h"

struct KEYBOARD : OUTPUT, OUTPUT_GATE, OUTPUT_SYNC {
    int process() override;

    int32_t power = 1;
    int32_t key = 1;
    int32_t octave = 4;
    char name[800] = "";
    // Frequency ratio of the MIDI pitch bend; written by the MIDI player only.
    float bend = 1.0f;
};
