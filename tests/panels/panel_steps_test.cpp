// Stepping rules of the panel controls: ranges, boundaries and the texts they lead to.
#include "engine/note_table.h"
#include "engine/pcf.h"
#include "engine/sequencer.h"
#include "panels/panel_steps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>

TEST(OscillatorSteps, FrequencyRangesApplyOneAfterTheOther) {
    // 50 leaves the top range and is taken again by the next one in the same step.
    EXPECT_FLOAT_EQ(vco_freq_step(50.0f, false), 48.5f);
    EXPECT_FLOAT_EQ(vco_freq_step(48.5f, false), 48.0f);
    EXPECT_FLOAT_EQ(vco_freq_step(440.0f, true), 441.0f);
    EXPECT_FLOAT_EQ(vco_freq_step(19.99f, true), 20.015f);
    EXPECT_FLOAT_EQ(vco_freq_step(22050.0f, true), 22050.0f) << "the top is not stepped";

    // From 0.05 twenty steps down stop near 0.0094: below 0.01 no range applies.
    float v = 0.05f;
    for (int i = 0; i < 20; ++i)
        v = vco_freq_step(v, false);
    EXPECT_NEAR(v, 0.009375, 1e-5);
    EXPECT_FLOAT_EQ(vco_freq_step(0.0f, true), 0.001f) << "never below 0.001";
    EXPECT_FLOAT_EQ(vco_freq_step(-3.0f, false), 0.001f);
}

TEST(OscillatorSteps, AmountPhaseAndWaveforms) {
    EXPECT_FLOAT_EQ(vco_amount_step(0.0f, true), 0.01f);
    EXPECT_FLOAT_EQ(vco_amount_step(0.1f, true), 0.10625f) << "0.1 belongs to the tenth range";
    EXPECT_FLOAT_EQ(vco_amount_step(0.012f, false), 0.0f) << "below 0.01 is silence";
    EXPECT_FLOAT_EQ(vco_amount_step(1.0f, false), 1.0f - 0.0125f - 0.00625f);

    EXPECT_FLOAT_EQ(vco_phase_step(0.0f, true), -1.0f) << "the remainder keeps the dividend's sign";
    EXPECT_FLOAT_EQ(vco_phase_step(359.0f, false), 0.0f);
    EXPECT_FLOAT_EQ(vco_phase_step(-359.0f, true), 0.0f);
    EXPECT_FLOAT_EQ(vco_phase_step(10.7f, false), 11.0f) << "whole degrees";

    int type = 1;
    const int order[] = {2, 3, 4, 6, 5, 1};
    for (int expected : order)
        EXPECT_EQ(type = vco_type_next(type), expected);
    EXPECT_EQ(vco_type_next(9), 9);
    EXPECT_STREQ(vco_type_image(6), "DISP_PULSE");
    EXPECT_STREQ(vco_type_image(5), "DISP_NOISE");
    EXPECT_EQ(vco_type_image(0), nullptr);
}

TEST(EnvelopeSteps, TimesAndSustain) {
    EXPECT_FLOAT_EQ(vca_time_step(0.5f, false), 0.0f);
    EXPECT_FLOAT_EQ(vca_time_step(10.0f, true), 11.0f);
    EXPECT_FLOAT_EQ(vca_sustain_step(0.0f, true), 0.06f) << "0 jumps to 0.05 first";
    EXPECT_FLOAT_EQ(vca_sustain_step(0.049f, false), 0.049f) << "falls only from 0.05";
    EXPECT_FLOAT_EQ(vca_sustain_step(0.05f, false), 0.04f);
    EXPECT_FLOAT_EQ(vca_sustain_step(0.005f, true), 0.015f);
    EXPECT_FLOAT_EQ(vca_sustain_floor(0.008f), 0.0f);
}

