// The panel of an oscillator: frequency, amount, phase and pulse width knobs, waveform
// display and power.
#pragma once
#include "engine/vco.h"
#include "panels/module_panel.h"

class VCO_GUI : public MODULE_PANEL {
  public:
    VCO* module;

    VCO_GUI(const char* number, VCO* oscillator);
    ~VCO_GUI() override;

    int update() override;
    const char* module_name() const override { return module->name; }
};
