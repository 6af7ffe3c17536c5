// Start-up placement of panels in columns, and the overlap check the placement promises.
#include "panels/panel_layout.h"

#include "engine/module_kinds.h"
#include "panels/module_panel.h"

#include <algorithm>
#include <cmath>

float place_in_columns(const std::vector<MODULE_KIND>& kinds, std::vector<PANEL_RECT>& rects) {
    float column_x = 0, column_w = 0, y = 0, right = 0;
    bool column_used = false;
    int kind = -1;
    const size_t n = std::min(kinds.size(), rects.size());
    for (size_t i = 0; i < n; ++i) {
        PANEL_RECT& r = rects[i];
        const float top = kind_info(kinds[i]).panel_top;
        const bool new_kind = kinds[i] != kind;
        // A panel that would reach past the bottom starts a new column, unless it is the first
        // of its column (a panel taller than the world still needs a place).
        const bool too_low = !new_kind && y + r.h > WORLD_SIZE && y > top;
        if (new_kind || too_low) {
            if (column_used) column_x += column_w + PANEL_GAP;
            column_w = 0;
            column_used = false;
            y = top;
            kind = kinds[i];
        }
        r.x = column_x;
        r.y = y;
        y += r.h + PANEL_GAP;
        column_w = std::max(column_w, r.w);
        column_used = true;
        right = std::max(right, r.x + r.w);
    }
    return std::max(WORLD_SIZE, right + PANEL_GAP);
}

int world_width_of(const std::vector<OBJET*>& panels) {
    float right = 0;
    for (const OBJET* p : panels)
        right = std::max(right, p->x + p->w);
    return static_cast<int>(std::ceil(std::max(WORLD_SIZE, right + PANEL_GAP)));
}

void record_panel_places(const std::vector<OBJET*>& panels, GENERATOR& g) {
    for (const OBJET* p : panels)
        if (const auto* m = dynamic_cast<const MODULE_PANEL*>(p))
            g.panel_places[m->edited_module] = PANEL_PLACE{p->x, p->y, p->mode == MODE_FOLDED ? MODE_FOLDED : MODE_FRONT};
}

bool rects_overlap(const PANEL_RECT& a, const PANEL_RECT& b) {
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

bool find_overlap(const std::vector<PANEL_RECT>& rects, size_t& a, size_t& b) {
    for (size_t i = 0; i < rects.size(); ++i)
        for (size_t j = i + 1; j < rects.size(); ++j)
            if (rects_overlap(rects[i], rects[j])) {
                a = i;
                b = j;
                return true;
            }
    return false;
}
