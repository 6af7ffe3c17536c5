// Undo and redo carried out on the window: each edit applied back through the door or onto the
// panel it moved, the panels of the modules changed built again, one console line per step.
#include "app/undo_apply.h"

#include <cstdio>
#include <set>
#include <string>

#include "app/cable_view.h"
#include "app/info_dash.h"
#include "app/panel_view.h"
#include "app/screen.h"
#include "app/undo.h"
#include "engine/generator.h"
#include "panels/build_panels.h"
#include "panels/module_panel.h"

namespace {

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
    undo_applying(true);
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
    undo_applying(false);
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

int run_undo_requests(SCREEN& screen) {
    if (!undo_running_on(screen)) return 0;
    const std::vector<bool> requests = take_undo_requests();
    if (requests.empty()) return 0;
    int ran = 0;
    for (bool redo : requests) {
        const HISTORY_STEP* step = redo ? undo_history().redo() : undo_history().undo();
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
