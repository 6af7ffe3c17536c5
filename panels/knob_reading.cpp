// Knob readings with units: one row per control, the value read from the module it turns.
#include "panels/knob_reading.h"

#include "engine/modules.h"
#include "panels/module_panel.h"
#include "panels/panel_steps.h"

#include <cstdio>
#include <cstring>

namespace {

struct READING {
    MODULE_KIND kind;
    const char* control; // the control's name inside its panel, or its start for numbered ones
    bool numbered;       // a step or channel number follows the control's name
    const char* format;  // the parameter, "%s" for the value, the unit
    double (*value)(const void* module, int index);
};

template <class M> const M& as(const void* m) {
    return *static_cast<const M*>(m);
}

// Step and channel numbers count from 1; the sequencer's steps read the playing pattern.
const READING READINGS[] = {
    {KIND_VCO, "SLD_FREQUENCE", false, "FREQ %.3f Hz", [](const void* m, int) { return double(as<VCO>(m).FREQ); }},
    {KIND_VCO, "SLD_VOLUME", false, "LEVEL %.3f", [](const void* m, int) { return double(as<VCO>(m).AMOUNT); }},
    {KIND_VCO, "SLD_PHASE", false, "PHASE %.0f deg", [](const void* m, int) { return double(as<VCO>(m).PHASE); }},
    {KIND_VCO, "SLD_PWM", false, "PWM %.3f", [](const void* m, int) { return double(as<VCO>(m).PWM); }},
    {KIND_VCA, "SLD_ATTACK", false, "ATTACK %.1f ms", [](const void* m, int) { return double(as<VCA>(m).ATTACK); }},
    {KIND_VCA, "SLD_DECAY", false, "DECAY %.1f ms", [](const void* m, int) { return double(as<VCA>(m).DECAY); }},
    {KIND_VCA, "SLD_SUSTAIN", false, "SUSTAIN %.2f", [](const void* m, int) { return double(as<VCA>(m).SUSTAIN); }},
    {KIND_VCA, "SLD_RELEASE", false, "RELEASE %.1f ms", [](const void* m, int) { return double(as<VCA>(m).RELEASE); }},
    {KIND_PCF, "SLD_HICUTOFF", false, "CUTOFF %.0f Hz", [](const void* m, int) { return double(as<PCF>(m).HICUT); }},
    {KIND_PCF, "SLD_GAIN", false, "GAIN %.1f dB", [](const void* m, int) { return double(as<PCF>(m).GAIN); }},
    {KIND_PCF, "SLD_QRATIO", false, "Q %.1f", [](const void* m, int) { return double(as<PCF>(m).Q); }},
    {KIND_PCF, "SLD_LEVEL", false, "LEVEL %.2f", [](const void* m, int) { return double(as<PCF>(m).AMOUNT); }},
    {KIND_SEQUENCER, "BUTTON_DIVIDER_", false, "TEMPO %.3f steps per second",
     [](const void* m, int) { return double(shared_load(as<SEQUENCER>(m).DIVIDER)); }},
    {KIND_SEQUENCER, "SLD_VOL_", true, "VOLUME %.1f",
     [](const void* m, int i) { return double(as<SEQUENCER>(m).step_volume[seq_row(shared_load(as<SEQUENCER>(m).pattern))][i]); }},
    {KIND_SEQUENCER, "SLD_LENGHT_", true, "LENGTH %.3f steps",
     [](const void* m, int i) { return double(as<SEQUENCER>(m).step_length[seq_row(shared_load(as<SEQUENCER>(m).pattern))][i]); }},
    {KIND_MIXER, "SLD_CANAL_", true, "LEVEL %.2f", [](const void* m, int i) { return double(as<MIXER>(m).level[i]); }},
};

} // namespace

bool knob_reading(MODULE_KIND kind, const void* module, const char* bare, char* out, size_t size) {
    if (module == nullptr || bare == nullptr) return false;
    for (const READING& r : READINGS) {
        if (r.kind != kind) continue;
        int index = 0;
        if (r.numbered) {
            const int n = numbered_name(bare, r.control, "");
            const int count = kind == KIND_MIXER ? MIXER_SLOTS : SEQ_COLS;
            if (n < 1 || n > count) continue;
            index = n - 1;
        } else if (std::strncmp(bare, r.control, std::strlen(r.control)) != 0) {
            continue;
        }
        std::snprintf(out, size, r.format, r.value(module, index));
        return true;
    }
    return false;
}
