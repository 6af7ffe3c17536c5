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

int SEQUENCER::process() {
    // Pattern end. The step count is also bounded by the table, so no setting of NBR_STEP can
    // index past a pattern's 64 cells.
    if (step >= NBR_STEP || step >= SEQ_COLS || step < 0) {
        if (pattern != next_pattern) pattern = next_pattern;
        if (DIVIDER != next_divider) DIVIDER = next_divider;
        if (pattern > SEQ_PLAYED_PATTERNS - 1 || pattern < 0) pattern = 0;
        step = 0;
    }
    // The pattern may be written directly between samples; keep the row inside the table.
    const int row = pattern >= 0 && pattern < SEQ_ROWS ? pattern : 0;

    step_clock += 1.0f;
    if (sync_in != nullptr && *sync_in != 0) {
        step_clock = 0.0f;
        step = 0;
    }
    const int cur = step;

    // Gate length of the step about to start, in samples; the playing note is closed by it.
    float gate_len = step_length[row][cur] * static_cast<float>(SAMPLE_RATE) / DIVIDER;
    if (gate_len < 0.0625f) gate_len = 0.0f;
    if (note_on == 1 && gate_len - 1.0f <= step_clock) {
        note_on = 0;
        gate = 0;
    }

    // A gate longer than a second lengthens the wait for the step by its own length.
    float period = static_cast<float>(SAMPLE_RATE) / DIVIDER;
    if (gate_len > static_cast<float>(SAMPLE_RATE)) period += gate_len;
    if (step_clock < period) return 1;

    step_clock = 0.0f;
    const int64_t n = step_note[row][cur] + 12 * static_cast<int64_t>(step_octave[row][cur]);
    if (n == 0) {
        value = 0.0f;
        ++step;
        return 1;
    }
    if (sequencer_step_hook != nullptr) sequencer_step_hook(this);
    note_on = 1;
    if (step_volume[row][cur] == 1.0f) {
        if (step_bypass[row][cur] == 0) {
            gate = 1;
            gate_time = 0.0f;
            value = static_cast<float>(note_at(step_note[row][cur], step_octave[row][cur]));
        } else {
            value = 0.0f;
        }
    }
    ++step;
    return 1;
}
