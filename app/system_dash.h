// The system dashboard: buttons for a new patch, loading, saving and the cable view.
#pragma once
#include "toolkit/objet.h"

constexpr const char* SYSTEM_DASH_PREFIX = "60";
constexpr const char* SYSTEM_DASH_LAYOUT = "RC/SYSTEM_DASH.RC";

// The actions a button name asks for, one bit per word found in it.
enum DASH_ACTION : unsigned { DASH_NEW = 1, DASH_LOAD = 2, DASH_SAVE = 4, DASH_FILS = 8 };
unsigned dash_actions(const char* item_name);

// Actions asked for by released buttons (and F3 for the chooser). The frame loop runs them once
// the frame is drawn: an action that replaces the panels must not run inside their drawing.
extern unsigned pending_dash_actions;

// The chooser, as the "LOAD" button runs it.
void load_from_dashboard();

class SYSTEM_DASH : public OBJET {
  public:
    // What each action runs; null does nothing. The save runs the console save dialog.
    void (*on_new)() = nullptr;
    void (*on_load)() = load_from_dashboard;
    void (*on_save)() = nullptr;
    void (*on_fils)() = nullptr;

    SYSTEM_DASH();
    ~SYSTEM_DASH() override;
    // Notes the action of every button released since the last update in pending_dash_actions.
    // The records are used up here, so the buttons themselves never see them.
    int update() override;
};

// Runs and clears the pending actions with the handlers of the first system dashboard of the
// list (the chooser alone when there is none). Returns the frame flags: 1 when any ran.
int run_pending_dash_actions(const std::vector<OBJET*>& dashboards);

// The console save dialog into the patch folder, for the graph being played.
void save_from_dashboard();
