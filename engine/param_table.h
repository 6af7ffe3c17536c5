// The one table of module parameters: each field's key, its type and the values it may hold.
#pragma once
#include <cstddef>

#include "module_kind.h"
#include "stream_format.h"

// Limits shared by several parameters. Audio frequencies stop at the Nyquist frequency
// (NYQUIST_HZ); a note number indexes the 2000-entry note table; 12 x 166 is the last octave
// inside it; envelope times stop at an hour.
constexpr double LAST_NOTE = 1999.0;
constexpr double LAST_OCTAVE = 166.0;
// The last note of the table below the Nyquist frequency (21096 Hz; note 126 gives 22350 Hz),
// the highest an oscillator can be tuned to by note.
constexpr double LAST_AUDIBLE_NOTE = 125.0;
constexpr double HOUR_MS = 3600000.0;
// A sequencer steps at most every sample and at least every 1000 s; 0 would divide by zero.
constexpr double STEPS_PER_SECOND_MIN = 0.001;
constexpr double STEPS_PER_SECOND_MAX = SAMPLE_RATE;

struct PARAM_RANGE {
    double min;
    double max;
};

// How a key text names its field: the key alone ("HICUT"), a sequencer step cell by row and
// column ("NOTE_003_004"), or a mixer channel slot ("LEVEL_02").
enum PARAM_FORM { PARAM_PLAIN, PARAM_CELL, PARAM_SLOT };
enum PARAM_TYPE { PARAM_INT, PARAM_REAL };

enum PARAM_ID {
    P_SEQ_DIVIDER,
    P_SEQ_WISHED_TEMPO, // `next_divider`, taken over at the pattern's end
    P_SEQ_NBR_STEP,
    P_SEQ_NOTE, // `step_note`: the note within the cell's octave, which a patch can push outside 0..11
    P_SEQ_OCTAVE,
    P_SEQ_BYPASS,
    P_SEQ_VOLUME,
    P_SEQ_LENGHT,
    P_SEQ_POWER,
    P_SEQ_PLAYING_PATTERN,
    P_SEQ_WISHED_PATTERN,
    P_PCF_HICUT,
    P_PCF_AMOUNT,
    P_PCF_TYPE,
    P_PCF_GAIN,
    P_PCF_Q,
    P_PCF_BYPASS,
    P_PCF_POWER,
    P_VCO_TYPE,
    P_VCO_FREQ,
    P_VCO_AMOUNT,
    P_VCO_PHASE,
    P_VCO_PWM,
    P_VCO_POWER,
    P_VCA_ATTACK,
    P_VCA_INVERT,
    P_VCA_BYPASS,
    P_VCA_DECAY,
    P_VCA_SUSTAIN,
    P_VCA_RELEASE,
    P_KEY_POWER,
    P_KEY_OCTAVE,
    P_KEY_NOTE,
    P_MIX_ENABLED,
    P_MIX_LEVEL,
    P_MIX_MUTE,
    P_COUNT
};

// One parameter. `patch` is what a module may hold: a patch value outside is refused, and so
// is any other write. `reach` is what the panel and the controller step it within, never
// wider than `patch`; a value a patch brought in beyond the reach is kept until stepped.
struct PARAM_INFO {
    PARAM_ID id;
    MODULE_KIND kind;
    const char* key; // the whole key, or the prefix a cell's or slot's numbers follow
    PARAM_FORM form;
    PARAM_TYPE type;
    PARAM_RANGE patch;
    PARAM_RANGE reach;
};

namespace param_table_detail {
constexpr PARAM_RANGE SWITCH{0, 1};
// The modules read a switch as off for 0 and on for any other whole number (a bypass the other
// way round), so a patch may hold any; the panels show and set 0 and 1.
constexpr PARAM_RANGE SWITCH_VALUES{-2147483648.0, 2147483647.0};
constexpr PARAM_RANGE DIVIDER{STEPS_PER_SECOND_MIN, STEPS_PER_SECOND_MAX};
// Halved or doubled from 2: a step of about a minute (1/64) to one of 43 samples (1024).
constexpr PARAM_RANGE DIVIDER_REACH{1.0 / 64.0, 1024.0};
constexpr PARAM_RANGE PATTERN{0, 31};
constexpr PARAM_RANGE TIME{0, HOUR_MS};
} // namespace param_table_detail

