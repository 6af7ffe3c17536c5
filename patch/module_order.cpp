// The listing order of modules shared by the panels and the patch saver.
#include "module_order.h"

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
