// Binding controllers to parameters, moving them through the door, and the key a binding is
// saved under in a patch.
#pragma once
#include <string>

#include "door.h"
#include "midi_binding.h"

constexpr int MIDI_CONTROLLERS = 128;

// Where a controller value (0 to 127) puts a parameter: spread evenly over the panel's reach,
// or, for a reach of positive values spanning a factor of 100 or more (frequencies, Q), evenly
// in ratio, so each step of the controller is the same musical interval. Whole-number
// parameters are rounded.
double controller_value(const PARAM_INFO& param, int value);

// The controller bound to a module's parameter, or -1.
int bound_controller(const GENERATOR& g, const MODULE_REF& m, const PARAM_KEY& key);
// Binds the parameter to the controller, in place of any controller it had.
void bind_controller(GENERATOR& g, const MODULE_REF& m, const PARAM_KEY& key, int controller);
// False when the parameter had no controller.
bool unbind_controller(GENERATOR& g, const MODULE_REF& m, const PARAM_KEY& key);

// Sets every parameter bound to the controller through the door, at the value's place in its
// reach; calls moved(module, key) for each one that took it. Returns how many did.
template <class MOVED> int move_controller(GENERATOR& g, int controller, int value, MOVED moved) {
    DOOR door(g);
    int count = 0;
    for (const MIDI_BINDING& b : g.midi_bindings) {
        if (b.controller != controller) continue;
        const MODULE_REF m{b.kind, b.module};
        const PARAM_KEY key{b.id, b.row, b.index};
        if (!door.set(m, key, controller_value(param_info(b.id), value))) continue;
        moved(m, key);
        ++count;
    }
    return count;
}

// A binding's patch key: "midi_cc_" and the parameter's key in lower case ("midi_cc_hicut",
// "midi_cc_level_02"), its value the controller. The key stays in lower case because the
// reader applies an upper-case key wherever its text appears in a field: no key of any kind
// can match inside it, and a reader that does not know it passes it over as unknown.
constexpr const char* MIDI_CC_KEY = "midi_cc_";
std::string binding_key_text(const PARAM_KEY& key);
// Whether a field's key starts as a binding key does.
bool is_binding_key(const char* key);
// The parameter a binding key names for a kind; false when it names none of the kind's.
bool binding_key_of(MODULE_KIND kind, const char* key, PARAM_KEY& out);
// A controller number as a binding's value: whole digits 0 to 127; -1 otherwise.
int binding_controller_of(const char* value);
