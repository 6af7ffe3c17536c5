// Keyboard panel: construction from the module and its release handler.
#include "panels/keyboard_gui.h"

#include "panels/panel_door.h"
#include "panels/panel_steps.h"

#include <cstdio>
#include <cstring>

KEYBOARD_GUI::KEYBOARD_GUI(const char* number, KEYBOARD* keyboard)
    : MODULE_PANEL(KIND_KEYBOARD, number, keyboard), module(keyboard) {
    load_layouts();
    // The note name stands right of the octave arrows, clear of the laid-out items.
    auto* note = new LABEL("C4", 91, 43, 0, 8, 0);
    char name[PANEL_TEXT_SIZE + 16];
    std::snprintf(name, sizeof name, "%s_LABEL_NOTE", prefix);
    note->set_name(name);
    front.push_back(note);
    set_label("label_NAME", "%s", module->name);
    show_octave();
    show_state(button("POWER"), module->power);
    mark_all(*this, 1);
    update();
}

KEYBOARD_GUI::~KEYBOARD_GUI() = default;

void KEYBOARD_GUI::show_octave() {
    char tile[ITEM_NAME_SIZE];
    std::snprintf(tile, sizeof tile, "LED_NUMERIC_1_%d", module->octave + 1);
    show_image("SPRITE_OCT", tile);
    char text[NOTE_NAME_SIZE];
    shown_key = shared_load(module->key);
    shown_octave = module->octave;
    note_name(shown_key, shown_octave, text);
    set_label("LABEL_NOTE", "%s", text);
}

int KEYBOARD_GUI::update() {
    if (mode == MODE_FRONT) {
        for (size_t i = messages.size(); i-- > 0;) {
            const MESSAGE& m = messages[i];
            if (!is_release(m)) continue;
            const char* name = target_name(m);
            if (std::strstr(name, "POWER")) {
                if (BUTTON* b = button("POWER")) panel_put(module_ref(module), P_KEY_POWER, state_after_releases(*this, *b));
            }
            bool up = std::strstr(name, "BUTTON_OCT_UP") != nullptr;
            if (up || std::strstr(name, "BUTTON_OCT_DOWN")) {
                panel_put(module_ref(module), P_KEY_OCTAVE, keyboard_octave_step(module->octave, up));
                show_octave();
            }
        }
    }
    // The computer keyboard changes the key played without a message to the panel.
    if (current == &front && (shared_load(module->key) != shown_key || module->octave != shown_octave)) show_octave();
    return OBJET::update();
}
