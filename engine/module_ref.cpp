// Module references: the kind of a module and the class it names.
#include "module_ref.h"

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
