// The knobs of the module panels as parameters: which parameter a knob turns, and showing a
// parameter's new value on its knob and label when something other than the knob changed it.
#pragma once
#include "engine/door.h"
#include "panels/module_panel.h"

// The parameter the panel's item turns; false when the item is no knob of a parameter. A
// sequencer's step knob names the cell of the pattern the panel shows.
bool knob_param(const MODULE_PANEL& panel, const SPRITE* item, PARAM_KEY& out);

// Turns the parameter's knob to its value and writes the value in its label, as a drag would;
// nothing when the panel shows no knob of that parameter.
void show_param(MODULE_PANEL& panel, const PARAM_KEY& key);
