// The panel view: the pointer plays the panels (hover, knob drags, button presses, panel moves,
// scrolling and folding) and the computer keyboard plays the keyboard modules.
#pragma once
#include <SDL.h>

#include <vector>

#include "app/screen.h"
#include "toolkit/objet.h"

// The world of panels is 3200 x 3200 pixels; the offsets keep the 1024 x 768 window inside it,
// give or take the panel view's margin.
constexpr int SCROLL_X_MAX = 2176;
constexpr int SCROLL_Y_MAX = 2432;
// The largest horizontal scroll offset of the screen's world, which can be wider than 3200.
int scroll_x_limit(const SCREEN& screen);
// A grabbed panel near a window edge scrolls the world by this much per motion event.
constexpr int EDGE_SCROLL_STEP = 35;
constexpr int EDGE_NEAR = 5;
constexpr int EDGE_FAR_X = 794;
constexpr int EDGE_FAR_Y = 594;

// Forgets what the pointer and the keys remember; call it whenever the panel list changes.
void reset_interaction(SCREEN& screen);

// The list the panel view hit-tests, topmost first: the dashboards in the reverse of their
// drawing order, then the panels from the one drawn last to the one drawn first.
void build_hit_list(const std::vector<OBJET*>& dashboards, const std::vector<OBJET*>& panels,
                    std::vector<OBJET*>& out);

// Index of the first entry of list whose rectangle holds the point (edges included), or the
// pointer's last world position; -1 when none.
int panel_at(const std::vector<OBJET*>& list, int x, int y);
int panel_at(const SCREEN& screen, const std::vector<OBJET*>& list);

// A scroll offset kept within 0..max.
int clamp_scroll(int offset, int max);
// A grabbed panel whose world coordinate pointer lies past far, or within EDGE_NEAR of the
// window's near edge, scrolls the world one step that way, within 0..max. Returns
// FLAG_VIEW_MOVED when it did, else 0.
int edge_scroll(int pointer, int far, int max, int& scroll);
// The wheel's clicks arrive as button presses and releases; the views ignore them.
bool is_wheel_button(Uint8 button);
// Puts the pointer at a window position (the screen's hook, else the window system's warp).
void warp_pointer(const SCREEN& screen, int window_x, int window_y);

// What a view does with each kind of window event; each returns the frame flags.
struct VIEW_HANDLERS {
    int (*key_down)(SCREEN&, std::vector<OBJET*>& list, const SDL_Event& event);
    int (*key_up)(SCREEN&, std::vector<OBJET*>& list, const SDL_Event& event);
    int (*motion)(SCREEN&, std::vector<OBJET*>& list, const SDL_Event& event);
    int (*button_down)(SCREEN&, std::vector<OBJET*>& list, const SDL_Event& event);
    int (*button_up)(SCREEN&, std::vector<OBJET*>& list, const SDL_Event& event);
};
// One window event through a view's handlers: wheel clicks are dropped, exposure and focus
// changes ask for a redraw, other events are ignored.
int view_event(const VIEW_HANDLERS& view, SCREEN& screen, std::vector<OBJET*>& list, const SDL_Event& event);

// One event of the window, as the panel view handles it. Returns the frame flags.
int panel_view_event(SCREEN& screen, std::vector<OBJET*>& list, const SDL_Event& event);

// A step notice arrived: each sequencer panel gets an input record of the user event type, so
// it refreshes its running step, unless one is still waiting in its queue. Returns the frame
// flags.
int step_notice_event(SCREEN& screen, const void* notice_event, int event_size);

// Lays the background sprite as a grid of copies, each at (column x width, row x height).
void draw_background_grid(SPRITE& sprite, int columns, int rows);
// The same for the columns first .. end - 1 only.
void draw_background_columns(SPRITE& sprite, int first, int end, int rows);
// Draws background, panels and dashboards, and swaps the buffers; flags are the pass's.
void draw_panel_view(SCREEN& screen, int flags);
