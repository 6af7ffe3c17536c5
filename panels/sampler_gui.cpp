// Sampler panel: no layout and no controls of its own.
#include "panels/sampler_gui.h"

SAMPLER_GUI::SAMPLER_GUI(const char* number, SAMPLER* sampler)
    : MODULE_PANEL(KIND_SAMPLER, number, sampler), module(sampler) {
    load_layouts();
    mark_all(*this, 1);
    update();
}

SAMPLER_GUI::~SAMPLER_GUI() = default;