TEST(FilterSteps, CutoffQLevelGainAndShapes) {
    EXPECT_EQ(vcf_hicut_step(5000, true), 4850) << "lowered twice at the range boundary";
    EXPECT_EQ(vcf_hicut_step(12000, true), 11900);
    EXPECT_EQ(vcf_hicut_step(12100, true), 12100);
    EXPECT_EQ(vcf_hicut_step(4950, false), 5000);
    EXPECT_EQ(vcf_hicut_step(10000, false), 10000) << "raising stops at 10000";
    EXPECT_EQ(vcf_hicut_step(2, true), 1);
    EXPECT_EQ(vcf_hicut_step(1, true), 1);
    EXPECT_EQ(vcf_hicut_step(1, false), 2);
    EXPECT_EQ(vcf_hicut_step(99, false), 101);

    EXPECT_FLOAT_EQ(vcf_q_step(0.05f, false), 0.001f);
    EXPECT_FLOAT_EQ(vcf_level_step(0.98f, true), 1.0f);
    EXPECT_FLOAT_EQ(vcf_level_step(0.02f, false), 0.0f);
    EXPECT_FLOAT_EQ(vcf_gain_step(-20.0f, false), -20.1f) << "gain has no bounds";

    EXPECT_EQ(vcf_type_next(6), 7);
    EXPECT_EQ(vcf_type_next(7), 0);
    EXPECT_EQ(vcf_type_next(2147483647), 0) << "the largest type a patch may hold";
    EXPECT_EQ(vcf_type_next(-4), 7);
    EXPECT_EQ(vcf_type_name(8), nullptr);
    EXPECT_EQ(vcf_type_image(-1), nullptr);
}

namespace {

// The level (RMS) of a sine of freq Hz after a filter of the type, cut-off 1000 Hz, its first
// tenth of a second of settling left out.
double filtered_level(int32_t type, double freq) {
    PCF f;
    f.TYPE = type;
    f.BYPASS = 0;
    f.HICUT = 1000;
    f.GAIN = 0;
    f.AMOUNT = 0;
    float in = 0;
    f.input = &in;
    double sum = 0;
    const int settle = 4410, n = 44100;
    for (int i = 0; i < n; ++i) {
        in = static_cast<float>(std::sin(2 * M_PI * freq * i / 44100.0));
        f.tick();
        if (i >= settle) sum += static_cast<double>(f.value) * f.value;
    }
    return std::sqrt(sum / (n - settle));
}

} // namespace

TEST(PanelSteps, FilterNamesSayWhatEachTypePlays) {
    // Lows at 100 Hz, highs at 10 kHz, around a 1000 Hz cut-off: what each named filter keeps.
    struct CASE {
        int32_t type;
        const char* name;
        bool keeps_lows, keeps_highs;
    };
    for (const CASE& c : {CASE{0, "THROUGH", true, true}, CASE{1, "LOWPASS", true, false},
                          CASE{2, "HIGHPASS", false, true}, CASE{3, "BANDPASS", false, false},
                          CASE{4, "NOTCH", true, true}}) {
        EXPECT_STREQ(vcf_type_name(c.type), c.name);
        EXPECT_EQ(vcf_type_image(c.type), std::string("DISP_FILTRE_") + c.name);
        EXPECT_EQ(filtered_level(c.type, 100) > 0.3, c.keeps_lows) << c.name << " at 100 Hz";
        EXPECT_EQ(filtered_level(c.type, 10000) > 0.3, c.keeps_highs) << c.name << " at 10 kHz";
    }
    for (int32_t type : {5, 6, 7})
        EXPECT_EQ(vcf_type_image(type), std::string("DISP_FILTRE_") + vcf_type_name(type));
    EXPECT_STREQ(vcf_type_name(5), "LOWSHELF");
    EXPECT_STREQ(vcf_type_name(6), "HIGHSHELF");
    EXPECT_STREQ(vcf_type_name(7), "PEAKING");
}

TEST(KeyboardSteps, OctaveStaysWithinZeroToSeven) {
    EXPECT_EQ(keyboard_octave_step(6, true), 7);
    EXPECT_EQ(keyboard_octave_step(7, true), 7);
    EXPECT_EQ(keyboard_octave_step(0, false), 0);
    EXPECT_EQ(keyboard_octave_step(4, false), 3);
}

