// The scroll offset of the world and the walkers that update and draw panels and dashboards.
#pragma once
#include <vector>

class OBJET;

// The camera position in the world of panels: every quad and cable is drawn at its world
// position minus this offset.
extern int scroll_x;
extern int scroll_y;

// The visible part of the world is this many pixels from the scroll offset.
constexpr int VIEW_WIDTH = 1024;
constexpr int VIEW_HEIGHT = 768;

// True when the panel's rectangle and the visible one overlap; touching edges count.
bool panel_visible(const OBJET& panel, int view_x, int view_y);

// Updates (runs the message handler of), marks and draws every visible panel. Returns 1.
int draw_panels(std::vector<OBJET*>& list, int view_x, int view_y);
// Updates, marks and draws every dashboard, without a visibility test. Returns 1.
int draw_dashboards(std::vector<OBJET*>& list);
