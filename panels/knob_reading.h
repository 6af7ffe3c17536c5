// What a knob (or the sequencer's tempo buttons) under the pointer reads: the parameter it
// turns, its value and its unit, for the information dashboard.
#pragma once
#include <cstddef>

#include "engine/module_kind.h"

// Writes "FREQ 440.000 Hz" and the like for a control named `bare` (its name inside its panel)
// on the panel of a module of the kind; false, with out untouched, when the control turns no
// parameter this knows.
bool knob_reading(MODULE_KIND kind, const void* module, const char* bare, char* out, size_t size);
