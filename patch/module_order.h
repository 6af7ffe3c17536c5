// The one order in which modules are listed outside the engine: the panel list, the saver's
// walk over the links and the source look-ups all follow it.
#pragma once
#include <vector>

#include "engine/generator.h"
#include "engine/module_kinds.h"

// One module with its kind; as<M>() gives it back with the class the kind names.
struct MODULE_REF {
    MODULE_KIND kind;
    void* module;

    template <class M> M* as() const { return static_cast<M*>(module); }
};

MODULE_REF module_ref(KEYBOARD* m);
MODULE_REF module_ref(VCO* m);
MODULE_REF module_ref(SAMPLER* m);
MODULE_REF module_ref(VCA* m);
MODULE_REF module_ref(SEQUENCER* m);
MODULE_REF module_ref(PCF* m);
MODULE_REF module_ref(MIXER* m);

// Keyboards, oscillators, samplers, envelopes, sequencers, filters, mixers (the order of the
// kinds table); each kind in the order of its GENERATOR list.
std::vector<MODULE_REF> module_order(const GENERATOR& g);

// The name links and panels know the module by (a sampler's own, not its oscillator part's).
const char* module_name(const MODULE_REF& m);
// The address of the module's output sample, the one audio and modulation ports hold.
float* module_value(const MODULE_REF& m);
// What the module offers its consumers, and the fields holding its own connections.
MODULE_OUTPUTS module_outputs(const MODULE_REF& m);
MODULE_PORTS module_ports(const MODULE_REF& m);
