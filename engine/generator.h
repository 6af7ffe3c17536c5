// GENERATOR: the graph container, its eight module lists and the per-sample sweep.
#pragma once
#include <cstring>
#include <deque>
#include <memory>
#include <unordered_map>
#include <vector>

#include "keyboard.h"
#include "midi_binding.h"
#include "mixer.h"
#include "panel_place.h"
#include "pcf.h"
#include "sampler.h"
#include "sequencer.h"
#include "sfx_delay.h"
#include "vca.h"
#include "vco.h"

struct BLOCK_PLAN;
// Frees a plan; defined with the plan.
struct PLAN_DELETER {
    void operator()(BLOCK_PLAN* plan) const;
};

struct GENERATOR : OUTPUT {
    GENERATOR();
    ~GENERATOR(); // frees every module still in the lists and every modulation cell
    GENERATOR(const GENERATOR&) = delete;
    GENERATOR& operator=(const GENERATOR&) = delete;

    int process() override {
        value = 0.0f;
        return 1;
    }

    // One frame: every module of every list, lists in sweep order, each list front to back.
    void sweep();

    // New modules go to the front of their list, so a list runs in reverse creation order.
    template <class M> static void push_front(std::vector<M*>& list, M* m) { list.insert(list.begin(), m); }

    // A new modulation cell holding the address of a source's value; it lives as long as the
    // GENERATOR (a replaced connection abandons its cell).
    MOD_SLOT new_mod_cell(float* source);

    // Empties the lists without freeing the modules (their owner is then the caller).
    void release_modules();

    // Builds the sub-block plan again from the lists and links; called after links change, with
    // the callback held when the graph is live. Until then blocks run frame by frame. (Defined
    // with the plan, which the graph only holds.)
    void replan();
    // The plan the callback runs, or null; written only while no block of this graph renders.
    std::unique_ptr<BLOCK_PLAN, PLAN_DELETER> plan;
    // Frames swept one at a time, so a plan knows when the fields moved without it.
    uint64_t sweeps = 0;

    char patch_path[880] = "";
    std::vector<SEQUENCER*> sequencers;
    std::vector<KEYBOARD*> keyboards;
    std::vector<VCO*> vcos;
    std::vector<MIXER*> mixers;
    std::vector<SAMPLER*> samplers;
    std::vector<VCA*> vcas;
    std::vector<PCF*> filters;
    std::vector<SFX_DELAY*> effects;
    // Controllers bound to knobs, saved with the patch; read and written by the main thread.
    std::vector<MIDI_BINDING> midi_bindings;
    // Where each module's panel stood when the patch was read or last saved; a module without
    // an entry gets the start-up place. Only the window's thread uses it, never the audio.
    std::unordered_map<const void*, PANEL_PLACE> panel_places;

  private:
    std::deque<float*> mod_cells;
};

// The one graph the audio callback renders.
extern GENERATOR* generator;

// First module of a list whose name equals name exactly; null when none.
template <class M> M* find_by_name(const std::vector<M*>& list, const char* name) {
    for (M* m : list)
        if (std::strcmp(m->name, name) == 0) return m;
    return nullptr;
}
MIXER* find_master_mixer(GENERATOR* g); // the first "MIXER_4" of the mixers list
