// How long a module name may be: a module keeps its name in a fixed array, so a longer name is
// refused rather than cut (a cut name could be matched by a link meant for another module).
#pragma once
#include <cstddef>

#include "engine/module_kinds.h"

// The characters a module of the kind keeps of its name (its array less the terminator).
size_t name_capacity(MODULE_KIND kind);

// The fewest characters kept by the kinds a declared name creates; SIZE_MAX when it creates
// none.
size_t name_capacity_of(const char* name);
