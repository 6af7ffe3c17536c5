// The keys and link ports of each module kind, with the ranges of values a module can use.
#pragma once
#include <cstddef>

#include "engine/module_kind.h"

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

// A rule names its source kinds by module kind; a source name selects a kind by containing
// the kind's keyword.
constexpr int MAX_RULE_SOURCES = KIND_COUNT;

struct PORT_RULE {
    const char* key;
    PORT port;
    bool key_text_only; // tested in the text before "=" instead of the whole field
    int source_count;
    MODULE_KIND sources[MAX_RULE_SOURCES];
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
