// How long a module name may be: a module keeps its name in a fixed array, so a longer name is
// refused rather than cut (a cut name could be matched by a link meant for another module).
#pragma once
#include <cstddef>

// The fewest characters kept by the kinds a declared name creates (each kind's name array less
// its end byte); SIZE_MAX when it creates none.
size_t name_capacity_of(const char* name);
