// The key tables of the module kinds and the ranges their values may take.
#include "engine/kind_keys.h"

#include "engine/param_table.h"
#include "engine/sequencer.h"

namespace {

// A key whose values are those the parameter table lets the field hold.
constexpr OBJECT_KEY table_key(const char* text, KEY_FORM form, VALUE_FORM value, PARAM_ID id) {
    return {text, form, value, param_info(id).patch.min, param_info(id).patch.max};
}
constexpr OBJECT_KEY plain_key(const char* text, PARAM_ID id) {
    return table_key(text, KEY_PLAIN, param_info(id).type == PARAM_INT ? VALUE_INT : VALUE_REAL, id);
}

} // namespace

const OBJECT_KEY sequencer_keys[SK_COUNT] = {
    plain_key("DIVIDER", P_SEQ_DIVIDER),
    plain_key("NBR_STEP", P_SEQ_NBR_STEP),
    // A note number: the cell's octave and its note within it together.
    {"NOTE_", KEY_STEP_NOTE, VALUE_INT, 0, LAST_NOTE},
    table_key("BYPASS_", KEY_STEP, VALUE_INT, P_SEQ_BYPASS),
    table_key("VOLUME_", KEY_STEP_THREE, VALUE_REAL, P_SEQ_VOLUME),
    table_key("LENGHT_", KEY_STEP_THREE, VALUE_REAL, P_SEQ_LENGHT),
    table_key("OCTAVE_", KEY_STEP, VALUE_INT, P_SEQ_OCTAVE),
    plain_key("POWER", P_SEQ_POWER),
    plain_key("PLAYING_PATTERN", P_SEQ_PLAYING_PATTERN),
    plain_key("WISHED_PATTERN", P_SEQ_WISHED_PATTERN),
    plain_key("WISHED_TEMPO", P_SEQ_WISHED_TEMPO),
};
const OBJECT_KEY pcf_keys[FK_COUNT] = {
    plain_key("HICUT", P_PCF_HICUT), plain_key("AMOUNT", P_PCF_AMOUNT), plain_key("TYPE", P_PCF_TYPE),
    plain_key("GAIN", P_PCF_GAIN),   plain_key("Q", P_PCF_Q),           plain_key("BYPASS", P_PCF_BYPASS),
    plain_key("POWER", P_PCF_POWER),
};
const OBJECT_KEY vco_keys[OK_COUNT] = {
    {"TYPE", KEY_PLAIN, VALUE_WAVE, 1, 6},
    plain_key("FREQ", P_VCO_FREQ),
    plain_key("AMOUNT", P_VCO_AMOUNT),
    // The note's frequency becomes FREQ, so it stays below the Nyquist frequency as FREQ does.
    {"NOTE", KEY_PLAIN, VALUE_INT, 0, LAST_AUDIBLE_NOTE},
    plain_key("PHASE", P_VCO_PHASE),
    plain_key("PWM", P_VCO_PWM),
    plain_key("POWER", P_VCO_POWER),
    // The controller steps the waveform down to 0, which sounds nothing.
    plain_key("WAVEFORM", P_VCO_TYPE),
};
const OBJECT_KEY vca_keys[AK_COUNT] = {
    plain_key("ATTACK", P_VCA_ATTACK), plain_key("INVERT", P_VCA_INVERT),   plain_key("BYPASS", P_VCA_BYPASS),
    plain_key("DECAY", P_VCA_DECAY),   plain_key("SUSTAIN", P_VCA_SUSTAIN), plain_key("RELEASE", P_VCA_RELEASE),
};
const OBJECT_KEY sampler_keys[PK_COUNT] = {{"FILE", KEY_PLAIN, VALUE_TEXT, 0, 0}};
const OBJECT_KEY keyboard_keys[KK_COUNT] = {
    plain_key("POWER", P_KEY_POWER),
    plain_key("OCTAVE", P_KEY_OCTAVE),
    plain_key("NOTE", P_KEY_NOTE),
};
const OBJECT_KEY mixer_keys[MK_COUNT] = {
    plain_key("ENABLED", P_MIX_ENABLED),
    table_key("LEVEL_", KEY_SLOT, VALUE_REAL, P_MIX_LEVEL),
    table_key("MUTE_", KEY_SLOT, VALUE_REAL, P_MIX_MUTE),
};
