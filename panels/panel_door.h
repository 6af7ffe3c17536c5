// How a panel changes its module: every knob, button and display goes through the engine's door.
#pragma once
#include "engine/door.h"

// Sets a parameter of the panel's module; false (and the module unchanged) when the value lies
// outside what the module may hold.
inline bool panel_put(const MODULE_REF& m, PARAM_ID id, double v, int row = 0, int index = 0) {
    return DOOR().set(m, PARAM_KEY{id, row, index}, v);
}
