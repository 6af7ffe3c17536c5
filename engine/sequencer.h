// SEQUENCER: step sequencer and note source, 32 playable patterns of up to 64 steps.
#pragma once
#include "ports.h"

constexpr int SEQ_ROWS = 64;
constexpr int SEQ_COLS = 64;
constexpr int SEQ_PLAYED_PATTERNS = 32;

struct SEQUENCER;

// Called from the audio thread each time a step starts (not for rests). The application
// installs it to post the window's step notice; with none installed nothing is done.
extern void (*sequencer_step_hook)(SEQUENCER*);

struct SEQUENCER : OUTPUT, OUTPUT_GATE, OUTPUT_SYNC, INPUT_SYNC {
    SEQUENCER();
    int process() override;

    int32_t next_pattern = 0;
    int32_t pattern = 0;
    int32_t power = 1;
    float DIVIDER = 2.0f;
    float next_divider = 2.0f;
    int32_t NBR_STEP = 32;
    int32_t step = 0;
    float step_length[SEQ_ROWS][SEQ_COLS];
    int32_t step_bypass[SEQ_ROWS][SEQ_COLS];
    int32_t step_note[SEQ_ROWS][SEQ_COLS];
    int32_t step_octave[SEQ_ROWS][SEQ_COLS];
    float step_volume[SEQ_ROWS][SEQ_COLS];
    float step_clock = 0.0f;
    char name[800] = "";
    int32_t note_on = 0;
};
