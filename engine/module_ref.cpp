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
    if (m.module == nullptr) return "";
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
    if (m.module == nullptr) return nullptr;
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
