// Key tables of the patch format and the conversions of key values.
#include "patch_keys.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "engine/sequencer.h"

namespace {

// Limits shared by several keys. Audio frequencies stop at the Nyquist frequency of 44100 Hz;
// a note number indexes the 2000-entry note table; switches are 0 or 1.
constexpr double NYQUIST = 22050.0;
constexpr double LAST_NOTE = 1999.0;
constexpr double LAST_OCTAVE = 166.0; // 12 x 166 is the last octave inside the note table
constexpr double HOUR_MS = 3600000.0;
constexpr double STEPS_PER_SECOND_MAX = 44100.0;
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

namespace {
template <size_t N> OBJECT_KEYS keys_of(const OBJECT_KEY (&k)[N]) {
    return {k, static_cast<int>(N)};
}
} // namespace

OBJECT_KEYS object_keys(MODULE_KIND kind) {
    switch (kind) {
    case KIND_SEQUENCER:
        return keys_of(sequencer_keys);
    case KIND_PCF:
        return keys_of(pcf_keys);
    case KIND_VCO:
        return keys_of(vco_keys);
    case KIND_VCA:
        return keys_of(vca_keys);
    case KIND_SAMPLER:
        return keys_of(sampler_keys);
    case KIND_KEYBOARD:
        return keys_of(keyboard_keys);
    case KIND_MIXER:
        return keys_of(mixer_keys);
    case KIND_COUNT:
        break;
    }
    return {nullptr, 0};
}

bool empty_field_is_fatal(MODULE_KIND kind) {
    return kind == KIND_SEQUENCER || kind == KIND_SAMPLER || kind == KIND_VCO || kind == KIND_VCA;
}

bool value_in_range(const OBJECT_KEY& key, double v) {
    return v >= key.min && v <= key.max; // false for NaN
}

bool value_text_is_number(const OBJECT_KEY& key, const char* value) {
    if (key.value != VALUE_INT && key.value != VALUE_REAL) return true;
    if (value == nullptr || *value == '\0') return false;
    char* end = nullptr;
    std::strtod(value, &end);
    return end != value && *end == '\0';
}

bool value_text_accepted(const OBJECT_KEY& key, const char* value) {
    switch (key.value) {
    case VALUE_INT:
        return value_in_range(key, patch_int(value));
    case VALUE_REAL:
        return value_in_range(key, patch_real(value));
    case VALUE_WAVE:
        return value != nullptr && value[0] >= '1' && value[0] <= '6';
    case VALUE_TEXT:
        break;
    }
    return true;
}

const char* const source_keywords[SRC_COUNT] = {"SEQUENCER", "KEY", "VCO", "SAMPLER", "VCA", "PCF", "MIXER"};

namespace {

// A rule of the keys that take any source kind, tested in the key text.
constexpr PORT_RULE any_source(const char* key, PORT port) {
    return {key,
            port,
            true,
            SRC_COUNT,
            {SRC_SEQUENCER, SRC_KEY, SRC_VCO, SRC_SAMPLER, SRC_VCA, SRC_PCF, SRC_MIXER}};
}

const PORT_RULE sequencer_rules[] = {
    {"SYNC", PORT_SYNC, false, 1, {SRC_KEY}},
};

const PORT_RULE vco_rules[] = {
    {"MOD_FREQ", PORT_MOD_FREQ, false, 3, {SRC_VCO, SRC_SAMPLER, SRC_VCA}},
    {"MOD_PHASE", PORT_MOD_PHASE, false, 3, {SRC_VCO, SRC_SAMPLER, SRC_VCA}},
    {"MOD_AMP", PORT_MOD_AMP, false, 3, {SRC_VCO, SRC_SAMPLER, SRC_VCA}},
    {"MOD_PWM", PORT_MOD_PWM, false, 3, {SRC_VCO, SRC_SAMPLER, SRC_VCA}},
    {"IN", PORT_INPUT, false, 2, {SRC_SEQUENCER, SRC_KEY}},
    {"GATE", PORT_GATE, false, 2, {SRC_SEQUENCER, SRC_KEY}},
    {"SYNC", PORT_SYNC, false, 2, {SRC_SEQUENCER, SRC_KEY}},
    any_source(AUDIO_KEY, PORT_INPUT),
    any_source(CV_FREQ_KEY, PORT_MOD_FREQ),
    any_source(CV_PHASE_KEY, PORT_MOD_PHASE),
    any_source(CV_AMP_KEY, PORT_MOD_AMP),
    any_source(CV_PWM_KEY, PORT_MOD_PWM),
};

const PORT_RULE mixer_rules[] = {
    {"ADD_CHANELL", PORT_CHANNEL, true, 5, {SRC_VCO, SRC_SAMPLER, SRC_VCA, SRC_PCF, SRC_MIXER}},
    any_source(SLOT_KEY, PORT_SLOT),
};

const PORT_RULE vca_rules[] = {
    {"IN", PORT_INPUT, false, 4, {SRC_VCO, SRC_PCF, SRC_SAMPLER, SRC_MIXER}},
    {"GATE", PORT_GATE, false, 2, {SRC_KEY, SRC_SEQUENCER}},
    any_source(AUDIO_KEY, PORT_INPUT),
};

const PORT_RULE pcf_rules[] = {
    {"MOD_FREQ", PORT_MOD_FREQ, false, 3, {SRC_VCO, SRC_SAMPLER, SRC_VCA}},
    {"MOD_PHASE", PORT_MOD_PHASE, false, 3, {SRC_VCO, SRC_SAMPLER, SRC_VCA}},
    {"MOD_AMP", PORT_MOD_AMP, false, 3, {SRC_VCO, SRC_SAMPLER, SRC_VCA}},
    {"IN", PORT_INPUT, false, 7, {SRC_PCF, SRC_VCO, SRC_SAMPLER, SRC_MIXER, SRC_VCA, SRC_SEQUENCER, SRC_KEY}},
    {"GATE", PORT_GATE, false, 2, {SRC_KEY, SRC_SEQUENCER}},
    {"SYNC", PORT_SYNC, false, 2, {SRC_SEQUENCER, SRC_KEY}},
    any_source(CV_FREQ_KEY, PORT_MOD_FREQ),
    any_source(CV_PHASE_KEY, PORT_MOD_PHASE),
    any_source(CV_AMP_KEY, PORT_MOD_AMP),
};

const PORT_RULE sampler_rules[] = {
    {"MOD_FREQ", PORT_MOD_FREQ, false, 2, {SRC_VCO, SRC_SAMPLER}},
    {"MOD_PHASE", PORT_MOD_PHASE, false, 2, {SRC_VCO, SRC_SAMPLER}},
    {"MOD_AMP", PORT_MOD_AMP, false, 2, {SRC_VCO, SRC_SAMPLER}},
    {"IN", PORT_INPUT, false, 2, {SRC_SEQUENCER, SRC_KEY}},
    {"GATE", PORT_GATE, false, 2, {SRC_SEQUENCER, SRC_KEY}},
    {"SYNC", PORT_SYNC, false, 2, {SRC_SEQUENCER, SRC_KEY}},
    any_source(AUDIO_KEY, PORT_INPUT),
    any_source(CV_FREQ_KEY, PORT_MOD_FREQ),
    any_source(CV_PHASE_KEY, PORT_MOD_PHASE),
    any_source(CV_AMP_KEY, PORT_MOD_AMP),
};

template <size_t N> PORT_RULES rules_of(const PORT_RULE (&r)[N]) {
    return {r, static_cast<int>(N)};
}

// The number starting at pos of a key of the given length (at most max_chars of it when
// max_chars is not 0); false when pos lies outside the key.
bool number_at(const char* key, size_t length, size_t pos, size_t max_chars, int& out) {
    if (pos >= length) return false;
    if (max_chars == 0) {
        out = patch_int(key + pos);
        return true;
    }
    char digits[8];
    size_t n = 0;
    while (n < max_chars && n + 1 < sizeof digits && pos + n < length) {
        digits[n] = key[pos + n];
        ++n;
    }
    digits[n] = '\0';
    out = patch_int(digits);
    return true;
}

} // namespace

PORT_RULES port_rules(LINK_TARGET kind) {
    switch (kind) {
    case TGT_SEQUENCER:
        return rules_of(sequencer_rules);
    case TGT_VCO:
        return rules_of(vco_rules);
    case TGT_MIXER:
        return rules_of(mixer_rules);
    case TGT_VCA:
        return rules_of(vca_rules);
    case TGT_PCF:
        return rules_of(pcf_rules);
    case TGT_SAMPLER:
        return rules_of(sampler_rules);
    default:
        return {nullptr, 0};
    }
}

const char* port_key_for(LINK_TARGET kind, PORT port, SOURCE_KIND source) {
    PORT_RULES r = port_rules(kind);
    for (int i = 0; i < r.count; ++i) {
        if (r.rules[i].port != port) continue;
        for (int k = 0; k < r.rules[i].source_count; ++k)
            if (r.rules[i].sources[k] == source) return r.rules[i].key;
    }
    return nullptr;
}

int link_targets_of(const char* name, LINK_TARGET out[TGT_COUNT]) {
    int n = 0;
    if (name == nullptr) return 0;
    if (std::strstr(name, kind_info(KIND_SEQUENCER).keyword))
        out[n++] = TGT_SEQUENCER;
    else if (std::strstr(name, kind_info(KIND_VCO).keyword))
        out[n++] = TGT_VCO;
    else if (std::strstr(name, kind_info(KIND_MIXER).keyword))
        out[n++] = TGT_MIXER;
    if (std::strstr(name, kind_info(KIND_VCA).keyword)) out[n++] = TGT_VCA;
    if (std::strstr(name, kind_info(KIND_PCF).keyword)) out[n++] = TGT_PCF;
    if (std::strstr(name, kind_info(KIND_SAMPLER).keyword)) out[n++] = TGT_SAMPLER;
    return n;
}

MODULE_KIND target_module_kind(LINK_TARGET kind) {
    static const MODULE_KIND kinds[TGT_COUNT] = {KIND_SEQUENCER, KIND_VCO, KIND_MIXER,
                                                 KIND_VCA,       KIND_PCF, KIND_SAMPLER};
    return kinds[kind];
}

int created_kinds_of(const char* name, MODULE_KIND out[4]) {
    int n = 0;
    if (name == nullptr) return 0;
    auto has = [name](MODULE_KIND k) { return std::strstr(name, kind_info(k).keyword) != nullptr; };
    if (has(KIND_SEQUENCER)) out[n++] = KIND_SEQUENCER;
    for (MODULE_KIND k : {KIND_PCF, KIND_KEYBOARD, KIND_SAMPLER, KIND_VCO})
        if (has(k)) {
            out[n++] = k;
            break;
        }
    if (has(KIND_VCA)) out[n++] = KIND_VCA;
    if (has(KIND_MIXER)) out[n++] = KIND_MIXER;
    return n;
}

MODULE_KIND source_module_kind(SOURCE_KIND kind) {
    static const MODULE_KIND kinds[SRC_COUNT] = {KIND_SEQUENCER, KIND_KEYBOARD, KIND_VCO,  KIND_SAMPLER,
                                                 KIND_VCA,       KIND_PCF,      KIND_MIXER};
    return kinds[kind];
}

int patch_int(const char* s) {
    if (s == nullptr) return 0;
    while (*s == ' ' || (*s >= '\t' && *s <= '\r'))
        ++s;
    bool negative = false;
    if (*s == '+' || *s == '-') negative = *s++ == '-';
    long long v = 0;
    for (; *s >= '0' && *s <= '9'; ++s) {
        v = v * 10 + (*s - '0');
        if (v > static_cast<long long>(INT_MAX) + 1) v = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) v = -v;
    if (v > INT_MAX) v = INT_MAX;
    return static_cast<int>(v);
}

float patch_real(const char* s) {
    if (s == nullptr) return 0.0f;
    // Rounded once, straight to the float: a decimal written from a float comes back exact.
    return std::strtof(s, nullptr);
}

int integer_part(double v) {
    if (std::isnan(v)) return 0;
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(v);
}

int vco_type_of(const char* value) {
    if (value != nullptr && value[0] >= '1' && value[0] <= '6') return value[0] - '0';
    return 1;
}

bool step_cell_of(const char* key, STEP_KEY_FORM form, int& row, int& column) {
    if (key == nullptr) return false;
    size_t length = std::strlen(key);
    size_t max_chars = form == STEP_THREE_DIGIT ? 3 : 0;
    bool ok;
    if (form == STEP_NOTE) {
        ok = number_at(key, length, 5, max_chars, row) && number_at(key, length, 9, max_chars, column);
    } else if (length <= 9) {
        row = 0;
        ok = number_at(key, length, 7, max_chars, column);
    } else {
        ok = number_at(key, length, 7, max_chars, row) && number_at(key, length, 11, max_chars, column);
    }
    return ok && row >= 0 && row < SEQ_ROWS && column >= 0 && column < SEQ_COLS;
}

bool indexed_key_of(const char* key, const char* prefix, int count, int& index) {
    if (key == nullptr) return false;
    const char* at = std::strstr(key, prefix);
    if (at == nullptr) return false;
    const char* digits = at + std::strlen(prefix);
    if (*digits < '0' || *digits > '9') return false;
    index = patch_int(digits);
    return index < count;
}
