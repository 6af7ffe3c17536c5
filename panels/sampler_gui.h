// The panel of a sample player: a name plate that stands for the module, the sample's file name
// and a lamp lit while it plays, with its output jack on the back.
#pragma once
#include "engine/sampler.h"
#include "panels/module_panel.h"

// The ink of the file name on the sample screen: the screen's trace green.
constexpr int SAMPLE_FILE_INK = 0x7CF0A0;
// Top-left corner of the play lamp, in panel pixels.
constexpr int SAMPLER_LAMP_X = 156, SAMPLER_LAMP_Y = 27;

// The last part of a sample's path, or "(no sample)" for an empty one.
const char* sample_file_name(const char* path);

class SAMPLER_GUI : public MODULE_PANEL {
  public:
    SAMPLER* module;

    // The items are made now, or at their first use when `items_now` is false.
    SAMPLER_GUI(const char* number, SAMPLER* sampler, bool items_now = true);
    ~SAMPLER_GUI() override;

    int update() override;
    const char* module_name() const override { return module->name; }
    bool lamp_out_of_date() const override;

  protected:
    void build() override;

  private:
    // The play lamp: lit while the sample sounds.
    void show_playing();
    uint32_t shown_playing = 0;
};
