// Sequencer behaviour: step timing, gate close, rests, volume and bypass, pattern ends, sync.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "engine/note_table.h"
#include "engine/sequencer.h"

namespace {

constexpr int PERIOD = 22050; // DIVIDER 2: two steps a second

struct Seq {
    SEQUENCER s;
    Seq() { fill_note_table(); }
    void run(int samples) {
        for (int i = 0; i < samples; ++i)
            s.process();
    }
};

int hook_calls = 0;
SEQUENCER* hook_last = nullptr;
void count_steps(SEQUENCER* s) {
    ++hook_calls;
    hook_last = s;
}

} // namespace

TEST(Sequencer, FirstStepStartsAfterOneFullPeriod) {
    Seq q;
    q.run(PERIOD - 1);
    EXPECT_EQ(q.s.gate, 0);
    EXPECT_EQ(q.s.step, 0);
    q.run(1);
    EXPECT_EQ(q.s.gate, 1);
    EXPECT_EQ(q.s.step, 1);
    // The default step is note 10 of octave 3: entry 46, 220 Hz.
    EXPECT_NEAR(q.s.value, 220.0f, 1e-3);
    EXPECT_FLOAT_EQ(q.s.step_clock, 0.0f);
}

TEST(Sequencer, GateClosesOneSampleBeforeTheNextStep) {
    Seq q;
    q.run(PERIOD); // step 0 opens
    q.run(PERIOD - 2);
    EXPECT_EQ(q.s.gate, 1);
    q.run(1); // L - 1 = 22049 samples after the start
    EXPECT_EQ(q.s.gate, 0);
    EXPECT_EQ(q.s.note_on, 0);
    q.run(1); // the next step
    EXPECT_EQ(q.s.gate, 1);
    EXPECT_EQ(q.s.step, 2);
}

TEST(Sequencer, GateLengthComesFromTheNextStep) {
    // LENGHT 0.01 at DIVIDER 2 is 220.5 samples: the note closes at a clock of 219.5 or more.
    Seq q;
    q.s.step_length[0][1] = 0.01f;
    q.run(PERIOD);
    q.run(219);
    EXPECT_EQ(q.s.gate, 1);
    q.run(1);
    EXPECT_EQ(q.s.gate, 0);

    // A next step of length 0 closes the note on the sample after it opened.
    Seq z;
    z.s.step_length[0][1] = 0.0f;
    z.run(PERIOD);
    EXPECT_EQ(z.s.gate, 1);
    z.run(1);
    EXPECT_EQ(z.s.gate, 0);
}

TEST(Sequencer, AGateLongerThanASecondLengthensTheWait) {
    // Step 1 of LENGHT 3 (66150 samples) starts 22050 + 66150 samples after step 0.
    Seq q;
    q.s.step_length[0][1] = 3.0f;
    q.run(PERIOD); // step 0 starts
    q.run(66148);
    EXPECT_EQ(q.s.gate, 1); // step 0's note is held by step 1's length
    q.run(1);
    EXPECT_EQ(q.s.gate, 0);
    q.run(88200 - 66149 - 1);
    EXPECT_EQ(q.s.step, 1);
    q.run(1);
    EXPECT_EQ(q.s.step, 2);
    EXPECT_EQ(q.s.gate, 1);
}

TEST(Sequencer, RestsVolumeAndBypass) {
    Seq q;
    q.s.step_note[0][0] = 0;
    q.s.step_octave[0][0] = 0; // note 0: a rest
    q.s.step_volume[0][1] = 0.5f;
    q.s.step_bypass[0][2] = 1;
    q.s.step_note[0][3] = 1;
    q.s.step_octave[0][3] = 4;
    hook_calls = 0;
    sequencer_step_hook = count_steps;

    q.s.value = 99.0f;
    q.run(PERIOD);
    EXPECT_FLOAT_EQ(q.s.value, 0.0f);
    EXPECT_EQ(q.s.gate, 0);
    EXPECT_EQ(q.s.note_on, 0);
    EXPECT_EQ(hook_calls, 0); // a rest posts no notice
    EXPECT_EQ(q.s.step, 1);

    q.s.value = 123.0f;
    q.run(PERIOD); // volume 0.5: pitch and gate left as they were
    EXPECT_FLOAT_EQ(q.s.value, 123.0f);
    EXPECT_EQ(q.s.gate, 0);
    EXPECT_EQ(q.s.note_on, 1);
    EXPECT_EQ(hook_calls, 1);
    EXPECT_EQ(hook_last, &q.s);

    q.run(PERIOD); // bypassed: silent pitch, gate untouched
    EXPECT_FLOAT_EQ(q.s.value, 0.0f);
    EXPECT_EQ(q.s.gate, 0);

    q.run(PERIOD); // note 1 + 12 x 4 = entry 49
    EXPECT_EQ(q.s.gate, 1);
    EXPECT_FLOAT_EQ(q.s.value, static_cast<float>(note_table[49]));
    EXPECT_EQ(hook_calls, 3);
    sequencer_step_hook = nullptr;
}

