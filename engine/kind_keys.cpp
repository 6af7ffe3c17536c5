// The key tables of the module kinds and the ranges their values may take.
#include "engine/kind_keys.h"

#include "engine/sequencer.h"

namespace {

// Limits shared by several keys. Audio frequencies stop at the Nyquist frequency of 44100 Hz;
// a note number indexes the 2000-entry note table; switches are 0 or 1.
constexpr double NYQUIST = NYQUIST_HZ;
constexpr double LAST_NOTE = 1999.0;
constexpr double LAST_OCTAVE = 166.0; // 12 x 166 is the last octave inside the note table
constexpr double HOUR_MS = 3600000.0;
constexpr double STEPS_PER_SECOND_MAX = SAMPLE_RATE;
constexpr double STEPS_PER_SECOND_MIN = 0.001;

constexpr OBJECT_KEY plain_int(const char* text, double min, double max) {
    return {text, KEY_PLAIN, VALUE_INT, min, max};
}
constexpr OBJECT_KEY plain_real(const char* text, double min, double max) {
    return {text, KEY_PLAIN, VALUE_REAL, min, max};
}
constexpr OBJECT_KEY switch_key(const char* text) {
    return plain_int(text, 0, 1);
}

} // namespace

const OBJECT_KEY sequencer_keys[SK_COUNT] = {
    // A step every sample is the fastest clock; 0 would divide by zero.
    plain_real("DIVIDER", STEPS_PER_SECOND_MIN, STEPS_PER_SECOND_MAX),
    plain_int("NBR_STEP", 1, SEQ_COLS),
    {"NOTE_", KEY_STEP_NOTE, VALUE_INT, 0, LAST_NOTE},
    {"BYPASS_", KEY_STEP, VALUE_INT, 0, 1},
    // Only a volume of exactly 1 starts a note; the panel steps it by tenths either way.
    {"VOLUME_", KEY_STEP_THREE, VALUE_REAL, -100, 100},
    // The panel doubles and halves a length: sixteen doublings of the default.
    {"LENGHT_", KEY_STEP_THREE, VALUE_REAL, 0, 65536},
    {"OCTAVE_", KEY_STEP, VALUE_INT, 0, LAST_OCTAVE},
    switch_key("POWER"),
    plain_int("PLAYING_PATTERN", 0, SEQ_PLAYED_PATTERNS - 1),
    plain_int("WISHED_PATTERN", 0, SEQ_PLAYED_PATTERNS - 1),
    plain_real("WISHED_TEMPO", STEPS_PER_SECOND_MIN, STEPS_PER_SECOND_MAX),
};
const OBJECT_KEY pcf_keys[FK_COUNT] = {
    plain_int("HICUT", 1, NYQUIST),
    // GAIN sets AMOUNT to a tenth of itself, so both share one scale.
    plain_real("AMOUNT", -10, 10),
    plain_int("TYPE", 0, 7),
    plain_real("GAIN", -100, 100),
    // Q divides the filter's bandwidth term: 0 makes it infinite.
    plain_real("Q", 0.001, 1000),
    switch_key("BYPASS"),
    switch_key("POWER"),
};
const OBJECT_KEY vco_keys[OK_COUNT] = {
    {"TYPE", KEY_PLAIN, VALUE_WAVE, 1, 6},
    // A negative frequency runs the phase away from its wrap; 0 holds it still.
    plain_real("FREQ", 0, NYQUIST),
    // The oscillator limits its level to 1; the panel's knob goes as far as FREQ's.
    plain_real("AMOUNT", 0, NYQUIST),
    plain_int("NOTE", 0, LAST_NOTE),
    plain_real("PHASE", -360, 360),
    plain_real("PWM", 0, NYQUIST),
    switch_key("POWER"),
    // The controller steps the waveform down to 0, which sounds nothing.
    plain_int("WAVEFORM", 0, 6),
};
const OBJECT_KEY vca_keys[AK_COUNT] = {
    plain_real("ATTACK", 0, HOUR_MS),
    switch_key("INVERT"),
    switch_key("BYPASS"),
    plain_real("DECAY", 0, HOUR_MS),
    // A fraction of the peak; above 1 the held level lifts the envelope over its peak.
    plain_real("SUSTAIN", 0, 10),
    plain_real("RELEASE", 0, HOUR_MS),
};
const OBJECT_KEY sampler_keys[PK_COUNT] = {{"FILE", KEY_PLAIN, VALUE_TEXT, 0, 0}};
const OBJECT_KEY keyboard_keys[KK_COUNT] = {
    switch_key("POWER"),
    plain_int("OCTAVE", 0, LAST_OCTAVE),
    plain_int("NOTE", 0, LAST_NOTE),
};
const OBJECT_KEY mixer_keys[MK_COUNT] = {
    switch_key("ENABLED"),
    // A negative level turns the channel's phase over.
    {"LEVEL_", KEY_SLOT, VALUE_REAL, -10, 10},
    // Only exactly 1 mutes a channel.
    {"MUTE_", KEY_SLOT, VALUE_REAL, 0, 1},
};
