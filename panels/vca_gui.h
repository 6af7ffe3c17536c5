// The panel of an envelope: attack, decay, sustain and release knobs and power.
#pragma once
#include "engine/vca.h"
#include "panels/module_panel.h"

class VCA_GUI : public MODULE_PANEL {
  public:
    VCA* module;

    // The items are made now, or at their first use when `items_now` is false.
    VCA_GUI(const char* number, VCA* envelope, bool items_now = true);
    ~VCA_GUI() override;

    int update() override;
    const char* module_name() const override { return module->name; }

  protected:
    void build() override;

  private:
    // SUSTAIN as the panel found it, shown in its label until the knob turns.
    const float patch_sustain;
};
