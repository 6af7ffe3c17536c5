// MIDI controllers and program changes on the main thread: binding, moving knobs, loading.
#include "app/midi_control.h"

#include <cstdio>

#include "app/panel_view.h"
#include "app/patch_swap.h"
#include "engine/generator.h"
#include "engine/midi_bindings.h"
#include "engine/midi_input.h"
#include "panels/panel_knobs.h"
#include "toolkit/objet.h"

namespace {

std::string param_name(const MODULE_REF& m, const PARAM_KEY& key) {
    return std::string(module_name(m)) + " " + param_key_text(key);
}

// The panel of the list editing the module, or null.
MODULE_PANEL* panel_of(const std::vector<OBJET*>& panels, const MODULE_REF& m) {
    for (OBJET* p : panels) {
        auto* panel = dynamic_cast<MODULE_PANEL*>(p);
        if (panel && panel->edited_module == m.module && panel->kind == m.kind) return panel;
    }
    return nullptr;
}

} // namespace

int midi_learn_key(SCREEN& screen, std::vector<OBJET*>& list) {
    INTERACTION& s = screen.interaction;
    const int i = panel_at(screen, list);
    if (i < 0 || generator == nullptr) return 0;
    auto* panel = dynamic_cast<MODULE_PANEL*>(list[static_cast<size_t>(i)]);
    if (!panel) return 0;
    SPRITE* item = item_at(*panel, static_cast<float>(s.pointer_x), static_cast<float>(s.pointer_y));
    PARAM_KEY key;
    if (!knob_param(*panel, item, key)) return 0;
    const MODULE_REF m{panel->kind, panel->edited_module};
    const std::string name = param_name(m, key);
    const bool armed = s.armed_module == m && s.armed_key.id == key.id && s.armed_key.row == key.row &&
                       s.armed_key.index == key.index;
    const int controller = bound_controller(*generator, m, key);
    if (armed || controller >= 0) {
        unbind_controller(*generator, m, key);
        if (armed) s.armed_module = MODULE_REF();
        if (controller >= 0)
            std::printf("%s no longer follows MIDI controller %d\n", name.c_str(), controller);
        else
            std::printf("%s no longer waits for a MIDI controller\n", name.c_str());
    } else {
        s.armed_module = m;
        s.armed_key = key;
        std::printf("%s waits for a MIDI controller: move one\n", name.c_str());
    }
    std::fflush(stdout);
    return FLAG_REDRAW;
}

MIDI_CONTROLS take_midi_controls(SCREEN* screen) {
    MIDI_CONTROLS done;
    MIDI_RING::EVENT e;
    while (midi_controls.pop(e)) {
        const MIDI_MESSAGE m = parse_midi(e.bytes, e.size);
        if (m.kind == MIDI_KIND::PROGRAM) {
            done.program = m.data1;
            continue;
        }
        if (m.kind != MIDI_KIND::CONTROL || generator == nullptr || !screen) continue;
        INTERACTION& s = screen->interaction;
        if (!s.armed_module.module) continue;
        bind_controller(*generator, s.armed_module, s.armed_key, m.data1);
        std::printf("%s follows MIDI controller %d\n", param_name(s.armed_module, s.armed_key).c_str(), m.data1);
        std::fflush(stdout);
        s.armed_module = MODULE_REF();
    }
    if (generator == nullptr) return done;
    // Only where each controller stopped matters to its knobs.
    static uint32_t seen[MIDI_CONTROLLERS] = {};
    for (int c = 0; c < MIDI_CONTROLLERS; ++c) {
        const uint32_t word = controller_word(c);
        if (word == seen[c]) continue;
        seen[c] = word;
        const int value = static_cast<int>(word & 127);
        done.moved += move_controller(*generator, c, value, [screen](const MODULE_REF& m, const PARAM_KEY& key) {
            if (!screen) return;
            if (MODULE_PANEL* panel = panel_of(screen->panels, m)) show_param(*panel, key);
        });
    }
    return done;
}

std::string program_patch(const std::vector<PATCH_CHOICE>& choices, int program) {
    if (program < 0 || program >= static_cast<int>(choices.size())) return "";
    return choices[static_cast<size_t>(program)].path;
}

int load_program(SCREEN* screen, int program) {
    const std::vector<PATCH_CHOICE> choices = patch_choices();
    const std::string path = program_patch(choices, program);
    if (path.empty()) {
        std::printf("MIDI program %d ignored: the patch list holds %zu patches\n", program, choices.size());
        std::fflush(stdout);
        return 0;
    }
    std::printf("MIDI program %d: load [%s]\n", program, choices[static_cast<size_t>(program)].name.c_str());
    int loaded = 0;
    if (screen) {
        loaded = load_patch_in_place(*screen, path.c_str());
    } else {
        const LOADED_PATCH patch = read_patch_apart(path.c_str());
        if (patch.graph) {
            delete swap_patch(patch);
            loaded = 1;
        }
    }
    if (loaded && !screen) std::printf("Playing [%s] - ESC to quit, s to save\n", path.c_str());
    std::fflush(stdout);
    return loaded;
}