TEST(SequencerSteps, NotesAndOctavesMoveTowardsTheirRangeAndKeepPatchValues) {
    // A patch's octave key can leave note 34 in octave 0: a press moves it by one, no more.
    EXPECT_EQ(seq_note_step(34, 0, true), 35);
    EXPECT_EQ(seq_note_step(34, 0, false), 33);
    EXPECT_EQ(seq_note_step(11, 3, true), 12);
    EXPECT_EQ(seq_note_step(SEQ_NOTE_MAX, 3, true), SEQ_NOTE_MAX);
    EXPECT_EQ(seq_note_step(0, 3, false), 0);
    EXPECT_EQ(seq_note_step(150, 3, true), 150) << "out of range, a press never jumps";
    EXPECT_EQ(seq_note_step(150, 3, false), 149);
    EXPECT_EQ(seq_note_step(-3, 3, true), -2);
    EXPECT_EQ(seq_octave_step(9, 10, true), 10);
    EXPECT_EQ(seq_octave_step(10, 10, true), 10);
    EXPECT_EQ(seq_octave_step(0, 10, false), 0);
    EXPECT_EQ(seq_octave_step(20, 10, false), 19);

    // Never out of the note table: the last entry is note 7 of octave 166.
    ASSERT_EQ(NOTE_TABLE_SIZE - 1, 7 + 12 * 166);
    EXPECT_EQ(seq_note_step(6, 166, true), 7);
    EXPECT_EQ(seq_note_step(7, 166, true), 7);
    EXPECT_EQ(seq_note_step(8, 166, false), 7) << "from outside the table a press comes back in";
    EXPECT_EQ(seq_octave_step(0, 1995, true), 0) << "note 2007 is out of the table";
    EXPECT_EQ(seq_note_step(-20, 1, true), -19) << "from below the table too";
}

TEST(SequencerSteps, DigitTilesShowTwoDigitsAsBeforeForSmallValues) {
    for (int v = 0; v < 20; ++v) {
        // Below 20: a blank or a "1" tens tile, the units from v + 1 or v - 9.
        EXPECT_EQ(digit_tens_image(v), v > 9 ? 2 : 0) << v;
        EXPECT_EQ(digit_units_image(v), v > 9 ? v - 9 : v + 1) << v;
    }
    EXPECT_EQ(digit_tens_image(34), 4);
    EXPECT_EQ(digit_units_image(34), 5);
    EXPECT_EQ(digit_tens_image(90), 10);
    EXPECT_EQ(digit_units_image(90), 1);
    EXPECT_EQ(digit_tens_image(-5), 0);
    EXPECT_EQ(digit_units_image(-5), 0);
    for (int v = 0; v < 1000; ++v) {
        EXPECT_LE(digit_tens_image(v), 10);
        EXPECT_LE(digit_units_image(v), 10);
    }
}

TEST(SequencerSteps, VolumeStepsReturnExactlyToOne) {
    float v = 1.0f;
    for (int i = 0; i < 7; ++i)
        v = seq_volume_step(v, false);
    for (int i = 0; i < 7; ++i)
        v = seq_volume_step(v, true);
    EXPECT_EQ(v, 1.0f) << "only exactly 1.0 plays a step";
    // Every tenth steps to its neighbours and back without drift.
    for (int k = -30; k <= 30; ++k) {
        float t = static_cast<float>(k / 10.0);
        EXPECT_EQ(seq_volume_step(seq_volume_step(t, true), false), t) << k;
        EXPECT_EQ(seq_volume_step(seq_volume_step(t, false), true), t) << k;
    }
    EXPECT_FLOAT_EQ(seq_volume_step(0.55f, true), 0.7f) << "off-grid values join the tenths";
}

