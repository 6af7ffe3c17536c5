// The panel of an oscillator: frequency, amount, phase and pulse width knobs, waveform
// display and power.
#pragma once
#include "engine/vco.h"
#include "panels/module_panel.h"

class VCO_GUI : public MODULE_PANEL {
  public:
    VCO* module;

    // The items are made now, or at their first use when `items_now` is false.
    VCO_GUI(const char* number, VCO* oscillator, bool items_now = true);
    ~VCO_GUI() override;

    int update() override;
    const char* module_name() const override { return module->name; }

  protected:
    void build() override;
};
