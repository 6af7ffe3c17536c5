// The conversions of key values, the step cells keys name and the kinds names select.
#include "patch_keys.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "engine/sequencer.h"

bool value_in_range(const OBJECT_KEY& key, double v) {
    return v >= key.min && v <= key.max; // false for NaN
}

bool value_text_is_number(const OBJECT_KEY& key, const char* value) {
    if (key.value != VALUE_INT && key.value != VALUE_REAL) return true;
    if (value == nullptr || *value == '\0') return false;
    char* end = nullptr;
    const double v = std::strtod(value, &end);
    // A whole number cannot be infinite or not-a-number, which atoi would read as 0.
    return end != value && *end == '\0' && (key.value == VALUE_REAL || std::isfinite(v));
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

namespace {

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

const char* port_key_for(MODULE_KIND kind, PORT port, MODULE_KIND source) {
    PORT_RULES r = kind_ports(kind);
    for (int i = 0; i < r.count; ++i) {
        if (r.rules[i].port != port) continue;
        for (int k = 0; k < r.rules[i].source_count; ++k)
            if (r.rules[i].sources[k] == source) return r.rules[i].key;
    }
    return nullptr;
}

int link_targets_of(const char* name, MODULE_KIND out[KIND_COUNT]) {
    int n = 0;
    if (name == nullptr) return 0;
    auto has = [name](MODULE_KIND k) { return std::strstr(name, kind_info(k).keyword) != nullptr; };
    for (MODULE_KIND k : {KIND_SEQUENCER, KIND_VCO, KIND_MIXER})
        if (has(k)) {
            out[n++] = k;
            break;
        }
    for (MODULE_KIND k : {KIND_VCA, KIND_PCF, KIND_SAMPLER})
        if (has(k)) out[n++] = k;
    return n;
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
