// SEQUENCER processing: step clock, gate lengths, pattern and tempo changes at pattern ends.
#include "sequencer.h"

#include <cstdint>

#include "note_table.h"
#include "random.h"

void (*sequencer_step_hook)(SEQUENCER*) = nullptr;

SEQUENCER::SEQUENCER() {
    for (int p = 0; p < SEQ_ROWS; ++p)
        for (int s = 0; s < SEQ_COLS; ++s) {
            step_length[p][s] = 1.0f;
            step_bypass[p][s] = 0;
            step_note[p][s] = 10;
            step_octave[p][s] = 3;
            step_volume[p][s] = 1.0f;
        }
    synth_srand(sequencer_seed());
}

// The settings and cells are read through shared_load, and what the sweep itself moves (the
// step, the playing pattern and tempo) written through shared_store: the door and the window
// read and write them between samples.
int SEQUENCER::process() {
    // Pattern end. The step count is also bounded by the table, so no setting of NBR_STEP can
    // index past a pattern's 64 cells.
    int cur = shared_load(step);
    int32_t playing = shared_load(pattern);
    float divider = shared_load(DIVIDER);
    if (cur >= shared_load(NBR_STEP) || cur >= SEQ_COLS || cur < 0) {
        int32_t wished = shared_load(next_pattern);
        if (wished > SEQ_PLAYED_PATTERNS - 1 || wished < 0) wished = 0;
        if (playing != wished) shared_store(pattern, playing = wished);
        const float wished_divider = shared_load(next_divider);
        if (divider != wished_divider) shared_store(DIVIDER, divider = wished_divider);
        cur = 0;
        shared_store(step, cur);
    }
    // The pattern may be written directly between samples; keep the row inside the table.
    const int row = playing >= 0 && playing < SEQ_ROWS ? playing : 0;

    step_clock += 1.0f;
    if (sync_in != nullptr && *sync_in != 0) {
        step_clock = 0.0f;
        cur = 0;
        shared_store(step, cur);
    }

    // Gate length of the step about to start, in samples; the playing note is closed by it.
    float gate_len = shared_load(step_length[row][cur]) * static_cast<float>(SAMPLE_RATE) / divider;
    if (gate_len < 0.0625f) gate_len = 0.0f;
    if (note_on == 1 && gate_len - 1.0f <= step_clock) {
        note_on = 0;
        shared_store(gate, 0);
    }

    // A gate longer than a second lengthens the wait for the step by its own length.
    float period = static_cast<float>(SAMPLE_RATE) / divider;
    if (gate_len > static_cast<float>(SAMPLE_RATE)) period += gate_len;
    if (step_clock < period) return 1;

    step_clock = 0.0f;
    const int32_t note = shared_load(step_note[row][cur]), octave = shared_load(step_octave[row][cur]);
    const int64_t n = note + 12 * static_cast<int64_t>(octave);
    if (n == 0) {
        value = 0.0f;
        shared_store(step, cur + 1);
        return 1;
    }
    if (sequencer_step_hook != nullptr) sequencer_step_hook(this);
    note_on = 1;
    if (shared_load(step_volume[row][cur]) == 1.0f) {
        if (shared_load(step_bypass[row][cur]) == 0) {
            shared_store(gate, 1);
            shared_store(gate_time, 0.0f);
            value = static_cast<float>(note_at(note, octave));
        } else {
            value = 0.0f;
        }
    }
    shared_store(step, cur + 1);
    return 1;
}
