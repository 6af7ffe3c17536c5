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

std::vector<MODULE_REF> module_order(const GENERATOR& g) {
    std::vector<MODULE_REF> out;
    out.reserve(total_modules(g));
    for (int k = 0; k < KIND_COUNT; ++k) {
        const MODULE_KIND kind = static_cast<MODULE_KIND>(k);
        const MODULE_ACCESS& a = *kind_info(kind).access;
        for (size_t i = 0, n = a.count(g); i < n; ++i)
            out.push_back({kind, a.at(g, i)});
    }
    return out;
}

const char* module_name(const MODULE_REF& m) {
    return kind_info(m.kind).access->name(m.module);
}

float* module_value(const MODULE_REF& m) {
    return kind_info(m.kind).access->outputs(m.module).value;
}

MODULE_OUTPUTS module_outputs(const MODULE_REF& m) {
    return kind_info(m.kind).access->outputs(m.module);
}

MODULE_PORTS module_ports(const MODULE_REF& m) {
    return kind_info(m.kind).access->ports(m.module);
}
