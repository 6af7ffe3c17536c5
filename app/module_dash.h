// The module dashboard: a panel built only from its layout file, redrawn on every drawn frame.
#pragma once
#include "toolkit/objet.h"

constexpr const char* MODULE_DASH_PREFIX = "59";
constexpr const char* MODULE_DASH_LAYOUT = "RC/MODULE_DASH.RC";

class MODULE_DASH : public OBJET {
  public:
    MODULE_DASH();
    ~MODULE_DASH() override;
    int update() override;
};
