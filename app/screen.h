// The window's state in one object: the panels and dashboards shown, what the pointer and keys
// remember in each view, which view is up, and what the views asked the frame loop to do.
#pragma once
#include <vector>

#include "app/cables.h"
#include "app/controller.h"
#include "app/save_prompt_state.h"
#include "app/scope.h"
#include "engine/door.h"
#include "toolkit/objet.h"

class INFO_DASH;

// Frame flags returned by the event handlers.
constexpr int FLAG_REDRAW = 1;
constexpr int FLAG_CABLES = 2;
constexpr int FLAG_VIEW_MOVED = 4;

// What a key or a dashboard button asks the frame loop for, one bit each. A view switch asked
// by a key runs as soon as its event is handled; the rest runs once the frame is drawn, since a
// load replaces the panels being drawn.
enum SCREEN_REQUEST : unsigned {
    REQUEST_NEW = 1,
    REQUEST_LOAD = 2, // the patch chooser
    REQUEST_SAVE = 4, // the console save dialog into the patch folder
    REQUEST_CABLES = 8,
    REQUEST_SCOPE = 16,
    REQUEST_MIDI_LEARN = 32, // "m": arm or free the knob under the pointer
};
constexpr unsigned VIEW_SWITCHES = REQUEST_CABLES | REQUEST_SCOPE;

// Everything the pointer and the keys remember between events of the panel view. Indices are
// into the list the handler was given; pointers are checked against that list before they are
// followed, and a change of panels resets it.
struct INTERACTION {
    int pointer_x = 0, pointer_y = 0; // world position of the last mouse event, in both views
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
    // The knob "m" armed: the next MIDI controller to arrive is bound to this parameter.
    MODULE_REF armed_module;
    PARAM_KEY armed_key;
};

// What the pointer and the keys remember between events of the cable view. The pointer's world
// position is the panel view's, so both views agree on it.
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

// The frame loop owns one and hands it to the views, the chooser and the patch swap. The panels,
// dashboards and background are freed by whoever built them (release_window in the program).
struct SCREEN {
    std::vector<OBJET*> panels;           // one per module, drawn in this order
    std::vector<OBJET*> sequencer_panels; // receive the step notices
    std::vector<OBJET*> dashboards;       // drawn in this order, over the panels
    std::vector<OBJET*> hit_list;         // what the panel view hit-tests, rebuilt each pass
    SPRITE* background = nullptr;         // laid as a grid under the panels
    int world_width = 3200;               // set when panels are built; wider than 3200 for many panels
    INFO_DASH* info_dash = nullptr;       // may be null

    INTERACTION interaction;
    int cable_view = 0;    // 1 while the back sides and the cables are shown
    int cable_rebuild = 1; // the cable list is built again from the graph before the next frame
    CABLE_LIST cable_list;
    CABLE_VIEW_STATE cable_state;
    SCOPE_VIEW scope;     // shown while the engine's scope_mode is 1
    int chooser_open = 0; // while the chooser screen is up, F1, F3, F6 and "5" do nothing
    int running = 1;      // cleared by releasing ESC
    SAVE_PROMPT save_prompt; // F4's name field, open while a name is typed
    CONTROLLER controller;   // stepped once per frame by the remote control word
    unsigned requests = 0;

    // What draws a panel-view frame, a cable-view frame and warps the pointer; null means the
    // window's own, so the loop can run without a window.
    void (*draw_frame)(int flags) = nullptr;
    void (*draw_cable_frame)(int flags) = nullptr;
    void (*warp_pointer)(int window_x, int window_y) = nullptr;

    SCREEN() = default;
    SCREEN(const SCREEN&) = delete;
    SCREEN& operator=(const SCREEN&) = delete;
};
