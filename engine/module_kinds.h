// The seven kinds of sound module in one table: what the patch, the panels, the dashboards and
// the controller call each kind, its keys and ports, and how its modules are reached in the
// graph, so no other place needs its own switch over kinds. A new kind is one row here.
#pragma once
#include <cstddef>
#include <cstdint>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "engine/module_kind.h"
#include "engine/ports.h"

struct GENERATOR;
struct KEYBOARD;
struct VCO;
struct SAMPLER;
struct VCA;
struct SEQUENCER;
struct PCF;
struct MIXER;
struct OBJECT_KEY;
struct PORT_RULE;
struct OBJECT_KEYS;
struct PORT_RULES;

// The class of each kind's modules, in the order of MODULE_KIND.
using KIND_CLASSES = std::tuple<KEYBOARD, VCO, SAMPLER, VCA, SEQUENCER, PCF, MIXER>;
static_assert(std::tuple_size<KIND_CLASSES>::value == KIND_COUNT, "one class per kind");

template <MODULE_KIND K> using kind_class = std::tuple_element_t<K, KIND_CLASSES>;

namespace module_kinds_detail {
template <class M, size_t... K> constexpr MODULE_KIND kind_of(std::index_sequence<K...>) {
    constexpr bool same[] = {std::is_same<M, kind_class<static_cast<MODULE_KIND>(K)>>::value...};
    for (size_t k = 0; k < sizeof same; ++k)
        if (same[k]) return static_cast<MODULE_KIND>(k);
    return KIND_COUNT;
}
} // namespace module_kinds_detail

// The kind whose modules are of class M exactly (a sampler is a SAMPLER, not a VCO); KIND_COUNT
// for any other class.
template <class M>
constexpr MODULE_KIND kind_of = module_kinds_detail::kind_of<M>(std::make_index_sequence<KIND_COUNT>());


// What a module offers its consumers: every module its output sample, note sources (keyboards
// and sequencers) a gate and a sync pulse as well; null where the kind has none.
struct MODULE_OUTPUTS {
    float* value = nullptr;
    int32_t* gate = nullptr;
    int32_t* sync = nullptr;
};

// The fields of a module that hold its connections, as a link sets them; null where the kind
// has no such port. A mixer's channels are reached through the mixer.
struct MODULE_PORTS {
    float** input = nullptr;
    int32_t** gate_in = nullptr;
    int32_t** sync_in = nullptr;
    MOD_SLOT* mod_freq = nullptr;
    MOD_SLOT* mod_phase = nullptr;
    MOD_SLOT* mod_amp = nullptr;
    MOD_SLOT* mod_pwm = nullptr;
    MIXER* mixer = nullptr;
};

// How the modules of a kind are reached without knowing their class: a module is handed round
// as a pointer to its own class, which only these functions convert back.
struct MODULE_ACCESS {
    size_t (*count)(const GENERATOR& g);
    void* (*at)(const GENERATOR& g, size_t index); // the module at index of the kind's list
    const char* (*name)(const void* module);
    size_t name_capacity; // bytes of the name array, the end byte included
    MODULE_OUTPUTS (*outputs)(void* module);
    MODULE_PORTS (*ports)(void* module);
    // A new module carrying the name, cut to its array; it belongs to the caller until joined.
    void* (*create)(const char* name);
    // Puts modules, given in the order they were read, in front of the kind's list, the last
    // read first, as each new module goes to the front.
    void (*join)(GENERATOR& g, const std::vector<void*>& read);
};

struct MODULE_KIND_INFO {
    MODULE_KIND kind;
    const char* keyword;      // the text a declared name contains to create this kind ("KEY" for keyboards)
    const char* patch_word;   // the kind's word in the patch grammar and in messages ("KEYBOARD")
    const char* list_name;    // the GENERATOR list holding the kind
    const char* class_word;   // shown by the information dashboard ("SEQUENCEUR", "VCF")
    const char* front_layout; // panel layout files; null for a kind whose panel stays empty
    const char* back_layout;
    const char* image_format; // the panel's image name, formatted with its panel number
    const char* heading;      // the line printed before the kind's panels are built
    float panel_top;          // the height in pixels where the kind's column of panels starts
    // The input jacks on the panel's back side that the cable editor wires, in the order its
    // cables are built; a mixer's channel jacks "INPUT_1" to "INPUT_12" are numbered instead.
    const char* const* jacks;
    int jack_count;
    const OBJECT_KEY* keys;   // the keys a declaration sets, in the order they are tested
    int key_count;
    const PORT_RULE* ports;   // the ports a link sets, in the order they are tested
    int port_count;
    // Whether an empty parameter field ends the process (the historic readers of sequencers,
    // samplers, oscillators and envelopes stop there; the others skip it).
    bool empty_field_stops;
    const MODULE_ACCESS* access;
};

extern const MODULE_KIND_INFO module_kinds[KIND_COUNT];

inline const MODULE_KIND_INFO& kind_info(MODULE_KIND kind) {
    return module_kinds[kind];
}

// How many modules of a kind the graph holds.
size_t module_count(const GENERATOR& g, MODULE_KIND kind);
// All sound modules of the graph (the delay stage is not one).
size_t total_modules(const GENERATOR& g);

// The keys a kind reads, in the order they are tested (its row of the table).
OBJECT_KEYS kind_keys(MODULE_KIND kind);
// The ports of a kind as a link target, in the order they are tested (none for keyboards).
PORT_RULES kind_ports(MODULE_KIND kind);
