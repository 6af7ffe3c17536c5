// Name capacities of the module kinds, read off the modules' own arrays.
#include "name_limits.h"

#include <cstdint>

#include "engine/modules.h"
#include "patch_keys.h"

size_t name_capacity(MODULE_KIND kind) {
    switch (kind) {
    case KIND_KEYBOARD:
        return sizeof(KEYBOARD::name) - 1;
    case KIND_VCO:
        return sizeof(VCO::name) - 1;
    case KIND_SAMPLER:
        return sizeof(SAMPLER::name) - 1;
    case KIND_VCA:
        return sizeof(VCA::name) - 1;
    case KIND_SEQUENCER:
        return sizeof(SEQUENCER::name) - 1;
    case KIND_PCF:
        return sizeof(PCF::name) - 1;
    case KIND_MIXER:
        return sizeof(MIXER::name) - 1;
    case KIND_COUNT:
        break;
    }
    return 0;
}

size_t name_capacity_of(const char* name) {
    MODULE_KIND kinds[4];
    const int n = created_kinds_of(name, kinds);
    size_t fewest = SIZE_MAX;
    for (int i = 0; i < n; ++i)
        if (name_capacity(kinds[i]) < fewest) fewest = name_capacity(kinds[i]);
    return fewest;
}
