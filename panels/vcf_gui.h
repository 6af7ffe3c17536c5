// The panel of a filter: cut-off, Q, gain and level knobs, shape display, power and bypass.
#pragma once
#include "engine/pcf.h"
#include "panels/module_panel.h"

class VCF_GUI : public MODULE_PANEL {
  public:
    PCF* module;

    // The items are made now, or at their first use when `items_now` is false.
    VCF_GUI(const char* number, PCF* filter, bool items_now = true);
    ~VCF_GUI() override;

    int update() override;
    const char* module_name() const override { return module->name; }

  private:
    void show_type();

  protected:
    void build() override;
};
