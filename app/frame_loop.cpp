// The frame loop: controller step, events, step notices and drawing, about 60 passes a second.
#include "app/frame_loop.h"

#include <GL/gl.h>
#include <SDL.h>

#include <cstdio>
#include <thread>

#include "app/cable_view.h"
#include "app/controller.h"
#include "app/panel_view.h"
#include "app/scope.h"
#include "app/step_notice.h"
#include "app/system_dash.h"
#include "engine/audio.h"
#include "engine/generator.h"
#include "engine/verbose.h"
#include "toolkit/objet.h"
#include "toolkit/panel_walkers.h"
#include "toolkit/video.h"

std::vector<OBJET*> panels;
std::vector<OBJET*> dashboards;
SPRITE* background = nullptr;
void (*draw_frame)(int flags) = draw_panel_view;

namespace {

// The list the panel view hit-tests, rebuilt each pass without reallocating.
std::vector<OBJET*> hit_list;

constexpr int PANEL_VIEW_GRID = 10;

} // namespace

void draw_background_grid(SPRITE& sprite, int columns, int rows) {
    for (int c = 0; c < columns; ++c) {
        for (int r = 0; r < rows; ++r) {
            sprite.set_position(static_cast<float>(c) * sprite.w, static_cast<float>(r) * sprite.h, 0);
            sprite.dirty = 1;
            sprite.draw();
        }
    }
}

void draw_panel_view(int flags) {
    if (flags & FLAG_VIEW_MOVED) verbose_printf("Request of Scroll\n");
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3ub(255, 255, 255);
    begin_2d(0, 0, VIEW_WIDTH, VIEW_HEIGHT);
    if (background) draw_background_grid(*background, PANEL_VIEW_GRID, PANEL_VIEW_GRID);
    draw_panels(panels, scroll_x, scroll_y);
    draw_dashboards(dashboards);
    end_2d();
    SDL_GL_SwapBuffers();
}

int deliver_step_notices() {
    int flags = 0;
    STEP_NOTICE notice;
    while (take_step_notice(notice)) {
        // The record the sequencer panels receive: a user event of code 1. Its data pointers
        // stay null, since a record outlives this notice and keeps only part of an event.
        SDL_Event event = {};
        event.user.type = SDL_USEREVENT;
        event.user.code = 1;
        flags |= step_notice_event(&event, static_cast<int>(sizeof event));
    }
    return flags;
}

int frame_pass(bool force_draw) {
    step_controller();
    // The audio thread only counts sampler restarts; they are told here, off its clock.
    if (generator) report_sampler_restarts(generator->samplers);
    int flags;
    if (cable_view || scope_mode) {
        flags = cable_view_events(panels, 1);
        // The back sides show no steps: the notices wait in the sequencer panels' queues.
        deliver_step_notices();
    } else {
        build_hit_list(dashboards, panels, hit_list);
        flags = panel_view_events(hit_list, 1);
        flags |= deliver_step_notices();
    }
    if (scope_mode) return flags;
    if (cable_view) {
        show_cable_view(flags | (force_draw ? FLAG_REDRAW : 0));
        return flags;
    }
    if (flags || force_draw) draw_frame(flags | (force_draw ? FLAG_REDRAW : 0));
    return flags;
}

FRAME_PACER::FRAME_PACER(std::chrono::steady_clock::duration p)
    : period(p), next(std::chrono::steady_clock::now() + p) {}

void FRAME_PACER::wait() {
    const auto now = std::chrono::steady_clock::now();
    if (now < next) {
        std::this_thread::sleep_until(next);
        next += period;
    } else {
        next = now + period;
    }
}

long frame_loop(long max_passes) {
    FRAME_PACER pacer(std::chrono::microseconds(1000000 / FRAMES_PER_SECOND));
    long passes = 0;
    running = 1;
    bool redraw = true;
    while (running && (max_passes < 0 || passes < max_passes)) {
        frame_pass(redraw);
        // The scope's picture changes with every block, so it is shown on every pass.
        if (scope_mode) draw_scope_view();
        // What the dashboard (or F3) asked for runs now that the frame is drawn; the screen it
        // leaves behind is drawn again on the next pass.
        redraw = run_pending_dash_actions(dashboards) != 0;
        ++passes;
        if (running) pacer.wait();
    }
    return passes;
}
