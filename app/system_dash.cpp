// The system dashboard: buttons for a new patch, loading, saving and the cable view.
#include "app/system_dash.h"

#include <cstring>

#include "app/cable_view.h"
#include "app/chooser.h"
#include "app/save_dialog.h"
#include "toolkit/layout.h"

unsigned dash_actions(const char* item_name) {
    unsigned actions = 0;
    if (std::strstr(item_name, "NEW")) actions |= DASH_NEW;
    if (std::strstr(item_name, "LOAD")) actions |= DASH_LOAD;
    if (std::strstr(item_name, "SAVE")) actions |= DASH_SAVE;
    if (std::strstr(item_name, "FILS")) actions |= DASH_FILS;
    return actions;
}

unsigned pending_dash_actions = 0;

void load_from_dashboard() {
    choose_patch();
}

void save_from_dashboard() {
    save_user_patch();
}

SYSTEM_DASH::SYSTEM_DASH()
    : OBJET(0, 0, SYSTEM_DASH_PREFIX), on_save(save_from_dashboard), on_fils(toggle_cable_view) {
    load_layout(*this, SYSTEM_DASH_LAYOUT);
    fit_to_background(*this);
    mark_all(*this, 1);
}

SYSTEM_DASH::~SYSTEM_DASH() = default;

int SYSTEM_DASH::update() {
    while (!messages.empty()) {
        const MESSAGE m = messages.back();
        messages.pop_back();
        if (m.kind != 1 || m.event_type() != EVENT_MOUSE_UP || !m.target) continue;
        pending_dash_actions |= dash_actions(m.target->name);
    }
    OBJET::update();
    dirty = 1;
    return 0;
}

int run_pending_dash_actions(const std::vector<OBJET*>& dashboards) {
    const unsigned actions = pending_dash_actions;
    pending_dash_actions = 0;
    if (!actions) return 0;
    SYSTEM_DASH* dash = nullptr;
    for (OBJET* d : dashboards)
        if (!dash) dash = dynamic_cast<SYSTEM_DASH*>(d);
    if (!dash) {
        if (actions & DASH_LOAD) load_from_dashboard();
        return 1;
    }
    if ((actions & DASH_NEW) && dash->on_new) dash->on_new();
    if ((actions & DASH_LOAD) && dash->on_load) dash->on_load();
    if ((actions & DASH_SAVE) && dash->on_save) dash->on_save();
    if ((actions & DASH_FILS) && dash->on_fils) dash->on_fils();
    return 1;
}
