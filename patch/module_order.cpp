// The listing order of modules shared by the panels and the patch saver.
#include "module_order.h"

MODULE_REF module_ref(KEYBOARD* m) {
    return {KIND_KEYBOARD, m};
}
MODULE_REF module_ref(VCO* m) {
    return {KIND_VCO, m};
}
MODULE_REF module_ref(SAMPLER* m) {
    return {KIND_SAMPLER, m};
}
MODULE_REF module_ref(VCA* m) {
    return {KIND_VCA, m};
}
MODULE_REF module_ref(SEQUENCER* m) {
    return {KIND_SEQUENCER, m};
}
MODULE_REF module_ref(PCF* m) {
    return {KIND_PCF, m};
}
MODULE_REF module_ref(MIXER* m) {
    return {KIND_MIXER, m};
}

namespace {

template <class M> void append(std::vector<MODULE_REF>& out, const std::vector<M*>& list) {
    for (M* m : list)
        out.push_back(module_ref(m));
}

} // namespace

std::vector<MODULE_REF> module_order(const GENERATOR& g) {
    std::vector<MODULE_REF> out;
    out.reserve(g.keyboards.size() + g.vcos.size() + g.samplers.size() + g.vcas.size() + g.sequencers.size() +
                g.filters.size() + g.mixers.size());
    append(out, g.keyboards);
    append(out, g.vcos);
    append(out, g.samplers);
    append(out, g.vcas);
    append(out, g.sequencers);
    append(out, g.filters);
    append(out, g.mixers);
    return out;
}

const char* module_name(const MODULE_REF& m) {
    switch (m.kind) {
    case KIND_KEYBOARD:
        return m.as<KEYBOARD>()->name;
    case KIND_VCO:
        return m.as<VCO>()->name;
    case KIND_SAMPLER:
        return m.as<SAMPLER>()->name;
    case KIND_VCA:
        return m.as<VCA>()->name;
    case KIND_SEQUENCER:
        return m.as<SEQUENCER>()->name;
    case KIND_PCF:
        return m.as<PCF>()->name;
    case KIND_MIXER:
        return m.as<MIXER>()->name;
    case KIND_COUNT:
        break;
    }
    return "";
}

float* module_value(const MODULE_REF& m) {
    switch (m.kind) {
    case KIND_KEYBOARD:
        return &m.as<KEYBOARD>()->value;
    case KIND_VCO:
        return &m.as<VCO>()->value;
    case KIND_SAMPLER:
        return &m.as<SAMPLER>()->value;
    case KIND_VCA:
        return &m.as<VCA>()->value;
    case KIND_SEQUENCER:
        return &m.as<SEQUENCER>()->value;
    case KIND_PCF:
        return &m.as<PCF>()->value;
    case KIND_MIXER:
        return &m.as<MIXER>()->value;
    case KIND_COUNT:
        break;
    }
    return nullptr;
}
