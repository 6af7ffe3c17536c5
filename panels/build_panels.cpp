// Panel construction for a whole graph.
#include "panels/build_panels.h"

#include "engine/verbose.h"
#include "panels/keyboard_gui.h"
#include "panels/mixer_gui.h"
#include "panels/sampler_gui.h"
#include "panels/seq_gui.h"
#include "panels/vca_gui.h"
#include "panels/vcf_gui.h"
#include "panels/vco_gui.h"

#include <cstdio>

namespace {

// The panel class of each kind, built on a module of the kind.
using MAKE_PANEL = OBJET* (*)(const char* number, void* module);
template <class PANEL, class MODULE> OBJET* make(const char* number, void* module) {
    return new PANEL(number, static_cast<MODULE*>(module));
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

void build_kind(const PANEL_MAKER& maker, const GENERATOR& g, int first, float column,
                std::vector<OBJET*>& panels, std::vector<OBJET*>* also) {
    const MODULE_KIND kind = maker.kind;
    const MODULE_ACCESS& modules = *kind_info(kind).access;
    verbose_printf("%s", kind_info(kind).heading);
    for (size_t n = 0, count = modules.count(g); n < count; ++n) {
        char number[16];
        std::snprintf(number, sizeof number, "%d", first + static_cast<int>(n));
        OBJET* panel = maker.make(number, modules.at(g, n));
        panel->set_position(column, panel_row_y(kind, n), 0);
        panels.push_back(panel);
        if (also) also->push_back(panel);
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

void panel_columns(const size_t counts[KIND_COUNT], float columns[KIND_COUNT]) {
    float column = 0;
    for (int kind = 0; kind < KIND_COUNT; ++kind) {
        columns[kind] = column;
        const PANEL_COLUMN& r = kind_info(static_cast<MODULE_KIND>(kind)).column;
        if (counts[kind] == 0) continue;
        if (r.absolute)
            column = r.advance;
        else if (r.truncate)
            column = static_cast<float>(static_cast<int>(column + r.advance));
        else
            column += r.advance;
    }
}

float panel_row_y(MODULE_KIND kind, size_t n) {
    const PANEL_COLUMN& r = kind_info(kind).column;
    return 1.5f * (static_cast<float>(n) * r.pitch) + r.top;
}

OBJET* build_panel(MODULE_KIND kind, const char* number, void* module) {
    for (const PANEL_MAKER& maker : PANEL_MAKERS)
        if (maker.kind == kind) return maker.make(number, module);
    return nullptr;
}

int build_panels(GENERATOR& g, std::vector<OBJET*>& panels, std::vector<OBJET*>& sequencer_panels) {
    verbose_printf("Init Gui From Current()\n");
    size_t counts[KIND_COUNT];
    for (int kind = 0; kind < KIND_COUNT; ++kind)
        counts[kind] = module_count(g, static_cast<MODULE_KIND>(kind));
    int first[KIND_COUNT];
    float columns[KIND_COUNT];
    panel_numbers(counts, first);
    panel_columns(counts, columns);

    for (const PANEL_MAKER& maker : PANEL_MAKERS)
        build_kind(maker, g, first[maker.kind], columns[maker.kind], panels,
                   maker.kind == KIND_SEQUENCER ? &sequencer_panels : nullptr);
    return 1;
}
