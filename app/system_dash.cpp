// The system dashboard: buttons for a new patch, loading, saving and the cable view.
#include "app/system_dash.h"

#include <cstring>

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

void save_from_dashboard() {
    save_patch("KVX/");
}

SYSTEM_DASH::SYSTEM_DASH() : OBJET(0, 0, SYSTEM_DASH_PREFIX), on_save(save_from_dashboard) {
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
        const unsigned actions = dash_actions(m.target->name);
        if ((actions & DASH_NEW) && on_new) on_new();
        if ((actions & DASH_LOAD) && on_load) on_load();
        if ((actions & DASH_SAVE) && on_save) on_save();
        if ((actions & DASH_FILS) && on_fils) on_fils();
    }
    OBJET::update();
    dirty = 1;
    return 0;
}
