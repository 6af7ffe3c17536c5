// The cable view: every panel turned to its back side, the patch cables drawn between their
// jacks, and the pointer picking plugs up and dropping them on other jacks.
#pragma once
#include <SDL.h>

#include <vector>

#include "app/cables.h"
#include "toolkit/objet.h"

// 1 while the cable view is shown; 1 when the cable list must be built again from the graph
// before the next cable-view frame.
extern int cable_view;
extern int cable_rebuild;
// The cables drawn in the cable view, rebuilt from the graph.
extern CABLE_LIST cable_list;

// What the pointer and the keys remember between events of the cable view. The pointer's world
// position is the panel view's (`interaction`), so both views agree on it.
struct CABLE_VIEW_STATE {
    int hovered_panel = -1;
    SPRITE* hovered_item = nullptr;
    int pressing = 0;
    SPRITE* pressed_item = nullptr;
    int press_x = 0, press_y = 0;
    int scrolling = 0;
    int scroll_anchor_x = 0, scroll_anchor_y = 0;
    int grabbed_panel = -1;
    CABLE* dragged_cable = nullptr;
    int dragged_end = 0; // 0: the consumer end (plug_in), 1: the producer end (plug_out)
    int drag_kind = 0;   // DRAG_KIND
    int plug_moved = 0;
    int keep_links = 0; // right CTRL held: a moved consumer end leaves its old link in place
};
extern CABLE_VIEW_STATE cable_state;

// Forgets every item, panel and cable the cable view points at, frees the cable list and asks
// for a rebuild. Call it whenever the panel list is replaced.
void reset_cable_view();

// Shows the back sides and starts the cable view, or shows the fronts again and leaves it.
// Entering asks for a rebuild, so moves made in the panel view are shown.
void toggle_cable_view();

// Builds the cable list from the panel list and the graph being played.
void build_cables();

// One window event as the cable view handles it; keys it does not handle itself are the panel
// view's. Returns the frame flags.
int cable_view_event(std::vector<OBJET*>& list, const SDL_Event& event);
// Drains the window's events through cable_view_event, then, when accept is non-zero, accepts
// at most one remote client. Returns the frame flags.
int cable_view_events(std::vector<OBJET*>& list, int accept);

// Places the two plugs on the cable's ends and draws the curve, then the plugs.
void draw_cable(CABLE& cable);
// After a cable-view pass whose flags are not 0: prints them, rebuilds the cables when asked,
// updates the panels and draws the frame.
void show_cable_view(int flags);
// Draws background, panels and cables (no dashboards) and swaps the buffers.
void draw_cable_view(int flags);
// The frame drawn by show_cable_view; replaceable so the loop runs without a window.
extern void (*draw_cable_frame)(int flags);
