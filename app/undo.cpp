// Undo and redo in the window: recording, applying through the door, showing again, the
// caption's marker and the recovery copies.
#include "app/undo.h"

#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "app/recovery.h"
#include "app/screen.h"
#include "app/window_size.h"
#include "engine/generator.h"
#include "panels/module_panel.h"

namespace {

struct UNDO_STATE {
    UNDO_HISTORY history;
    SCREEN* screen = nullptr;
    int observer = 0;
    std::thread::id thread;
    bool muted = false;
    bool applying = false; // the history's own writes are not new steps
    EDIT_SOURCE source = SOURCE_OTHER;
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
    if (const auto* m = dynamic_cast<const MODULE_PANEL*>(screen.panels[p.panel])) e.panel.name = m->module_name();
    state.history.record(e, SOURCE_PANEL, state.gesture, now_seconds());
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

UNDO_HISTORY& undo_history() {
    return state.history;
}

std::vector<bool> take_undo_requests() {
    std::vector<bool> requests;
    if (state.screen != nullptr) requests.swap(state.requests);
    return requests;
}

void undo_applying(bool applying) {
    state.applying = applying;
}

bool undo_running_on(const SCREEN& screen) {
    return state.screen == &screen;
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
