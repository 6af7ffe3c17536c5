// Swapping patches under the running audio: read apart, pause for the install only, free after.
#include "app/patch_swap.h"

#include <SDL.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "app/cable_view.h"
#include "app/info_dash.h"
#include "app/panel_view.h"
#include "app/screen.h"
#include "app/window_size.h"
#include "engine/audio.h"
#include "panels/build_panels.h"
#include "panels/panel_layout.h"
#include "patch/patch_reader.h"
#include "toolkit/camera.h"

namespace {

int fatal_status = 0;
bool fatal_seen = false;

// The readers stop reading after a fatal error once this returns; the load is then refused.
void note_fatal(int status) {
    fatal_seen = true;
    fatal_status = status;
}

void set_caption(const char* path) {
    char caption[1024];
    std::snprintf(caption, sizeof caption, CAPTION_FORMAT, path);
    SDL_WM_SetCaption(caption, nullptr);
}

// Events already queued were aimed at the screen as it was: their positions and targets mean
// nothing over the new panels. Keys stay, so a held note is still released.
void drop_queued_pointer_events() {
    SDL_PumpEvents();
    SDL_Event e;
    while (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_MOUSEEVENTMASK) > 0) {
    }
}

} // namespace

LOADED_PATCH read_patch_apart(const char* path) {
    if (!path || access(path, R_OK) != 0) {
        std::printf("Cannot read [%s]: the patch playing goes on\n", path ? path : "");
        return LOADED_PATCH();
    }
    void (*saved)(int) = patch_fatal_hook;
    fatal_seen = false;
    patch_fatal_hook = note_fatal;
    LOADED_PATCH loaded = load_patch_file(path);
    patch_fatal_hook = saved;
    if (fatal_seen) {
        std::printf("Patch error in [%s] (status %d): the patch playing goes on\n", path, fatal_status);
        delete loaded.graph;
        return LOADED_PATCH();
    }
    if (!loaded.graph) std::printf("Nothing to play in [%s]: the patch playing goes on\n", path);
    return loaded;
}

GENERATOR* swap_patch(const LOADED_PATCH& loaded, const std::function<void()>& while_paused) {
    // Only a running stream is paused and resumed: before start-up or after shutdown the
    // callback is idle already and must stay so.
    const bool was_running = audio_running.load() != 0;
    if (was_running) audio_pause();
    GENERATOR* previous = install_patch(loaded);
    if (while_paused) while_paused();
    if (was_running) audio_resume();
    return previous;
}

int load_patch_in_place(SCREEN& screen, const char* path) {
    LOADED_PATCH loaded = read_patch_apart(path);
    if (!loaded.graph) return 0;
    // The new panels belong to a graph nothing renders yet, so they are built before the pause,
    // which then lasts only as long as the install.
    std::vector<OBJET*> new_panels, new_sequencer_panels;
    build_panels(*loaded.graph, new_panels, new_sequencer_panels);
    GENERATOR* old_graph = swap_patch(loaded);

    std::vector<OBJET*> old_panels;
    old_panels.swap(screen.panels);
    screen.panels.swap(new_panels);
    screen.sequencer_panels.swap(new_sequencer_panels);
    screen.world_width = world_width_of(screen.panels);
    reset_interaction(screen);
    // The new patch opens at the world's top-left, with nothing named from the patch before.
    scroll_x = scroll_y = 0;
    if (screen.info_dash) forget_panel_info(*screen.info_dash);
    reset_cable_view(screen);
    for (OBJET* p : screen.panels) {
        if (screen.cable_view) p->set_mode(MODE_BACK);
        p->update();
        fit_to_background(*p);
        mark_all(*p, 1);
    }
    for (OBJET* p : old_panels)
        delete p;
    delete old_graph;
    set_caption(path);
    drop_queued_pointer_events();
    return 1;
}
