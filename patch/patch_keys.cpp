// Key tables of the patch format and the conversions of key values.
#include "patch_keys.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "engine/sequencer.h"

const char* const sequencer_keys[SK_COUNT] = {"DIVIDER",         "NBR_STEP",       "NOTE_",       "BYPASS_",
                                              "VOLUME_",         "LENGHT_",        "OCTAVE_",     "POWER",
                                              "PLAYING_PATTERN", "WISHED_PATTERN", "WISHED_TEMPO"};
const char* const pcf_keys[FK_COUNT] = {"HICUT", "AMOUNT", "TYPE", "GAIN", "Q", "BYPASS", "POWER"};
const char* const vco_keys[OK_COUNT] = {"TYPE",  "FREQ", "AMOUNT", "NOTE",
                                        "PHASE", "PWM",  "POWER",  "WAVEFORM"};
const char* const vca_keys[AK_COUNT] = {"ATTACK", "INVERT", "BYPASS", "DECAY", "SUSTAIN", "RELEASE"};
const char* const sampler_keys[PK_COUNT] = {"FILE"};
const char* const keyboard_keys[KK_COUNT] = {"POWER", "OCTAVE", "NOTE"};
const char* const mixer_keys[MK_COUNT] = {"ENABLED", "LEVEL_", "MUTE_"};

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

PORT_RULES port_rules(TARGET_KIND kind) {
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

const char* port_key_for(TARGET_KIND kind, PORT port, SOURCE_KIND source) {
    PORT_RULES r = port_rules(kind);
    for (int i = 0; i < r.count; ++i) {
        if (r.rules[i].port != port) continue;
        for (int k = 0; k < r.rules[i].source_count; ++k)
            if (r.rules[i].sources[k] == source) return r.rules[i].key;
    }
    return nullptr;
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
