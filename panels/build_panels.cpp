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

struct COLUMN_RULE {
    float pitch, top;
    // How the column moves on after a kind that has panels.
    float advance;
    bool absolute; // the column is set to `advance` rather than moved by it
    bool truncate; // the moved column is cut to a whole pixel
};

constexpr COLUMN_RULE column_rules[KIND_COUNT] = {
    {64, 50, 120, true, false},     // keyboards
    {95, 25, 210, false, false},    // oscillators
    {50, 25, 0, false, false},      // samplers
    {56, 50, 270, false, false},    // envelopes
    {156, 50, 202.5f, false, true}, // sequencers
    {64, 50, 195, false, false},    // filters
    {166, 50, 0, false, false},     // mixers
};

template <class PANEL, class MODULE>
void build_kind(MODULE_KIND kind, const std::vector<MODULE*>& modules, int first, float column,
                std::vector<OBJET*>& panels, std::vector<OBJET*>* also) {
    verbose_printf("%s", kind_info(kind).heading);
    for (size_t n = 0; n < modules.size(); ++n) {
        char number[16];
        std::snprintf(number, sizeof number, "%d", first + static_cast<int>(n));
        auto* panel = new PANEL(number, modules[n]);
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
        const COLUMN_RULE& r = column_rules[kind];
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
    const COLUMN_RULE& r = column_rules[kind];
    return 1.5f * (static_cast<float>(n) * r.pitch) + r.top;
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

    build_kind<KEYBOARD_GUI>(KIND_KEYBOARD, g.keyboards, first[KIND_KEYBOARD], columns[KIND_KEYBOARD], panels,
                             nullptr);
    build_kind<VCO_GUI>(KIND_VCO, g.vcos, first[KIND_VCO], columns[KIND_VCO], panels, nullptr);
    build_kind<SAMPLER_GUI>(KIND_SAMPLER, g.samplers, first[KIND_SAMPLER], columns[KIND_SAMPLER], panels,
                            nullptr);
    build_kind<VCA_GUI>(KIND_VCA, g.vcas, first[KIND_VCA], columns[KIND_VCA], panels, nullptr);
    build_kind<SEQ_GUI>(KIND_SEQUENCER, g.sequencers, first[KIND_SEQUENCER], columns[KIND_SEQUENCER], panels,
                        &sequencer_panels);
    build_kind<VCF_GUI>(KIND_PCF, g.filters, first[KIND_PCF], columns[KIND_PCF], panels, nullptr);
    build_kind<MIXER_GUI>(KIND_MIXER, g.mixers, first[KIND_MIXER], columns[KIND_MIXER], panels, nullptr);
    return 1;
}
