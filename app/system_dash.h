// The system dashboard: buttons for a new patch, loading, saving and the cable view.
#pragma once
#include <vector>

#include "app/screen.h"
#include "toolkit/objet.h"

constexpr const char* SYSTEM_DASH_PREFIX = "60";
constexpr const char* SYSTEM_DASH_LAYOUT = "RC/SYSTEM_DASH.RC";

// The requests a button name asks for, one bit per word found in it: "NEW", "LOAD", "SAVE" and
// "FILS" (the cable view).
unsigned dash_actions(const char* item_name);

class SYSTEM_DASH : public OBJET {
  public:
    // Requests of the buttons released since they were last taken.
    unsigned requested = 0;

    SYSTEM_DASH();
    ~SYSTEM_DASH() override;
    // Notes the request of every button released since the last update. The records are used
    // up here, so the buttons themselves never see them.
    int update() override;
};

// Takes and clears the requests of the first system dashboard of the list; 0 when there is none.
// The frame loop carries them out once the frame is drawn: a load must not replace the panels
// inside their drawing.
unsigned take_dash_requests(const std::vector<OBJET*>& dashboards);
