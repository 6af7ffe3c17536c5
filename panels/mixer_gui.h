// The panel of a mixer: a level knob, a value label and a mute button for each of 21 channels,
// and power.
#pragma once
#include "engine/mixer.h"
#include "panels/module_panel.h"

constexpr int MIXER_PANEL_CHANNELS = 21;
static_assert(MIXER_PANEL_CHANNELS <= MIXER_SLOTS, "every channel of the panel has a mixer slot");

class MIXER_GUI : public MODULE_PANEL {
  public:
    MIXER* module;

    // The items are made now, or at their first use when `items_now` is false.
    MIXER_GUI(const char* number, MIXER* mixer, bool items_now = true);
    ~MIXER_GUI() override;

    int update() override;
    const char* module_name() const override { return module->name; }

  private:
    void add_channel(int n);

  protected:
    void build() override;
};
