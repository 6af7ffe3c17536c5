// The panel view: the pointer plays the panels (hover, knob drags, button presses, panel moves,
// scrolling and folding) and the computer keyboard plays the keyboard modules.
#pragma once
#include <SDL.h>

#include <vector>

#include "toolkit/objet.h"

class INFO_DASH;
struct GENERATOR;

// Frame flags returned by the event handlers.
constexpr int FLAG_REDRAW = 1;
constexpr int FLAG_CABLES = 2;
constexpr int FLAG_VIEW_MOVED = 4;

// The world of panels is 3200 x 3200 pixels; the offsets keep the 1024 x 768 window inside it,
// give or take the panel view's margin.
constexpr int SCROLL_X_MAX = 2176;
constexpr int SCROLL_Y_MAX = 2432;
// A grabbed panel near a window edge scrolls the world by this much per motion event.
constexpr int EDGE_SCROLL_STEP = 35;
constexpr int EDGE_NEAR = 5;
constexpr int EDGE_FAR_X = 794;
constexpr int EDGE_FAR_Y = 594;

// Everything the pointer and the keys remember between events. Indices are into the list the
// handler was given; pointers are checked against that list before they are followed, and a
// change of panels calls reset_interaction.
struct INTERACTION {
    int pointer_x = 0, pointer_y = 0; // world position of the last mouse event
    int hovered_panel = -1;
    SPRITE* hovered_item = nullptr;
    int pressing = 0;
    SPRITE* pressed_item = nullptr;
    OBJET* pressed_panel = nullptr;
    int press_x = 0, press_y = 0;
    int scrolling = 0;
    int scrolled_while_held = 0; // the middle button moved the world: its release is no click
    int scroll_anchor_x = 0, scroll_anchor_y = 0;
    int grabbed_panel = -1;
};
extern INTERACTION interaction;
void reset_interaction();

// What the panel view works with besides its list; set by the window start-up.
extern INFO_DASH* info_dash;                 // may be null
extern std::vector<OBJET*> sequencer_panels; // receive the step notices
// The frame loop's run flag, cleared by releasing ESC.
extern int running;

// The list the panel view hit-tests, topmost first: the dashboards in the reverse of their
// drawing order, then the panels from the one drawn last to the one drawn first.
void build_hit_list(const std::vector<OBJET*>& dashboards, const std::vector<OBJET*>& panels,
                    std::vector<OBJET*>& out);

// Index of the first entry of list whose rectangle holds the pointer (edges included); -1 when
// none.
int panel_at(const std::vector<OBJET*>& list);
int panel_at(const std::vector<OBJET*>& list, int x, int y);

// A scroll offset kept within 0..max.
int clamp_scroll(int offset, int max);
// A grabbed panel whose world coordinate pointer lies past far, or within EDGE_NEAR of the
// window's near edge, scrolls the world one step that way, within 0..max. Returns
// FLAG_VIEW_MOVED when it did, else 0.
int edge_scroll(int pointer, int far, int max, int& scroll);
// The wheel's clicks arrive as button presses and releases; the views ignore them.
bool is_wheel_button(Uint8 button);

// One event of the window, as the panel view handles it. Returns the frame flags.
int panel_view_event(std::vector<OBJET*>& list, const SDL_Event& event);
// Drains the window's events through panel_view_event, then, when accept is non-zero, accepts
// at most one remote client. Returns the frame flags.
int panel_view_events(std::vector<OBJET*>& list, int accept);

// A step notice arrived: each sequencer panel gets an input record of the user event type, so
// it refreshes its running step, unless one is still waiting in its queue. Returns the frame
// flags.
int step_notice_event(const void* notice_event, int event_size);

// Where the pointer is warped to keep a knob drag at its press point; SDL_WarpMouse by default.
extern void (*warp_pointer)(int window_x, int window_y);
