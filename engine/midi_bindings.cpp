// Binding controllers to parameters, moving them through the door, and the key a binding is
// saved under in a patch.
#include "midi_bindings.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

namespace {

bool same_parameter(const MIDI_BINDING& b, const MODULE_REF& m, const PARAM_KEY& key) {
    return b.module == m.module && b.kind == m.kind && b.id == key.id && b.row == key.row && b.index == key.index;
}

// A reach from min to max > 0 spanning at least this ratio is spread in ratio.
constexpr double GEOMETRIC_SPAN = 100.0;

} // namespace

double controller_value(const PARAM_INFO& param, int value) {
    const double t = std::min(std::max(value, 0), MIDI_CONTROLLERS - 1) / static_cast<double>(MIDI_CONTROLLERS - 1);
    const PARAM_RANGE r = param.reach;
    double v;
    if (r.min > 0 && r.max / r.min >= GEOMETRIC_SPAN)
        v = r.min * std::pow(r.max / r.min, t);
    else
        v = r.min + (r.max - r.min) * t;
    if (param.type == PARAM_INT) v = std::round(v);
    return std::min(std::max(v, r.min), r.max);
}

int bound_controller(const GENERATOR& g, const MODULE_REF& m, const PARAM_KEY& key) {
    for (const MIDI_BINDING& b : g.midi_bindings)
        if (same_parameter(b, m, key)) return b.controller;
    return -1;
}

void bind_controller(GENERATOR& g, const MODULE_REF& m, const PARAM_KEY& key, int controller) {
    unbind_controller(g, m, key);
    MIDI_BINDING b;
    b.controller = controller;
    b.kind = m.kind;
    b.module = m.module;
    b.id = key.id;
    b.row = key.row;
    b.index = key.index;
    g.midi_bindings.push_back(b);
}

bool unbind_controller(GENERATOR& g, const MODULE_REF& m, const PARAM_KEY& key) {
    auto& list = g.midi_bindings;
    const auto end = std::remove_if(list.begin(), list.end(),
                                    [&](const MIDI_BINDING& b) { return same_parameter(b, m, key); });
    const bool found = end != list.end();
    list.erase(end, list.end());
    return found;
}

std::string binding_key_text(const PARAM_KEY& key) {
    std::string text = param_key_text(key);
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return MIDI_CC_KEY + text;
}

bool is_binding_key(const char* key) {
    return key != nullptr && std::strncmp(key, MIDI_CC_KEY, std::strlen(MIDI_CC_KEY)) == 0;
}

bool binding_key_of(MODULE_KIND kind, const char* key, PARAM_KEY& out) {
    if (!is_binding_key(key)) return false;
    std::string param = key + std::strlen(MIDI_CC_KEY);
    for (char& c : param) {
        // Only the lower-case form is the writer's; an upper-case letter would be some key's.
        if (std::isupper(static_cast<unsigned char>(c))) return false;
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return param_key_of(kind, param.c_str(), out);
}

int binding_controller_of(const char* value) {
    if (value == nullptr || *value == '\0' || std::strlen(value) > 3) return -1;
    int n = 0;
    for (const char* p = value; *p; ++p) {
        if (!std::isdigit(static_cast<unsigned char>(*p))) return -1;
        n = n * 10 + (*p - '0');
    }
    return n < MIDI_CONTROLLERS ? n : -1;
}
