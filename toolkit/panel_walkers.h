// The walkers that update and draw panels and dashboards.
#pragma once
#include <vector>

#include "toolkit/camera.h"

class OBJET;

// True when the panel's rectangle and the visible one overlap; touching edges count.
bool panel_visible(const OBJET& panel, int view_x, int view_y);

// Updates (runs the message handler of), marks and draws every visible panel. Returns 1.
int draw_panels(std::vector<OBJET*>& list, int view_x, int view_y);
// Updates, marks and draws every dashboard, without a visibility test. Returns 1.
int draw_dashboards(std::vector<OBJET*>& list);
