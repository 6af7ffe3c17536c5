// Key tables of the patch format and the conversions of key values.
#include "patch_keys.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "engine/param_table.h"
#include "engine/sequencer.h"

namespace {

// A key whose values are those the engine's parameter table lets the field hold.
constexpr OBJECT_KEY table_key(const char* text, KEY_FORM form, VALUE_FORM value, PARAM_ID id) {
    return {text, form, value, param_spec(id).patch.min, param_spec(id).patch.max};
}
constexpr OBJECT_KEY plain_key(const char* text, PARAM_ID id) {
    return table_key(text, KEY_PLAIN, param_spec(id).type == PARAM_INT ? VALUE_INT : VALUE_REAL, id);
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
