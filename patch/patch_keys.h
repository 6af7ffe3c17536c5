// Reading the keys of the patch format: value conversions, step cells and the kinds a name selects.
#pragma once
#include <cstddef>

#include "engine/kind_keys.h"
#include "engine/module_kinds.h"

// The key the writer puts DIVIDER under, as the historic writer did; the substring match reads
// it as DIVIDER.
constexpr const char* SAVED_DIVIDER_KEY = "*DIVIDER";

// Whether a number lies in the key's range (false for NaN and the infinities).
bool value_in_range(const OBJECT_KEY& key, double v);
// Whether a value's text is a number through to its end, as a number key needs ("2x2" and
// "abc" are not); text and waveform values always are.
bool value_text_is_number(const OBJECT_KEY& key, const char* value);
// Whether a value's text reads as a value the key accepts (the first character for VALUE_WAVE;
// text is always accepted).
bool value_text_accepted(const OBJECT_KEY& key, const char* value);

// The kinds a link target name selects, in the order their rules are applied: the first of
// SEQUENCER, VCO and MIXER it contains, then VCA, PCF and SAMPLER each. Returns how many.
int link_targets_of(const char* name, MODULE_KIND out[KIND_COUNT]);
// The module kinds a declared name creates, in the order the objects reader creates them: the
// four groups SEQUENCER; PCF, else KEY, else SAMPLER, else VCO; VCA; MIXER. Returns how many.
int created_kinds_of(const char* name, MODULE_KIND out[4]);
// The key of the first rule of a target kind that sets the port from the source kind, or
// null when none does.
const char* port_key_for(MODULE_KIND target, PORT port, MODULE_KIND source);

// atoi: optional blanks and sign, decimal digits up to the first other character, 0 without
// digits; values beyond the int range saturate instead of overflowing.
int patch_int(const char* s);
// atof stored as a 32-bit float (a value beyond the float range becomes an infinity).
float patch_real(const char* s);
// A real value's integer part, saturated to the int range (NaN gives 0).
int integer_part(double v);
// VCO TYPE: the value's first character, "1" to "6"; anything else is waveform 1.
int vco_type_of(const char* value);

// Step keys name one cell of the 64 x 64 step arrays by numbers read at fixed positions of
// the key text (the text before "="). Returns false when a number lies outside the key or
// the cell outside the arrays.
enum STEP_KEY_FORM {
    STEP_NOTE,       // row at 5, column at 9, no short form
    STEP_BYPASS,     // row at 7, column at 11; short form (key of at most 9 characters)
    STEP_THREE_DIGIT // as STEP_BYPASS, each number cut to three characters (VOLUME, LENGHT)
};
bool step_cell_of(const char* key, STEP_KEY_FORM form, int& row, int& column);

// Keys naming one entry of an array by the decimal number right after their text (LEVEL_03):
// false when the key text lacks the prefix or a number, or the number is not below count.
bool indexed_key_of(const char* key, const char* prefix, int count, int& index);
