// The listing order of modules shared by the panels and the patch saver.
#include "module_order.h"

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