TEST(Sequencer, PatternAndTempoChangeOnlyAtThePatternEnd) {
    Seq q;
    q.s.next_pattern = 5;
    q.s.next_divider = 4.0f;
    q.s.step = 3;
    q.run(1);
    EXPECT_EQ(q.s.pattern, 0);
    EXPECT_FLOAT_EQ(q.s.DIVIDER, 2.0f);

    q.s.step = q.s.NBR_STEP;
    q.run(1);
    EXPECT_EQ(q.s.pattern, 5);
    EXPECT_FLOAT_EQ(q.s.DIVIDER, 4.0f);
    EXPECT_EQ(q.s.step, 0);

    q.s.next_pattern = 40; // beyond the 32 playable patterns
    q.s.step = q.s.NBR_STEP;
    q.run(1);
    EXPECT_EQ(q.s.pattern, 0);

    // Shortening the pattern below the current step wraps on the next sample.
    q.s.step = 20;
    q.s.NBR_STEP = 8;
    q.run(1);
    EXPECT_EQ(q.s.step, 0);
}

TEST(Sequencer, LastStepThenBackToTheFirst) {
    Seq q;
    q.s.NBR_STEP = 2;
    q.s.step_note[0][0] = 0;
    q.s.step_octave[0][0] = 4; // entry 48
    q.s.step_octave[0][1] = 5; // entry 70
    q.run(PERIOD);
    EXPECT_FLOAT_EQ(q.s.value, static_cast<float>(note_table[48]));
    q.run(PERIOD);
    EXPECT_FLOAT_EQ(q.s.value, static_cast<float>(note_table[70]));
    q.run(PERIOD);
    EXPECT_FLOAT_EQ(q.s.value, static_cast<float>(note_table[48]));
    EXPECT_EQ(q.s.step, 1);
}

TEST(Sequencer, SyncRestartsTheCountFromStepZero) {
    int32_t pulse = 0;
    Seq q;
    q.s.sync_in = &pulse;
    q.run(PERIOD + 5000);
    EXPECT_EQ(q.s.step, 1);
    pulse = 1;
    q.run(1);
    pulse = 0;
    EXPECT_EQ(q.s.step, 0);
    q.run(PERIOD - 1);
    EXPECT_EQ(q.s.step, 0);
    q.run(1);
    EXPECT_EQ(q.s.step, 1);
}

TEST(Sequencer, UserIndicesStayInsideTheTables) {
    // Octaves far out of range play the nearest end of the note table.
    Seq low;
    low.s.step_octave[0][0] = -5;
    low.run(PERIOD);
    EXPECT_FLOAT_EQ(low.s.value, static_cast<float>(note_table[0]));
    Seq high;
    high.s.step_octave[0][0] = INT_MAX;
    high.run(PERIOD);
    EXPECT_FLOAT_EQ(high.s.value, static_cast<float>(note_table[NOTE_TABLE_SIZE - 1]));

    // A pattern longer than the table wraps at its last cell.
    Seq fast;
    fast.s.DIVIDER = 44100.0f; // a step every sample
    fast.s.NBR_STEP = 100;
    int highest = 0;
    for (int i = 0; i < 300; ++i) {
        fast.s.process();
        highest = std::max(highest, fast.s.step);
    }
    EXPECT_EQ(highest, SEQ_COLS);

    // A pattern written directly out of range reads row 0 instead.
    Seq odd;
    odd.s.pattern = 70;
    odd.s.step_octave[0][0] = 2; // entry 34
    odd.run(PERIOD);
    EXPECT_FLOAT_EQ(odd.s.value, static_cast<float>(note_table[34]));
}
