// Keyboard panel: construction from the module and its release handler.
#include "panels/keyboard_gui.h"

#include "panels/panel_steps.h"

#include <cstdio>
#include <cstring>

KEYBOARD_GUI::KEYBOARD_GUI(const char* number, KEYBOARD* keyboard)
    : MODULE_PANEL(KIND_KEYBOARD, number, keyboard), module(keyboard) {
    load_layouts();
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
}

int KEYBOARD_GUI::update() {
    if (mode == MODE_FRONT) {
        for (size_t i = messages.size(); i-- > 0;) {
            const MESSAGE& m = messages[i];
            if (!is_release(m)) continue;
            const char* name = target_name(m);
            if (std::strstr(name, "POWER")) {
                if (BUTTON* b = button("POWER")) module->power = state_after_releases(*this, *b);
            }
            bool up = std::strstr(name, "BUTTON_OCT_UP") != nullptr;
            if (up || std::strstr(name, "BUTTON_OCT_DOWN")) {
                module->octave = keyboard_octave_step(module->octave, up);
                show_octave();
            }
        }
    }
    return OBJET::update();
}