inline constexpr PARAM_INFO param_table[P_COUNT] = {
    {P_SEQ_DIVIDER, KIND_SEQUENCER, "DIVIDER", PARAM_PLAIN, PARAM_REAL, param_table_detail::DIVIDER,
     param_table_detail::DIVIDER_REACH},
    {P_SEQ_WISHED_TEMPO, KIND_SEQUENCER, "WISHED_TEMPO", PARAM_PLAIN, PARAM_REAL, param_table_detail::DIVIDER,
     param_table_detail::DIVIDER_REACH},
    {P_SEQ_NBR_STEP, KIND_SEQUENCER, "NBR_STEP", PARAM_PLAIN, PARAM_INT, {1, 64}, {1, 32}},
    // A cell's note number (note + 12 x octave) stays in the note table while its octave
    // moves over 0..166, so the note alone can go down to -12 x 166.
    {P_SEQ_NOTE, KIND_SEQUENCER, "NOTE_", PARAM_CELL, PARAM_INT, {-12 * LAST_OCTAVE, LAST_NOTE}, {0, 99}},
    {P_SEQ_OCTAVE, KIND_SEQUENCER, "OCTAVE_", PARAM_CELL, PARAM_INT, {0, LAST_OCTAVE}, {0, 10}},
    {P_SEQ_BYPASS, KIND_SEQUENCER, "BYPASS_", PARAM_CELL, PARAM_INT, param_table_detail::SWITCH_VALUES,
     param_table_detail::SWITCH},
    // Only a volume of exactly 1 starts a note; the panel steps it by tenths either way.
    {P_SEQ_VOLUME, KIND_SEQUENCER, "VOLUME_", PARAM_CELL, PARAM_REAL, {-100, 100}, {-100, 100}},
    // Sixteen doublings of the default 1; the panel halves and doubles within 1/64..64.
    {P_SEQ_LENGHT, KIND_SEQUENCER, "LENGHT_", PARAM_CELL, PARAM_REAL, {0, 65536}, {1.0 / 64.0, 64}},
    {P_SEQ_POWER, KIND_SEQUENCER, "POWER", PARAM_PLAIN, PARAM_INT, param_table_detail::SWITCH_VALUES,
     param_table_detail::SWITCH},
    {P_SEQ_PLAYING_PATTERN, KIND_SEQUENCER, "PLAYING_PATTERN", PARAM_PLAIN, PARAM_INT, param_table_detail::PATTERN,
     param_table_detail::PATTERN},
    {P_SEQ_WISHED_PATTERN, KIND_SEQUENCER, "WISHED_PATTERN", PARAM_PLAIN, PARAM_INT, param_table_detail::PATTERN,
     param_table_detail::PATTERN},
    // The controller stops raising the cut-off at 20 kHz, the top of hearing.
    {P_PCF_HICUT, KIND_PCF, "HICUT", PARAM_PLAIN, PARAM_INT, {1, NYQUIST_HZ}, {1, 20000}},
    // GAIN sets AMOUNT to a tenth of itself, so both share one scale; the panel's level knob
    // turns within 0..1.
    {P_PCF_AMOUNT, KIND_PCF, "AMOUNT", PARAM_PLAIN, PARAM_REAL, {-10, 10}, {0, 1}},
    // The filter wraps a type outside 0..7 as it plays (below 0 is 7, above 7 is 0), and
    // patches rely on it: any whole number is taken.
    {P_PCF_TYPE, KIND_PCF, "TYPE", PARAM_PLAIN, PARAM_INT, {-2147483648.0, 2147483647.0}, {0, 6}},
    // Below the 16-bit output's dynamic range (-96 dB) a deeper cut is not heard.
    {P_PCF_GAIN, KIND_PCF, "GAIN", PARAM_PLAIN, PARAM_REAL, {-100, 100}, {-96, 100}},
    // Q divides the filter's bandwidth term: 0 would make it infinite.
    {P_PCF_Q, KIND_PCF, "Q", PARAM_PLAIN, PARAM_REAL, {0.001, 1000}, {0.001, 1000}},
    {P_PCF_BYPASS, KIND_PCF, "BYPASS", PARAM_PLAIN, PARAM_INT, param_table_detail::SWITCH_VALUES,
     param_table_detail::SWITCH},
    {P_PCF_POWER, KIND_PCF, "POWER", PARAM_PLAIN, PARAM_INT, param_table_detail::SWITCH_VALUES,
     param_table_detail::SWITCH},
    // 1..6 are the waveforms; 0, where the controller steps down to, sounds nothing.
    {P_VCO_TYPE, KIND_VCO, "TYPE", PARAM_PLAIN, PARAM_INT, {0, 6}, {0, 6}},
    // A negative frequency runs the phase away from its wrap; 0 holds it still.
    {P_VCO_FREQ, KIND_VCO, "FREQ", PARAM_PLAIN, PARAM_REAL, {0, NYQUIST_HZ}, {0.001, NYQUIST_HZ}},
    // The oscillator limits its level to 1; the knob goes as far as the frequency's.
    {P_VCO_AMOUNT, KIND_VCO, "AMOUNT", PARAM_PLAIN, PARAM_REAL, {0, NYQUIST_HZ}, {0, NYQUIST_HZ}},
    {P_VCO_PHASE, KIND_VCO, "PHASE", PARAM_PLAIN, PARAM_REAL, {-360, 360}, {-359, 359}},
    {P_VCO_PWM, KIND_VCO, "PWM", PARAM_PLAIN, PARAM_REAL, {0, NYQUIST_HZ}, {0.001, NYQUIST_HZ}},
    {P_VCO_POWER, KIND_VCO, "POWER", PARAM_PLAIN, PARAM_INT, param_table_detail::SWITCH_VALUES,
     param_table_detail::SWITCH},
    // The controller's time steps end at 100100 ms.
    {P_VCA_ATTACK, KIND_VCA, "ATTACK", PARAM_PLAIN, PARAM_REAL, param_table_detail::TIME, {0, 100100}},
    {P_VCA_INVERT, KIND_VCA, "INVERT", PARAM_PLAIN, PARAM_INT, param_table_detail::SWITCH_VALUES,
     param_table_detail::SWITCH},
    {P_VCA_BYPASS, KIND_VCA, "BYPASS", PARAM_PLAIN, PARAM_INT, param_table_detail::SWITCH_VALUES,
     param_table_detail::SWITCH},
    {P_VCA_DECAY, KIND_VCA, "DECAY", PARAM_PLAIN, PARAM_REAL, param_table_detail::TIME, {0, 100100}},
    // A fraction of the peak; above 1 the held level lifts the envelope over its peak.
    {P_VCA_SUSTAIN, KIND_VCA, "SUSTAIN", PARAM_PLAIN, PARAM_REAL, {0, 10}, {0, 1}},
    {P_VCA_RELEASE, KIND_VCA, "RELEASE", PARAM_PLAIN, PARAM_REAL, param_table_detail::TIME, {0, 100100}},
    {P_KEY_POWER, KIND_KEYBOARD, "POWER", PARAM_PLAIN, PARAM_INT, param_table_detail::SWITCH_VALUES,
     param_table_detail::SWITCH},
    {P_KEY_OCTAVE, KIND_KEYBOARD, "OCTAVE", PARAM_PLAIN, PARAM_INT, {0, LAST_OCTAVE}, {0, 7}},
    {P_KEY_NOTE, KIND_KEYBOARD, "NOTE", PARAM_PLAIN, PARAM_INT, {0, LAST_NOTE}, {0, LAST_NOTE}},
    {P_MIX_ENABLED, KIND_MIXER, "ENABLED", PARAM_PLAIN, PARAM_INT, param_table_detail::SWITCH_VALUES,
     param_table_detail::SWITCH},
    // A negative level turns the channel's phase over; the knob gives 1 per 1800 degrees.
    {P_MIX_LEVEL, KIND_MIXER, "LEVEL_", PARAM_SLOT, PARAM_REAL, {-10, 10}, {-10, 10}},
    // Only exactly 1 mutes a channel.
    {P_MIX_MUTE, KIND_MIXER, "MUTE_", PARAM_SLOT, PARAM_REAL, {0, 1}, {0, 1}},
};

constexpr const PARAM_INFO& param_info(PARAM_ID id) {
    return param_table[id];
}

// Whether v lies in the range (false for NaN and for an infinity beyond it).
constexpr bool within(const PARAM_RANGE& r, double v) {
    return v >= r.min && v <= r.max;
}
