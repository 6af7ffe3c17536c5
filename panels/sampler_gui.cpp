// Sampler panel: its name plate; it has no controls of its own.
#include "panels/sampler_gui.h"

SAMPLER_GUI::SAMPLER_GUI(const char* number, SAMPLER* sampler)
    : MODULE_PANEL(KIND_SAMPLER, number, sampler), module(sampler) {
    load_layouts();
    set_label("label_NAME", "%s", module->name);
    mark_all(*this, 1);
    update();
}

SAMPLER_GUI::~SAMPLER_GUI() = default;
