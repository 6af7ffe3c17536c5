// The panel of a filter: cut-off, Q, gain and level knobs, shape display, power and bypass.
#pragma once
#include "engine/pcf.h"
#include "panels/module_panel.h"

class VCF_GUI : public MODULE_PANEL {
  public:
    PCF* module;

    VCF_GUI(const char* number, PCF* filter);
    ~VCF_GUI() override;

    int update() override;
    const char* module_name() const override { return module->name; }

  private:
    void show_type();
};
