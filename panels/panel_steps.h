// The arithmetic of the panel controls: how each knob step, button and display changes a
// module parameter, and the texts and digit images that show the result.
#pragma once
#include <cstdint>

#include "engine/param_table.h"

// Knob messages: "SLD_DOWN" turns the knob one degree forward (its angle grows), "SLD_UP" one
// degree back. Each step function takes `sld_down` true for "SLD_DOWN".

// Oscillator frequency (and pulse width): range-dependent steps applied one after the other,
// so a value at a range boundary can move twice; never below 0.001.
float vco_freq_step(float v, bool sld_down);
// Oscillator amount: the same ranges; a value falling below 0.01 becomes 0 and 0 rises to 0.01.
float vco_amount_step(float v, bool sld_down);
// Oscillator phase in whole degrees, "SLD_DOWN" lowering it; kept within (-360, 360).
float vco_phase_step(float v, bool sld_down);
// Waveform order of the display: SIN, TRI, SAW, SQR, PULSE, NOISE, SIN. Other types stay.
int32_t vco_type_next(int32_t type);
// The display image of a waveform 1..6, or null for any other type.
const char* vco_type_image(int32_t type);

// Envelope times in milliseconds: one per step, never negative.
float vca_time_step(float v, bool sld_down);
// Sustain: 0 jumps to 0.05 before rising by 0.01; it falls only from 0.05 up; below 0.01 is 0.
float vca_sustain_step(float v, bool sld_down);
// The sustain a panel keeps: below 0.01 is 0.
float vca_sustain_floor(float v);

// Filter cut-off in Hz: "SLD_DOWN" lowers it, by steps that grow with the frequency.
int32_t vcf_hicut_step(int32_t v, bool sld_down);
float vcf_gain_step(float v, bool sld_down);
// Q: tenths, never below 0.001.
float vcf_q_step(float v, bool sld_down);
// Level: twentieths within [0, 1].
float vcf_level_step(float v, bool sld_down);
// Filter shapes 0..VCF_TYPE_LAST in a ring: every TYPE the engine plays.
constexpr int32_t VCF_TYPE_LAST = 7;
int32_t vcf_type_next(int32_t type);
// Display image and name of the filter a TYPE plays ("THROUGH", "LOWPASS", ... "PEAKING");
// null for a TYPE outside 0..VCF_TYPE_LAST.
const char* vcf_type_image(int32_t type);
const char* vcf_type_name(int32_t type);

// Keyboard octave: range 0 to 7 (one step below 0 gives 0, a step past 6 gives 7).
int32_t keyboard_octave_step(int32_t v, bool up);

// Sequencer step notes and octaves. A step plays note + 12 x octave of the note table; a
// patch's octave keys can leave a note outside 0..11 (note 34 in octave 0). A press moves a
// value by one within the digit tiles' range (notes 0..SEQ_NOTE_MAX, octaves
// 0..SEQ_OCTAVE_MAX) and never out of the note table; a value outside (from a patch) is never
// clipped, a press only moves it towards the range.
constexpr int32_t SEQ_NOTE_MAX = static_cast<int32_t>(param_info(P_SEQ_NOTE).reach.max);
constexpr int32_t SEQ_OCTAVE_MAX = static_cast<int32_t>(param_info(P_SEQ_OCTAVE).reach.max);
int32_t seq_note_step(int32_t note, int32_t octave, bool up);
int32_t seq_octave_step(int32_t octave, int32_t note, bool up);
// Step volume in tenths, rounded so that stepping down and back up returns exactly to 1.0
// (only a volume of exactly 1.0 plays a step).
float seq_volume_step(float v, bool sld_down);
// Step length: doubled by "SLD_DOWN", halved by "SLD_UP", within [SEQ_LENGTH_MIN, SEQ_LENGTH_MAX].
constexpr float SEQ_LENGTH_MIN = static_cast<float>(param_info(P_SEQ_LENGHT).reach.min);
constexpr float SEQ_LENGTH_MAX = static_cast<float>(param_info(P_SEQ_LENGHT).reach.max);
float seq_length_step(float v, bool sld_down);
// Steps per second: halved or doubled within [SEQ_DIVIDER_MIN, SEQ_DIVIDER_MAX]. A step lasts
// 44100 / divider samples, so zero would stop the sequencer and infinity make it step every
// sample.
constexpr float SEQ_DIVIDER_MIN = static_cast<float>(param_info(P_SEQ_DIVIDER).reach.min);
constexpr float SEQ_DIVIDER_MAX = static_cast<float>(param_info(P_SEQ_DIVIDER).reach.max);
float seq_divider_step(float v, bool halve);
// Steps per pattern, 1..32.
int32_t seq_max_step(int32_t v, bool up);
// The pattern a "BUTTON_PATTERN_<n>" name selects (its decimal number), or -1 when the name
// holds no number.
int32_t seq_pattern_of(const char* item_name);
// The row of the step tables a pattern number reads: the pattern when it is inside the table,
// else 0.
int32_t seq_row(int32_t pattern);

// The name of the note that note + 12 x octave plays ("A4", "C#4"), clamped into the note
// table as the sound is. Entry i of the table is MIDI note i + 11, so 58 is A4 (440 Hz).
constexpr int NOTE_NAME_SIZE = 8;
void note_name(int32_t note, int32_t octave, char out[NOTE_NAME_SIZE]);

// Digit tiles "LED_NUMERIC_<set>_<index>": index 0 is blank, index d + 1 shows the digit d.
// A two-digit value shows a blank tens tile below 10; only the last two digits are shown.
int digit_tens_image(int32_t v);
int digit_units_image(int32_t v);

// Mixer channel levels follow their knob: 1800 degrees for a level of 1.
float mixer_level_of_angle(int32_t angle);
int32_t mixer_angle_of_level(float level);
