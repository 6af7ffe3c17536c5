// The frame loop: controller step, events, step notices and drawing, about 60 passes a second.
#include "app/frame_loop.h"

#include <SDL.h>

#include <cstdio>
#include <string>

#include "app/cable_view.h"
#include "app/chooser.h"
#include "app/controller.h"
#include "app/midi_control.h"
#include "app/module_dash.h"
#include "app/panel_view.h"
#include "app/patch_folders.h"
#include "app/patch_swap.h"
#include "app/recovery.h"
#include "app/save_dialog.h"
#include "app/save_prompt.h"
#include "app/scope.h"
#include "app/startup.h"
#include "app/step_notice.h"
#include "app/system_dash.h"
#include "app/undo.h"
#include "app/undo_apply.h"
#include "engine/audio.h"
#include "engine/generator.h"
#include "panels/module_panel.h"
#include "remote/remote_server.h"

namespace {

using EVENT_HANDLER = int (*)(SCREEN&, std::vector<OBJET*>&, const SDL_Event&);

void switch_views(SCREEN& screen, unsigned requests) {
    if (requests & REQUEST_SCOPE) toggle_scope(screen.scope);
    if (requests & REQUEST_CABLES) toggle_cable_view(screen);
}

// Drains the window's events through a view's handler, then accepts at most one remote client.
// A switch of view is made at once; the events after it, like those after a request for the
// chooser, wait for the next pass and the handler that goes with it.
int drain_events(SCREEN& screen, std::vector<OBJET*>& list, EVENT_HANDLER handle) {
    int flags = 0;
    SDL_Event event;
    const int view = screen.cable_view;
    const int scope = scope_mode.load();
    while (!(screen.requests & REQUEST_LOAD) && screen.cable_view == view && scope_mode.load() == scope &&
           SDL_PollEvent(&event)) {
        if (save_prompt_event(screen, event, flags)) continue;
        flags |= handle(screen, list, event);
        const unsigned switches = screen.requests & VIEW_SWITCHES;
        screen.requests &= ~VIEW_SWITCHES;
        switch_views(screen, switches);
    }
    if (server_socket) accept_remote_client(server_socket);
    return flags;
}

void draw(SCREEN& screen, int flags) {
    if (screen.draw_frame)
        screen.draw_frame(flags);
    else
        draw_panel_view(screen, flags);
}

} // namespace

int deliver_step_notices(SCREEN& screen) {
    int flags = 0;
    STEP_NOTICE notice;
    while (take_step_notice(notice)) {
        // The record the sequencer panels receive: a user event of code 1. Its data pointers
        // stay null, since a record outlives this notice and keeps only part of an event.
        SDL_Event event = {};
        event.user.type = SDL_USEREVENT;
        event.user.code = 1;
        flags |= step_notice_event(screen, &event, static_cast<int>(sizeof event));
    }
    return flags;
}

int frame_pass(SCREEN& screen, bool force_draw) {
    {
        const UNDO_SOURCE remote(SOURCE_REMOTE);
        step_controller(screen.controller);
    }
    // The panels change their modules while their events are handled and while they are drawn.
    const UNDO_SOURCE panels(SOURCE_PANEL);
    // The audio thread only counts sampler restarts; they are told here, off its clock.
    if (generator) report_sampler_restarts(generator->samplers);
    const int prompt_flags = poll_save_prompt(screen);
    int flags;
    if (screen.cable_view || scope_mode) {
        flags = drain_events(screen, screen.panels, cable_view_event);
        // The back sides show no steps: the notices wait in the sequencer panels' queues.
        deliver_step_notices(screen);
    } else {
        build_hit_list(screen.dashboards, screen.panels, screen.hit_list);
        flags = drain_events(screen, screen.hit_list, panel_view_event);
        flags |= deliver_step_notices(screen);
    }
    flags |= prompt_flags;
    if (scope_mode) return flags;
    if (screen.cable_view) {
        show_cable_view(screen, flags | (force_draw ? FLAG_REDRAW : 0));
        return flags;
    }
    if (flags || force_draw) draw(screen, flags | (force_draw ? FLAG_REDRAW : 0));
    return flags;
}

namespace {

// Controllers move their knobs (a redraw shows them turned), recorded for undo as controller
// moves; a program change loads its patch once the frame is drawn, as the chooser's choice is.
int midi_pass(SCREEN& screen, int& program) {
    const UNDO_SOURCE source(SOURCE_MIDI);
    const MIDI_CONTROLS c = take_midi_controls(&screen);
    if (c.program >= 0) program = c.program;
    return c.moved ? FLAG_REDRAW : 0;
}

// The load meter's line changes about once a second; a change is drawn even in an idle window.
int load_pass(SCREEN& screen) {
    const LOAD_READING r = load_reading();
    int flags = 0;
    for (OBJET* d : screen.dashboards)
        if (auto* dash = dynamic_cast<MODULE_DASH*>(d))
            if (dash->show_load(r)) flags = FLAG_REDRAW;
    return flags;
}

// Lamps that follow the sound (a held key, a playing sample) change without an event; a panel
// in view whose lamp is out of date is drawn again.
int lamp_pass(const SCREEN& screen) {
    if (screen.cable_view || scope_mode) return 0;
    return lamps_out_of_date(screen.panels, scroll_x, scroll_y) ? FLAG_REDRAW : 0;
}

} // namespace

int run_requests(SCREEN& screen) {
    const int undone = run_undo_requests(screen);
    undo_tick();
    const unsigned requests = screen.requests | take_dash_requests(screen.dashboards);
    screen.requests = 0;
    if (!requests) return undone;
    if (requests & REQUEST_LOAD) {
        const std::string path = choose_patch(screen);
        // The readers write the new graph through the door: that is no edit of the running patch.
        undo_mute(true);
        const int loaded = path.empty() ? 0 : load_patch_in_place(screen, path.c_str());
        undo_mute(false);
        if (loaded) undo_patch_loaded(path.c_str(), recovery_path_for(path));
        std::fflush(stdout);
    }
    if (requests & REQUEST_SAVE) open_save_prompt(screen, user_save_prefix());
    if (requests & REQUEST_MIDI_LEARN) {
        // A load just above may have replaced the panels the pass's hit list held.
        build_hit_list(screen.dashboards, screen.panels, screen.hit_list);
        midi_learn_key(screen, screen.hit_list);
    }
    switch_views(screen, requests & VIEW_SWITCHES);
    return 1;
}

long frame_loop(SCREEN& screen, long max_passes) {
    FRAME_PACER pacer(std::chrono::microseconds(1000000 / FRAMES_PER_SECOND));
    long passes = 0;
    screen.running = 1;
    bool redraw = true;
    while (screen.running && (max_passes < 0 || passes < max_passes)) {
        int program = -1;
        const int midi = midi_pass(screen, program) | load_pass(screen) | lamp_pass(screen);
        frame_pass(screen, redraw || midi != 0);
        // The scope's picture changes with every block, so it is shown on every pass.
        if (scope_mode) draw_scope_view(screen.scope);
        // What a dashboard button (or F3) asked for runs now that the frame is drawn; the
        // screen it leaves behind is drawn again on the next pass.
        redraw = run_requests(screen) != 0;
        if (program >= 0 && screen.running) redraw = load_program(&screen, program) != 0 || redraw;
        ++passes;
        if (screen.running) pacer.wait();
    }
    return passes;
}
