// Building one panel per module of a graph: numbering, placement, and the panels set from
// their modules.
#pragma once
#include "engine/generator.h"
#include "engine/module_kinds.h"
#include "toolkit/objet.h"

#include <cstddef>
#include <vector>

// The number of the first panel of each kind, given how many modules each kind has; the n-th
// panel of a kind (from 0) is numbered first + n. Numbers repeat across kinds (the first
// keyboard, oscillator and sampler are all 0); lookups stay inside one panel.
void panel_numbers(const size_t counts[KIND_COUNT], int first[KIND_COUNT]);

// Prints "Init Gui From Current()" and the heading of each kind, builds the panels of every
// module of g, places them in columns where none overlaps another and appends them to
// `panels` (sequencer panels also to `sequencer_panels`). The caller owns the panels. Returns 1.
int build_panels(GENERATOR& g, std::vector<OBJET*>& panels, std::vector<OBJET*>& sequencer_panels);

// A panel of the module's kind set from the module, numbered `number`, at (0, 0); null for a
// kind without panels. Used to show a module again after a change the panel did not make.
OBJET* build_panel(MODULE_KIND kind, const char* number, void* module);