TEST(SequencerSteps, LengthDividerAndStepCountStayWhereTheSequencerSteps) {
    float length = 1.0f, divider = 2.0f;
    for (int i = 0; i < 200; ++i)
        length = seq_length_step(length, false);
    EXPECT_FLOAT_EQ(length, SEQ_LENGTH_MIN);
    for (int i = 0; i < 200; ++i)
        length = seq_length_step(length, true);
    EXPECT_FLOAT_EQ(length, SEQ_LENGTH_MAX);
    for (int i = 0; i < 200; ++i)
        divider = seq_divider_step(divider, true);
    EXPECT_FLOAT_EQ(divider, SEQ_DIVIDER_MIN);
    for (int i = 0; i < 200; ++i)
        divider = seq_divider_step(divider, false);
    EXPECT_FLOAT_EQ(divider, SEQ_DIVIDER_MAX);
    EXPECT_FLOAT_EQ(seq_divider_step(0.0f, false), SEQ_DIVIDER_MIN) << "a zero from a patch is lifted";
    EXPECT_FLOAT_EQ(seq_divider_step(NAN, true), SEQ_DIVIDER_MIN);
    EXPECT_FLOAT_EQ(seq_length_step(INFINITY, false), SEQ_LENGTH_MAX);
    EXPECT_FLOAT_EQ(seq_divider_step(3.0f, true), 1.5f);

    // At the fastest tempo with the longest steps, and at the slowest with the shortest, the
    // engine still starts steps.
    for (auto [d, len] :
         {std::pair{SEQ_DIVIDER_MAX, SEQ_LENGTH_MAX}, std::pair{SEQ_DIVIDER_MAX, SEQ_LENGTH_MIN}}) {
        SEQUENCER s;
        s.DIVIDER = s.next_divider = d;
        for (int i = 0; i < SEQ_COLS; ++i)
            s.step_length[0][i] = len;
        int starts = 0, last = s.step;
        for (int i = 0; i < 4 * 44100 * 64 / 2 && starts < 3; ++i) {
            s.process();
            if (s.step != last) ++starts;
            last = s.step;
        }
        EXPECT_GE(starts, 3) << d << " " << len;
    }
    EXPECT_TRUE(std::isfinite(44100.0f / SEQ_DIVIDER_MIN * SEQ_LENGTH_MAX));

    EXPECT_EQ(seq_max_step(32, true), 32);
    EXPECT_EQ(seq_max_step(1, false), 1);
    EXPECT_EQ(seq_max_step(8, true), 9);
}

TEST(SequencerSteps, PatternNamesAndRows) {
    EXPECT_EQ(seq_pattern_of("4_BUTTON_PATTERN_3"), 3);
    EXPECT_EQ(seq_pattern_of("260_BUTTON_PATTERN_17"), 17);
    EXPECT_EQ(seq_pattern_of("4_BUTTON_PATTERN_X"), -1);
    EXPECT_EQ(seq_pattern_of("4_POWER"), -1);
    EXPECT_EQ(seq_row(31), 31);
    EXPECT_EQ(seq_row(SEQ_ROWS), 0);
    EXPECT_EQ(seq_row(-1), 0);
}

TEST(MixerSteps, KnobAngleAndLevelAreOneScale) {
    EXPECT_EQ(mixer_angle_of_level(1.0f), 1800);
    EXPECT_EQ(mixer_angle_of_level(0.5f), 900);
    EXPECT_FLOAT_EQ(mixer_level_of_angle(1800), 1.0f);
    for (int a = -1800; a <= 3600; a += 7)
        EXPECT_EQ(mixer_angle_of_level(mixer_level_of_angle(a)), a);
    EXPECT_EQ(mixer_angle_of_level(NAN), 0);
}

TEST(PanelSteps, NoteNamesOfWhatPlays) {
    struct CASE {
        int32_t note, octave;
        const char* name;
    };
    for (const CASE& c : {CASE{58, 0, "A4"}, CASE{10, 4, "A4"}, CASE{34, 2, "A4"}, CASE{1, 4, "C4"}, CASE{2, 4, "C#4"},
                          CASE{10, 3, "A3"}, CASE{0, 0, "B-1"}, CASE{-5, 0, "B-1"}, CASE{0, 1000, "F#166"},
                          CASE{INT32_MAX, INT32_MAX, "F#166"}}) {
        char text[NOTE_NAME_SIZE];
        note_name(c.note, c.octave, text);
        EXPECT_STREQ(text, c.name) << c.note << " in octave " << c.octave;
    }
}
