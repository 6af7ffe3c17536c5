// The one order in which modules are listed outside the engine: the panel list, the saver's
// walk over the links and the source look-ups all follow it.
#pragma once
#include <vector>

#include "engine/generator.h"
#include "engine/module_kinds.h"
#include "engine/module_ref.h"

// Keyboards, oscillators, samplers, envelopes, sequencers, filters, mixers (the order of the
// kinds table); each kind in the order of its GENERATOR list.
std::vector<MODULE_REF> module_order(const GENERATOR& g);
