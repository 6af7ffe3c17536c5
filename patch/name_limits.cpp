// Name capacities of the kinds a declared name creates, read off the kinds table.
#include "name_limits.h"

#include <cstdint>

#include "engine/module_kinds.h"
#include "patch_keys.h"

size_t name_capacity_of(const char* name) {
    MODULE_KIND kinds[4];
    const int n = created_kinds_of(name, kinds);
    size_t fewest = SIZE_MAX;
    for (int i = 0; i < n; ++i) {
        const size_t kept = kind_info(kinds[i]).access->name_capacity - 1;
        if (kept < fewest) fewest = kept;
    }
    return fewest;
}
