// The keys of the patch format, in the order each kind tests them, and the value conversions.
#pragma once
#include <cstddef>

#include "engine/module_kinds.h"

// Object keys. A key applies to every parameter field that contains its text anywhere, so no
// key of a kind may contain, or be contained in, another key of the same kind.
enum SEQUENCER_KEY {
    SK_DIVIDER,
    SK_NBR_STEP,
    SK_NOTE,
    SK_BYPASS,
    SK_VOLUME,
    SK_LENGHT,
    SK_OCTAVE,         // OCTAVE_rrr_ccc: a cell's octave, keeping its note number (after NOTE_)
    SK_POWER,          // `power`
    SK_PLAYING,        // the pattern playing; also the next one
    SK_WISHED_PATTERN, // `next_pattern` alone
    SK_WISHED_TEMPO,   // `next_divider` alone (DIVIDER sets both)
    SK_COUNT
};
enum PCF_KEY { FK_HICUT, FK_AMOUNT, FK_TYPE, FK_GAIN, FK_Q, FK_BYPASS, FK_POWER, FK_COUNT };
// WAVEFORM sets TYPE to a whole number (0, silence, too), where TYPE reads only "1" to "6".
enum VCO_KEY { OK_TYPE, OK_FREQ, OK_AMOUNT, OK_NOTE, OK_PHASE, OK_PWM, OK_POWER, OK_WAVEFORM, OK_COUNT };
enum VCA_KEY { AK_ATTACK, AK_INVERT, AK_BYPASS, AK_DECAY, AK_SUSTAIN, AK_RELEASE, AK_COUNT };
enum SAMPLER_KEY { PK_FILE, PK_COUNT };
// NOTE is the held `key`, the note within the octave.
enum KEYBOARD_KEY { KK_POWER, KK_OCTAVE, KK_NOTE, KK_COUNT };
// LEVEL_nn and MUTE_nn name the channel slot nn.
enum MIXER_KEY { MK_ENABLED, MK_LEVEL, MK_MUTE, MK_COUNT };

// How a key's text names what it sets.
enum KEY_FORM {
    KEY_PLAIN,      // the key alone
    KEY_STEP_NOTE,  // NOTE_rrr_ccc: a step cell, no short form
    KEY_STEP,       // PREFIX_rrr_ccc or PREFIX_c: a step cell
    KEY_STEP_THREE, // the same, each number cut to three characters
    KEY_SLOT        // PREFIX_nn: a mixer channel slot
};

// How a value is read: whole numbers like atoi, reals like atof, text verbatim, and the
// oscillator's TYPE by its first character.
enum VALUE_FORM { VALUE_INT, VALUE_REAL, VALUE_TEXT, VALUE_WAVE };

// One object key: its text, what it names, its value and the range of values that the module
// can use. A value outside [min, max] (and any real that is not finite) is refused.
struct OBJECT_KEY {
    const char* text;
    KEY_FORM form;
    VALUE_FORM value;
    double min;
    double max;
};

extern const OBJECT_KEY sequencer_keys[SK_COUNT];
extern const OBJECT_KEY pcf_keys[FK_COUNT];
extern const OBJECT_KEY vco_keys[OK_COUNT];
extern const OBJECT_KEY vca_keys[AK_COUNT];
extern const OBJECT_KEY sampler_keys[PK_COUNT];
extern const OBJECT_KEY keyboard_keys[KK_COUNT];
extern const OBJECT_KEY mixer_keys[MK_COUNT];

struct OBJECT_KEYS {
    const OBJECT_KEY* keys;
    int count;
};
// The keys a kind reads, in the order they are tested.
OBJECT_KEYS object_keys(MODULE_KIND kind);

// Whether an empty parameter field ends the process for a kind (the historic readers of
// sequencers, samplers, oscillators and envelopes stop there; the others skip it).
bool empty_field_is_fatal(MODULE_KIND kind);

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

// Link ports, per target kind in the order they are tested.
enum PORT {
    PORT_INPUT,
    PORT_GATE,
    PORT_SYNC,
    PORT_MOD_FREQ,
    PORT_MOD_PHASE,
    PORT_MOD_AMP,
    PORT_MOD_PWM,
    PORT_CHANNEL, // appends a mixer channel fed by the source
    PORT_SLOT     // appends a mixer channel, unconnected when no source is named or found
};

// Source kinds, named by the keyword a source module's name contains.
enum SOURCE_KIND { SRC_SEQUENCER, SRC_KEY, SRC_VCO, SRC_SAMPLER, SRC_VCA, SRC_PCF, SRC_MIXER, SRC_COUNT };
extern const char* const source_keywords[SRC_COUNT];

constexpr int MAX_RULE_SOURCES = SRC_COUNT;

struct PORT_RULE {
    const char* key;
    PORT port;
    bool key_text_only; // tested in the text before "=" instead of the whole field
    int source_count;
    SOURCE_KIND sources[MAX_RULE_SOURCES];
};

// The keys of the connections that the historic ports refuse (a filter feeding an oscillator's
// modulation, a keyboard feeding a mixer, an unconnected mixer channel...). They accept every
// source kind and are tested in the key text only, so a source name cannot trigger them.
constexpr const char* AUDIO_KEY = "AUDIO";
constexpr const char* CV_FREQ_KEY = "CV_FREQ";
constexpr const char* CV_PHASE_KEY = "CV_PHASE";
constexpr const char* CV_AMP_KEY = "CV_AMP";
constexpr const char* CV_PWM_KEY = "CV_PWM";
constexpr const char* SLOT_KEY = "SLOT";

struct PORT_RULES {
    const PORT_RULE* rules;
    int count;
};

// Target kinds of the links section; a target name can select several.
enum LINK_TARGET { TGT_SEQUENCER, TGT_VCO, TGT_MIXER, TGT_VCA, TGT_PCF, TGT_SAMPLER, TGT_COUNT };
PORT_RULES port_rules(LINK_TARGET kind);
// The kinds a link target name selects, in the order their rules are applied: the first of
// SEQUENCER, VCO and MIXER it contains, then VCA, PCF and SAMPLER each. Returns how many.
int link_targets_of(const char* name, LINK_TARGET out[TGT_COUNT]);
// The module kind a link target kind looks its target up in.
MODULE_KIND target_module_kind(LINK_TARGET kind);
// The module kinds a declared name creates, in the order the objects reader creates them: the
// four groups SEQUENCER; PCF, else KEY, else SAMPLER, else VCO; VCA; MIXER. Returns how many.
int created_kinds_of(const char* name, MODULE_KIND out[4]);
// The module kind a source kind names.
MODULE_KIND source_module_kind(SOURCE_KIND kind);
// The key of the first rule of a target kind that sets the port from the source kind, or
// null when none does.
const char* port_key_for(LINK_TARGET kind, PORT port, SOURCE_KIND source);

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
