// The panel of a sample player: a name plate that stands for the module, with its output jack
// on the back.
#pragma once
#include "engine/sampler.h"
#include "panels/module_panel.h"

class SAMPLER_GUI : public MODULE_PANEL {
  public:
    SAMPLER* module;

    SAMPLER_GUI(const char* number, SAMPLER* sampler);
    ~SAMPLER_GUI() override;

    const char* module_name() const override { return module->name; }
};
