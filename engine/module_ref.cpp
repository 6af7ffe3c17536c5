// Module references: the kind of a module and the class it names.
#include "module_ref.h"

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

const char* module_name(const MODULE_REF& m) {
    return m.module != nullptr ? kind_info(m.kind).access->name(m.module) : "";
}

float* module_value(const MODULE_REF& m) {
    return module_outputs(m).value;
}

MODULE_OUTPUTS module_outputs(const MODULE_REF& m) {
    return m.module != nullptr ? kind_info(m.kind).access->outputs(m.module) : MODULE_OUTPUTS{};
}

MODULE_PORTS module_ports(const MODULE_REF& m) {
    return m.module != nullptr ? kind_info(m.kind).access->ports(m.module) : MODULE_PORTS{};
}
