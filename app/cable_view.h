// The cable view: every panel turned to its back side, the patch cables drawn between their
// jacks, and the pointer picking plugs up and dropping them on other jacks.
#pragma once
#include <SDL.h>

#include <vector>

#include "app/cables.h"
#include "app/screen.h"
#include "toolkit/objet.h"

// Forgets every item, panel and cable the cable view points at, frees the cable list and asks
// for a rebuild. Call it whenever the panel list is replaced.
void reset_cable_view(SCREEN& screen);

// Shows the back sides and starts the cable view, or shows the fronts again and leaves it.
// Entering asks for a rebuild, so moves made in the panel view are shown.
void toggle_cable_view(SCREEN& screen);

// Builds the cable list from the panel list and the graph being played.
void build_cables(SCREEN& screen);

// One window event as the cable view handles it; keys it does not handle itself are the panel
// view's. Returns the frame flags.
int cable_view_event(SCREEN& screen, std::vector<OBJET*>& list, const SDL_Event& event);

// Places the two plugs on the cable's ends and draws the curve, then the plugs.
void draw_cable(CABLE& cable);
// After a cable-view pass whose flags are not 0: prints them, rebuilds the cables when asked,
// updates the panels and draws the frame (the screen's hook, else draw_cable_view).
void show_cable_view(SCREEN& screen, int flags);
// Draws background, panels and cables (no dashboards) and swaps the buffers.
void draw_cable_view(SCREEN& screen, int flags);
