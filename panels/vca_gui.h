// The panel of an envelope: attack, decay, sustain and release knobs and power.
#pragma once
#include "engine/vca.h"
#include "panels/module_panel.h"

class VCA_GUI : public MODULE_PANEL {
  public:
    VCA* module;

    VCA_GUI(const char* number, VCA* envelope);
    ~VCA_GUI() override;

    int update() override;
    const char* module_name() const override { return module->name; }
};
