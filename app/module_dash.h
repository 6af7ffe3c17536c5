// The module dashboard: a panel built from its layout file, redrawn on every drawn frame, with
// the load meter's line.
#pragma once
#include <string>

#include "engine/load_meter.h"
#include "toolkit/label.h"
#include "toolkit/objet.h"

constexpr const char* MODULE_DASH_PREFIX = "59";
constexpr const char* MODULE_DASH_LAYOUT = "RC/MODULE_DASH.RC";

// The load meter's line: "DSP 12% PEAK 30% LATE 0", shares in whole percent rounded up, so any
// load shows.
std::string load_text(const LOAD_READING& r);

class MODULE_DASH : public OBJET {
  public:
    LABEL* load_label = nullptr; // "LABEL_LOAD"

    MODULE_DASH();
    ~MODULE_DASH() override;
    int update() override;
    // Puts the meter's reading in the label; true when the text changed, so the frame loop
    // draws it even when nothing else moved.
    bool show_load(const LOAD_READING& r);
};
