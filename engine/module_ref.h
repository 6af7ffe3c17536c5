// One module of the graph named by its kind, whatever its class: what the door, the saver and
// the panels pass around.
#pragma once
#include "generator.h"
#include "module_kinds.h"

// One module with its kind; as<M>() gives it back with the class the kind names. No module:
// a null `module`.
struct MODULE_REF {
    MODULE_KIND kind = KIND_COUNT;
    void* module = nullptr;

    template <class M> M* as() const { return static_cast<M*>(module); }
    bool operator==(const MODULE_REF& o) const { return kind == o.kind && module == o.module; }
    bool operator!=(const MODULE_REF& o) const { return !(*this == o); }
};

// A module of one of the kinds' classes with its kind.
template <class M> MODULE_REF module_ref(M* m) {
    static_assert(kind_of<M> != KIND_COUNT, "a class of the kinds table");
    return {kind_of<M>, m};
}

namespace module_ref_detail {
template <MODULE_KIND K, class F> void if_kind(const MODULE_REF& m, F& f) {
    if (m.kind == K) f(*m.as<kind_class<K>>());
}
template <class F, size_t... K> void with_class(const MODULE_REF& m, F& f, std::index_sequence<K...>) {
    (if_kind<static_cast<MODULE_KIND>(K)>(m, f), ...);
}
} // namespace module_ref_detail

// Calls f with the module as the class of its kind (a KEYBOARD&, a SAMPLER&...); not at all for
// no module.
template <class F> void with_class(const MODULE_REF& m, F&& f) {
    if (m.module != nullptr) module_ref_detail::with_class(m, f, std::make_index_sequence<KIND_COUNT>());
}

// The name links and panels know the module by (a sampler's own, not its oscillator part's);
// "" for no module.
const char* module_name(const MODULE_REF& m);
// The address of the module's output sample, the one audio and modulation ports hold; null
// for no module.
float* module_value(const MODULE_REF& m);
// What the module offers its consumers, and the fields holding its own connections.
MODULE_OUTPUTS module_outputs(const MODULE_REF& m);
MODULE_PORTS module_ports(const MODULE_REF& m);
