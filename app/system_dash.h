// The system dashboard: buttons for a new patch, loading, saving and the cable view.
#pragma once
#include "toolkit/objet.h"

constexpr const char* SYSTEM_DASH_PREFIX = "60";
constexpr const char* SYSTEM_DASH_LAYOUT = "RC/SYSTEM_DASH.RC";

// The actions a button name asks for, one bit per word found in it.
enum DASH_ACTION : unsigned { DASH_NEW = 1, DASH_LOAD = 2, DASH_SAVE = 4, DASH_FILS = 8 };
unsigned dash_actions(const char* item_name);

class SYSTEM_DASH : public OBJET {
  public:
    // What each action runs; null does nothing. The save runs the console save dialog.
    void (*on_new)() = nullptr;
    void (*on_load)() = nullptr;
    void (*on_save)() = nullptr;
    void (*on_fils)() = nullptr;

    SYSTEM_DASH();
    ~SYSTEM_DASH() override;
    // Runs the action of every button released since the last update. The records are used
    // up here, so the buttons themselves never see them.
    int update() override;
};

// The console save dialog into the patch folder, for the graph being played.
void save_from_dashboard();
