// The seven kinds of sound module in one table: what the patch, the panels, the dashboards and
// the controller call each kind, so no other place needs its own switch over kinds.
#pragma once
#include <cstddef>

struct GENERATOR;

// In the order the panels are laid out, column after column.
enum MODULE_KIND { KIND_KEYBOARD, KIND_VCO, KIND_SAMPLER, KIND_VCA, KIND_SEQUENCER, KIND_PCF, KIND_MIXER, KIND_COUNT };

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
};

extern const MODULE_KIND_INFO module_kinds[KIND_COUNT];

inline const MODULE_KIND_INFO& kind_info(MODULE_KIND kind) {
    return module_kinds[kind];
}

// How many modules of a kind the graph holds.
size_t module_count(const GENERATOR& g, MODULE_KIND kind);
// All sound modules of the graph (the delay stage is not one).
size_t total_modules(const GENERATOR& g);
