// The panel of a sample player: a name plate that stands for the module, with its output jack
// on the back.
#pragma once
#include "engine/sampler.h"
#include "panels/module_panel.h"

// The ink of the file name on the sample screen: the screen's trace green.
constexpr int SAMPLE_FILE_INK = 0x7CF0A0;

// The last part of a sample's path, or "(no sample)" for an empty one.
const char* sample_file_name(const char* path);

class SAMPLER_GUI : public MODULE_PANEL {
  public:
    SAMPLER* module;

    SAMPLER_GUI(const char* number, SAMPLER* sampler);
    ~SAMPLER_GUI() override;

    const char* module_name() const override { return module->name; }
};
