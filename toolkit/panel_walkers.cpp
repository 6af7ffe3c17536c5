// Panel and dashboard walkers, with the culling of panels outside the visible area.
#include "toolkit/panel_walkers.h"

#include "toolkit/objet.h"

bool panel_visible(const OBJET& panel, int view_x, int view_y) {
    int px = static_cast<int>(panel.x), py = static_cast<int>(panel.y);
    int pw = static_cast<int>(panel.w), ph = static_cast<int>(panel.h);
    return px <= view_x + VIEW_WIDTH && view_x <= px + pw && py <= view_y + VIEW_HEIGHT && view_y <= py + ph;
}

int draw_panels(std::vector<OBJET*>& list, int view_x, int view_y) {
    for (OBJET* panel : list) {
        if (!panel_visible(*panel, view_x, view_y)) continue;
        panel->make_items();
        panel->update();
        mark_all(*panel, 1);
        panel->draw();
    }
    return 1;
}

int draw_dashboards(std::vector<OBJET*>& list) {
    for (OBJET* dash : list) {
        dash->update();
        mark_all(*dash, 1);
        dash->draw();
    }
    return 1;
}
