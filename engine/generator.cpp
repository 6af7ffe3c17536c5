// GENERATOR: ownership of the module lists and the per-sample sweep over them.
#include "generator.h"

GENERATOR* generator = nullptr;

GENERATOR::GENERATOR() {}

namespace {
template <class M> void free_all(std::vector<M*>& list) {
    for (M* m : list)
        delete m;
    list.clear();
}
} // namespace

GENERATOR::~GENERATOR() {
    free_all(sequencers);
    free_all(keyboards);
    free_all(vcos);
    free_all(mixers);
    free_all(samplers);
    free_all(vcas);
    free_all(filters);
    free_all(effects);
}

// Each list holds a single class, so its processing is called directly rather than through the
// virtual table, and the busiest classes' is compiled into the loops. There is no dependency
// sorting: a module hears what was processed before it in this sample and the previous sample
// of everything after it.
void GENERATOR::sweep() {
    ++sweeps;
    for (SEQUENCER* m : sequencers)
        m->SEQUENCER::process();
    for (KEYBOARD* m : keyboards)
        m->KEYBOARD::process();
    for (VCO* m : vcos)
        m->tick();
    for (MIXER* m : mixers)
        m->tick();
    for (SAMPLER* m : samplers)
        m->SAMPLER::process();
    for (VCA* m : vcas)
        m->tick();
    for (PCF* m : filters)
        m->tick();
    for (SFX_DELAY* m : effects)
        m->SFX_DELAY::process();
}

// The cells live in a deque, which never moves an element when another is appended, so a
// slot stays valid for the life of the GENERATOR.
MOD_SLOT GENERATOR::new_mod_cell(float* source) {
    mod_cells.push_back(source);
    return &mod_cells.back();
}

void GENERATOR::release_modules() {
    plan.reset();
    sequencers.clear();
    keyboards.clear();
    vcos.clear();
    mixers.clear();
    samplers.clear();
    vcas.clear();
    filters.clear();
    effects.clear();
}

MIXER* find_master_mixer(GENERATOR* g) {
    return g != nullptr ? find_by_name(g->mixers, "MIXER_4") : nullptr;
}
