// The system dashboard: buttons for a new patch, loading, saving and the cable view.
#include "app/system_dash.h"

#include <cstring>

#include "toolkit/layout.h"

unsigned dash_actions(const char* item_name) {
    unsigned actions = 0;
    if (std::strstr(item_name, "NEW")) actions |= REQUEST_NEW;
    if (std::strstr(item_name, "LOAD")) actions |= REQUEST_LOAD;
    if (std::strstr(item_name, "SAVE")) actions |= REQUEST_SAVE;
    if (std::strstr(item_name, "FILS")) actions |= REQUEST_CABLES;
    return actions;
}

SYSTEM_DASH::SYSTEM_DASH() : OBJET(0, 0, SYSTEM_DASH_PREFIX) {
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
        requested |= dash_actions(m.target->name);
    }
    OBJET::update();
    dirty = 1;
    return 0;
}

unsigned take_dash_requests(const std::vector<OBJET*>& dashboards) {
    for (OBJET* d : dashboards) {
        if (auto* dash = dynamic_cast<SYSTEM_DASH*>(d)) {
            const unsigned requests = dash->requested;
            dash->requested = 0;
            return requests;
        }
    }
    return 0;
}
