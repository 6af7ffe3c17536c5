// The panel of a sample player: an empty panel that stands for the module.
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
