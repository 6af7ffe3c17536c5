// Undo and redo in the window: recording, applying through the door, showing again, the
// caption's marker and the recovery copies.
#include "app/undo.h"

#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <thread>
#include <vector>

#include "app/cable_view.h"
#include "app/info_dash.h"
#include "app/panel_view.h"
#include "app/recovery.h"
#include "app/screen.h"
#include "app/window_size.h"
#include "engine/generator.h"
#include "panels/build_panels.h"
#include "panels/module_panel.h"

namespace {

struct UNDO_STATE {
    UNDO_HISTORY history;
    SCREEN* screen = nullptr;
    int observer = 0;
    std::thread::id thread;
    bool muted = false;
    bool applying = false; // the history's own writes are not new steps
    EDIT_SOURCE source = SOURCE_PANEL;
    long gesture = 0;
    std::string patch_path, recovery_path;
    int shown_marker = -1; // the caption's state, -1 before it is first set
    double recovery_due = 0;
    bool was_modified = false;
    std::vector<bool> requests; // true for redo
    const OBJET* grabbed = nullptr;
    float grab_x = 0, grab_y = 0;
    RECOVERY_WRITER writer;
};
UNDO_STATE state;

double now_seconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void observe(const DOOR_CHANGE& c) {
    if (state.screen == nullptr || state.muted || state.applying || std::this_thread::get_id() != state.thread)
        return;
    EDIT e;
    e.change = c;
    state.history.record(e, state.source, state.gesture, now_seconds());
}

int panel_index(const SCREEN& screen, const OBJET* panel) {
    for (size_t i = 0; i < screen.panels.size(); ++i)
        if (screen.panels[i] == panel) return static_cast<int>(i);
    return -1;
}

void record_panel(const SCREEN& screen, const PANEL_EDIT& p) {
    if (state.screen != &screen || p.panel < 0) return;
    EDIT e;
    e.is_panel = true;
    e.panel = p;
    state.history.record(e, SOURCE_PANEL, state.gesture, now_seconds());
}

bool apply_change(const DOOR_CHANGE& c) {
    if (generator == nullptr) return false;
    DOOR door(*generator);
    if (!c.is_link) return door.set(c.module, c.key.c_str(), c.new_value);
    LINK_PORT port;
    int channel = 0;
    if (!link_port_of(c.key, port, channel)) return false;
    if (c.slot_change > 0) return door.add_channel(c.module, c.new_producer) == channel;
    if (c.slot_change < 0) return door.remove_channel(c.module, channel);
    if (c.new_producer.module != nullptr) return door.connect(c.module, port, c.new_producer, channel);
    return door.disconnect(c.module, port, channel);
}

void apply_panel(SCREEN& screen, const PANEL_EDIT& p) {
    if (p.panel < 0 || p.panel >= static_cast<int>(screen.panels.size())) return;
    OBJET& panel = *screen.panels[p.panel];
    panel.x = p.new_x;
    panel.y = p.new_y;
    panel.changed = 1;
    panel.dirty = 1;
    // The cable view shows every back side; a fold there would be lost on the way back anyway.
    if (!screen.cable_view && p.old_mode != p.new_mode) panel.set_mode(p.new_mode);
    screen.cable_rebuild = 1;
}

// Builds the panel of a module again from the module, in the old one's place and mode, so
// its labels, knobs and lamps show what the door set.
void show_module_again(SCREEN& screen, const void* module) {
    for (size_t i = 0; i < screen.panels.size(); ++i) {
        auto* old = dynamic_cast<MODULE_PANEL*>(screen.panels[i]);
        if (old == nullptr || old->edited_module != module) continue;
        OBJET* fresh = build_panel(old->kind, old->prefix, old->edited_module);
        if (fresh == nullptr) return;
        fresh->set_position(old->x, old->y, old->z);
        if (screen.cable_view) fresh->set_mode(MODE_BACK);
        else if (old->mode == MODE_FOLDED) fresh->set_mode(MODE_FOLDED);
        fresh->update();
        fit_to_background(*fresh);
        mark_all(*fresh, 1);
        for (OBJET*& p : screen.sequencer_panels)
            if (p == old) p = fresh;
        if (screen.info_dash && screen.info_dash->shown_panel == old) show_panel_info(*screen.info_dash, fresh);
        screen.panels[i] = fresh;
        delete old;
        return;
    }
}

void apply_step(SCREEN& screen, const HISTORY_STEP& step, bool redo) {
    std::set<const void*> modules;
    std::string line = redo ? "Redo: " : "Undo: ";
    state.applying = true;
    const size_t n = step.edits.size();
    for (size_t k = 0; k < n; ++k) {
        const EDIT e = redo ? step.edits[k] : reversed(step.edits[n - 1 - k]);
        if (k > 0) line += "; ";
        line += describe_edit(e);
        if (e.is_panel) {
            apply_panel(screen, e.panel);
            continue;
        }
        apply_change(e.change);
        modules.insert(e.change.module.module);
        if (e.change.is_link) screen.cable_rebuild = 1;
    }
    state.applying = false;
    if (!modules.empty()) {
        // Every pointer into the panels rebuilt is forgotten; the pointer itself stays.
        const int x = screen.interaction.pointer_x, y = screen.interaction.pointer_y;
        reset_interaction(screen);
        screen.interaction.pointer_x = x;
        screen.interaction.pointer_y = y;
        for (const void* m : modules)
            show_module_again(screen, m);
        reset_cable_view(screen);
    }
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void write_recovery(bool at_once) {
    std::string text;
    if (generator == nullptr || state.recovery_path.empty() || !patch_text(*generator, text)) return;
    if (at_once) {
        if (state.writer.write_now(text, state.recovery_path))
            std::printf("Recovery copy saved to %s\n", state.recovery_path.c_str());
        std::fflush(stdout);
    } else {
        state.writer.start(std::move(text), state.recovery_path);
    }
}

} // namespace

bool link_port_of(const std::string& text, LINK_PORT& port, int& channel) {
    static const LINK_PORT ports[] = {LINK_IN,       LINK_GATE,      LINK_SYNC,   LINK_MOD_FREQ,
                                      LINK_MOD_PHASE, LINK_MOD_AMP, LINK_MOD_PWM};
    for (LINK_PORT p : ports)
        if (text == link_port_text(p, 0)) {
            port = p;
            channel = 0;
            return true;
        }
    int n = 0, used = 0;
    if (std::sscanf(text.c_str(), "CHANNEL_%d%n", &n, &used) == 1 && used == static_cast<int>(text.size()) &&
        n >= 0 && n < MIXER_SLOTS) {
        port = LINK_CHANNEL;
        channel = n;
        return true;
    }
    return false;
}

void start_undo(SCREEN& screen, const char* patch_path, const std::string& recovery_path) {
    state.screen = &screen;
    state.thread = std::this_thread::get_id();
    if (state.observer == 0) state.observer = door_observers().add(observe);
    undo_patch_loaded(patch_path, recovery_path);
}

void stop_undo() {
    state.writer.wait();
    if (state.observer != 0) door_observers().remove(state.observer);
    state.observer = 0;
    state.screen = nullptr;
    state.history.clear();
    state.requests.clear();
}

void undo_patch_loaded(const char* patch_path, const std::string& recovery_path) {
    state.history.clear();
    state.requests.clear();
    state.grabbed = nullptr;
    state.patch_path = patch_path != nullptr ? patch_path : "";
    state.recovery_path = recovery_path;
    state.shown_marker = -1;
    state.was_modified = false;
}

void undo_patch_saved() {
    state.history.mark_saved();
}

bool patch_modified() {
    return state.history.modified();
}

void undo_mute(bool muted) {
    state.muted = muted;
}

void undo_begin_gesture() {
    ++state.gesture;
}

UNDO_SOURCE::UNDO_SOURCE(EDIT_SOURCE source) : saved_(state.source) {
    state.source = source;
}

UNDO_SOURCE::~UNDO_SOURCE() {
    state.source = saved_;
}

void undo_grab_panel(const SCREEN& screen, const OBJET* panel) {
    state.grabbed = panel_index(screen, panel) >= 0 ? panel : nullptr;
    if (state.grabbed == nullptr) return;
    state.grab_x = panel->x;
    state.grab_y = panel->y;
}

void undo_release_panel(const SCREEN& screen) {
    const OBJET* panel = state.grabbed;
    state.grabbed = nullptr;
    const int i = panel_index(screen, panel);
    if (i < 0 || (panel->x == state.grab_x && panel->y == state.grab_y)) return;
    PANEL_EDIT p;
    p.panel = i;
    p.old_x = state.grab_x;
    p.old_y = state.grab_y;
    p.new_x = panel->x;
    p.new_y = panel->y;
    p.old_mode = p.new_mode = panel->mode;
    undo_begin_gesture();
    record_panel(screen, p);
}

void undo_record_fold(const SCREEN& screen, const OBJET* panel, uint32_t old_mode) {
    const int i = panel_index(screen, panel);
    const bool fold = (old_mode == MODE_FRONT || old_mode == MODE_FOLDED) &&
                      (panel->mode == MODE_FRONT || panel->mode == MODE_FOLDED) && panel->mode != old_mode;
    if (i < 0 || !fold) return;
    PANEL_EDIT p;
    p.panel = i;
    p.old_x = p.new_x = panel->x;
    p.old_y = p.new_y = panel->y;
    p.old_mode = old_mode;
    p.new_mode = panel->mode;
    undo_begin_gesture();
    record_panel(screen, p);
}

void undo_request(bool redo) {
    if (state.screen != nullptr) state.requests.push_back(redo);
}

int run_undo_requests(SCREEN& screen) {
    if (state.screen != &screen || state.requests.empty()) return 0;
    std::vector<bool> requests;
    requests.swap(state.requests);
    int ran = 0;
    for (bool redo : requests) {
        const HISTORY_STEP* step = redo ? state.history.redo() : state.history.undo();
        if (step == nullptr) {
            std::printf(redo ? "Nothing to redo\n" : "Nothing to undo\n");
            continue;
        }
        apply_step(screen, *step, redo);
        ran = 1;
    }
    // What followed the key belongs to the next press.
    undo_begin_gesture();
    std::fflush(stdout);
    return ran;
}

void undo_tick() {
    if (state.screen == nullptr) return;
    const bool modified = state.history.modified();
    const int marker = modified ? 1 : 0;
    if (marker != state.shown_marker) {
        const std::string shown = (modified ? "*" : "") + state.patch_path;
        char caption[1024];
        std::snprintf(caption, sizeof caption, CAPTION_FORMAT, shown.c_str());
        SDL_WM_SetCaption(caption, nullptr);
        state.shown_marker = marker;
    }
    const double now = now_seconds();
    if (modified && !state.was_modified) state.recovery_due = now + recovery_period_seconds();
    state.was_modified = modified;
    if (modified && now >= state.recovery_due && !state.writer.busy()) {
        write_recovery(false);
        state.recovery_due = now + recovery_period_seconds();
    }
}

void write_quit_recovery() {
    if (state.screen != nullptr && state.history.modified()) write_recovery(true);
}
