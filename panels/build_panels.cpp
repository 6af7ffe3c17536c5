// Panel construction for a whole graph.
#include "panels/build_panels.h"

#include "engine/verbose.h"
#include "panels/keyboard_gui.h"
#include "panels/mixer_gui.h"
#include "panels/module_panel.h"
#include "panels/panel_layout.h"
#include "panels/sampler_gui.h"
#include "panels/seq_gui.h"
#include "panels/vca_gui.h"
#include "panels/vcf_gui.h"
#include "panels/vco_gui.h"

#include <cstdio>

namespace {

// The panel class of each kind, built on a module of the kind.
using MAKE_PANEL = MODULE_PANEL* (*)(const char* number, void* module, bool items_now);
template <class PANEL, class MODULE> MODULE_PANEL* make(const char* number, void* module, bool items_now) {
    return new PANEL(number, static_cast<MODULE*>(module), items_now);
}
struct PANEL_MAKER {
    MODULE_KIND kind;
    MAKE_PANEL make;
};
const PANEL_MAKER PANEL_MAKERS[] = {
    {KIND_KEYBOARD, make<KEYBOARD_GUI, KEYBOARD>}, {KIND_VCO, make<VCO_GUI, VCO>},
    {KIND_SAMPLER, make<SAMPLER_GUI, SAMPLER>},    {KIND_VCA, make<VCA_GUI, VCA>},
    {KIND_SEQUENCER, make<SEQ_GUI, SEQUENCER>},    {KIND_PCF, make<VCF_GUI, PCF>},
    {KIND_MIXER, make<MIXER_GUI, MIXER>},
};

void build_kind(const PANEL_MAKER& maker, const GENERATOR& g, int first, std::vector<OBJET*>& panels,
                std::vector<MODULE_KIND>& kinds, std::vector<OBJET*>* also) {
    const MODULE_KIND kind = maker.kind;
    const MODULE_ACCESS& modules = *kind_info(kind).access;
    verbose_printf("%s", kind_info(kind).heading);
    const size_t count = modules.count(g);
    // A panel's items are made when it is first drawn or touched: a big patch opens with the
    // few panels in view made, and the others cost their size and place only.
    const SIDE_SIZES sizes = count > 0 ? kind_side_sizes(kind) : SIDE_SIZES();
    for (size_t n = 0; n < count; ++n) {
        char number[16];
        std::snprintf(number, sizeof number, "%d", first + static_cast<int>(n));
        MODULE_PANEL* panel = maker.make(number, modules.at(g, n), false);
        panel->leave_items_for_later(sizes);
        panels.push_back(panel);
        kinds.push_back(kind);
        if (also) also->push_back(panel);
    }
}

// Panels are built at (0, 0), so that their layout items get no offset, and placed once every
// panel knows its size: where the patch kept them, else by the column rule.
void place_new_panels(const GENERATOR& g, std::vector<OBJET*>& panels, size_t start,
                      const std::vector<MODULE_KIND>& kinds) {
    std::vector<PANEL_RECT> rects(kinds.size());
    for (size_t i = 0; i < kinds.size(); ++i) {
        OBJET& p = *panels[start + i];
        fit_to_background(p);
        rects[i].w = p.w;
        rects[i].h = p.h;
    }
    place_in_columns(kinds, rects);
    for (size_t i = 0; i < kinds.size(); ++i) {
        OBJET& p = *panels[start + i];
        const auto kept = g.panel_places.find(static_cast<MODULE_PANEL&>(p).edited_module);
        if (kept == g.panel_places.end()) {
            p.set_position(rects[i].x, rects[i].y, 0);
            continue;
        }
        p.set_position(kept->second.x, kept->second.y, 0);
        if (kept->second.mode == MODE_FOLDED) p.set_mode(0);
    }
}

} // namespace

void panel_numbers(const size_t counts[KIND_COUNT], int first[KIND_COUNT]) {
    const int k = static_cast<int>(counts[KIND_KEYBOARD]), v = static_cast<int>(counts[KIND_VCO]);
    const int s = static_cast<int>(counts[KIND_SAMPLER]);
    first[KIND_KEYBOARD] = first[KIND_VCO] = first[KIND_SAMPLER] = 0;
    int next = s > 0 ? 2 * s - 1 : v > 0 ? 2 * v - 1 : k;
    for (MODULE_KIND kind : {KIND_VCA, KIND_SEQUENCER, KIND_PCF, KIND_MIXER}) {
        first[kind] = next;
        next += static_cast<int>(counts[kind]);
    }
}

OBJET* build_panel(MODULE_KIND kind, const char* number, void* module) {
    for (const PANEL_MAKER& maker : PANEL_MAKERS)
        if (maker.kind == kind) return maker.make(number, module, true);
    return nullptr;
}

int build_panels(GENERATOR& g, std::vector<OBJET*>& panels, std::vector<OBJET*>& sequencer_panels) {
    verbose_printf("Init Gui From Current()\n");
    size_t counts[KIND_COUNT];
    for (int kind = 0; kind < KIND_COUNT; ++kind)
        counts[kind] = module_count(g, static_cast<MODULE_KIND>(kind));
    int first[KIND_COUNT];
    panel_numbers(counts, first);

    const size_t start = panels.size();
    std::vector<MODULE_KIND> kinds;
    for (const PANEL_MAKER& maker : PANEL_MAKERS)
        build_kind(maker, g, first[maker.kind], panels, kinds,
                   maker.kind == KIND_SEQUENCER ? &sequencer_panels : nullptr);
    place_new_panels(g, panels, start, kinds);
    return 1;
}
