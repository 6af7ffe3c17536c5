// The table of module kinds.
#include "engine/module_kinds.h"

#include "engine/generator.h"

const MODULE_KIND_INFO module_kinds[KIND_COUNT] = {
    {KIND_KEYBOARD, "KEY", "KEYBOARD", "keyboards", "KEYBOARD", "RC/KEYBOARD.RC", "RC/BACK_KEYBOARD.RC", "KEY_%s",
     "Keyboards\n"},
    {KIND_VCO, "VCO", "VCO", "vcos", "VCO", "RC/VCO.RC", "RC/BACK_VCO.RC", "VCO_%s", "Vcos\n"},
    {KIND_SAMPLER, "SAMPLER", "SAMPLER", "samplers", "SAMPLER", nullptr, nullptr, nullptr, "Samplers\n"},
    {KIND_VCA, "VCA", "VCA", "vcas", "VCA", "RC/VCA.RC", "RC/BACK_VCA.RC", "VCA_%s", "Vcas\n"},
    {KIND_SEQUENCER, "SEQUENCER", "SEQUENCER", "sequencers", "SEQUENCEUR", "RC/SEQUENCEUR.RC",
     "RC/BACK_SEQUENCEUR.RC", "SEQUEN_%s", "Sequencers\n"},
    {KIND_PCF, "PCF", "PCF", "filters", "VCF", "RC/VCF.RC", "RC/BACK_VCF.RC", "VCF_%s", "Pcfs\n"},
    {KIND_MIXER, "MIXER", "MIXER", "mixers", "MIXER", "RC/MIXER.RC", "RC/BACK_MIXER.RC", "MIXER_%s", "Mixers\n"},
};

size_t module_count(const GENERATOR& g, MODULE_KIND kind) {
    switch (kind) {
    case KIND_KEYBOARD:
        return g.keyboards.size();
    case KIND_VCO:
        return g.vcos.size();
    case KIND_SAMPLER:
        return g.samplers.size();
    case KIND_VCA:
        return g.vcas.size();
    case KIND_SEQUENCER:
        return g.sequencers.size();
    case KIND_PCF:
        return g.filters.size();
    case KIND_MIXER:
        return g.mixers.size();
    case KIND_COUNT:
        break;
    }
    return 0;
}

size_t total_modules(const GENERATOR& g) {
    size_t n = 0;
    for (int k = 0; k < KIND_COUNT; ++k) n += module_count(g, static_cast<MODULE_KIND>(k));
    return n;
}
