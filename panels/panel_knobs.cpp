// The knobs of the module panels as parameters, and their display after an outside change.
#include "panels/panel_knobs.h"

#include <cstdio>
#include <cstring>

#include "engine/sequencer.h"
#include "panels/panel_steps.h"
#include "panels/seq_gui.h"

namespace {

// A knob named "SLD_<word>" (numbered "SLD_<word><n>" for channels and steps, from 1), its
// parameter and the label showing it ("%d" in the label's name stands for n).
struct KNOB {
    MODULE_KIND kind;
    const char* knob;
    bool numbered;
    PARAM_ID id;
    const char* label;
    const char* format;
};

const KNOB KNOBS[] = {
    {KIND_VCO, "SLD_FREQUENCE", false, P_VCO_FREQ, "LABEL_FREQUENCE", "%5.3f"},
    {KIND_VCO, "SLD_VOLUME", false, P_VCO_AMOUNT, "LABEL_VOLUME", "%5.3f"},
    {KIND_VCO, "SLD_PHASE", false, P_VCO_PHASE, "LABEL_PHASE", "%3.0f"},
    {KIND_VCO, "SLD_PWM", false, P_VCO_PWM, "LABEL_PWM", "%5.3f"},
    {KIND_PCF, "SLD_HICUTOFF", false, P_PCF_HICUT, "LABEL_HICUTOFF", "%4.0f"},
    {KIND_PCF, "SLD_QRATIO", false, P_PCF_Q, "LABEL_QRATIO", "%2.1f"},
    {KIND_PCF, "SLD_GAIN", false, P_PCF_GAIN, "LABEL_GAIN", "%2.1f"},
    {KIND_PCF, "SLD_LEVEL", false, P_PCF_AMOUNT, "LABEL_LEVEL", "%2.1f"},
    {KIND_VCA, "SLD_ATTACK", false, P_VCA_ATTACK, "LABEL_ATTACK", "%4.1f"},
    {KIND_VCA, "SLD_DECAY", false, P_VCA_DECAY, "LABEL_DECAY", "%4.1f"},
    {KIND_VCA, "SLD_SUSTAIN", false, P_VCA_SUSTAIN, "LABEL_SUSTAIN", "%2.2f"},
    {KIND_VCA, "SLD_RELEASE", false, P_VCA_RELEASE, "LABEL_RELEASE", "%4.1f"},
    {KIND_MIXER, "SLD_CANAL_", true, P_MIX_LEVEL, "LABEL_CANAL_%d", "%2.1f"},
    {KIND_SEQUENCER, "SLD_VOL_", true, P_SEQ_VOLUME, "LABEL_TXT_%d_VOL", "%2.1f"},
    {KIND_SEQUENCER, "SLD_LENGHT_", true, P_SEQ_LENGHT, "LABEL_TXT_%d_LENGHT", "%2.1f"},
};

// The sequencer's pattern row the panel shows, 0 for other kinds.
int shown_row(const MODULE_PANEL& panel) {
    if (panel.kind != KIND_SEQUENCER) return 0;
    return seq_row(shared_load(static_cast<const SEQUENCER*>(panel.edited_module)->pattern));
}

} // namespace

bool knob_param(const MODULE_PANEL& panel, const SPRITE* item, PARAM_KEY& out) {
    if (item == nullptr || dynamic_cast<const SLIDER*>(item) == nullptr) return false;
    const char* bare = skip_prefix(item->name);
    for (const KNOB& k : KNOBS) {
        if (k.kind != panel.kind) continue;
        if (!k.numbered) {
            if (std::strcmp(bare, k.knob) != 0) continue;
            out = PARAM_KEY{k.id, 0, 0};
            return true;
        }
        const int n = numbered_name(bare, k.knob, "");
        if (n < 1) continue;
        // Channel knob n is the mixer's slot n - 1; step knob n the shown pattern's column n - 1.
        out = PARAM_KEY{k.id, k.kind == KIND_SEQUENCER ? shown_row(panel) : 0, n - 1};
        return true;
    }
    return false;
}

void show_param(MODULE_PANEL& panel, const PARAM_KEY& key) {
    double value = 0;
    const MODULE_REF m{panel.kind, panel.edited_module};
    if (!DOOR().get(m, key, value)) return;
    for (const KNOB& k : KNOBS) {
        if (k.kind != panel.kind || k.id != key.id) continue;
        if (k.kind == KIND_SEQUENCER && key.row != shown_row(panel)) return;
        const int n = key.index + 1;
        char knob[ITEM_NAME_SIZE], label[ITEM_NAME_SIZE];
        std::snprintf(knob, sizeof knob, k.numbered ? "%s%d" : "%s", k.knob, n);
        std::snprintf(label, sizeof label, k.label, n);
        if (SPRITE* s = find(panel, knob)) {
            if (auto* slider = dynamic_cast<SLIDER*>(s)) {
                slider->angle = k.kind == KIND_MIXER ? mixer_angle_of_level(static_cast<float>(value))
                                                     : knob_angle(static_cast<float>(value));
                slider->dirty = 1;
            }
        }
        panel.set_label(label, k.format, value);
        return;
    }
}
