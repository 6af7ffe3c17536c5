// Keyboard panel: construction from the module and its release handler.
#include "panels/keyboard_gui.h"

#include "panels/panel_door.h"
#include "panels/panel_steps.h"

#include <climits>
#include <cstdio>
#include <cstring>

namespace {

// The lamp of no key shows no image: "0" names none, as in layout files.
const char* const NO_IMAGE = "0";

} // namespace

KEYBOARD_GUI::KEYBOARD_GUI(const char* number, KEYBOARD* keyboard, bool items_now)
    : MODULE_PANEL(KIND_KEYBOARD, number, keyboard), module(keyboard) {
    finish_construction(items_now);
}

void KEYBOARD_GUI::build() {
    load_layouts();
    // The note name stands right of the octave arrows, clear of the laid-out items.
    auto* note = new LABEL("C4", 91, 43, 0, 8, 0);
    char name[PANEL_TEXT_SIZE + 16];
    std::snprintf(name, sizeof name, "%s_LABEL_NOTE", prefix);
    note->set_name(name);
    front.push_back(note);
    set_label("label_NAME", "%s", module->name);
    auto* lamp = new SPRITE(NO_IMAGE, 0, 0);
    std::snprintf(name, sizeof name, "%s_LAMP_KEY", prefix);
    lamp->set_name(name);
    front.push_back(lamp);
    show_octave();
    show_lit_key();
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
    if (!items_made) return OBJET::update();
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
    if (current == &front && lit_key() != shown_lit) show_lit_key();
    return OBJET::update();
}

int32_t KEYBOARD_GUI::lit_key() const {
    // The computer keyboard, a MIDI note and a sampler's end write the gate on other threads.
    if (shared_load(module->gate) == 0) return NO_KEY;
    return shared_load(module->key);
}

void KEYBOARD_GUI::show_lit_key() {
    SPRITE* lamp = item("LAMP_KEY");
    if (!lamp) return;
    shown_lit = lit_key();
    if (shown_lit != NO_KEY) {
        const KEY_SPOT spot = key_spot(shown_lit);
        // The lamp's quad is centred on the middle of its 8 x 8 image, whatever its scale.
        lamp->set_position(spot.cx - 4, spot.cy - 4, 0);
        lamp->scale = spot.scale;
        lamp->set_image("LAMP_LED_1_1");
        std::snprintf(lamp->mask, sizeof lamp->mask, "%s", "LAMP_LED_1_MASK");
    } else {
        lamp->set_image(NO_IMAGE);
        lamp->mask[0] = '\0';
    }
    lamp->dirty = 1;
}

bool KEYBOARD_GUI::lamp_out_of_date() const {
    if (!items_made || current != &front) return false;
    return lit_key() != shown_lit || shared_load(module->key) != shown_key;
}

KEY_SPOT key_spot(int32_t key) {
    // White keys of an octave by semitone, and for a black key the white key left of it.
    static const int WHITE_OF[12] = {0, 0, 1, 1, 2, 3, 3, 4, 4, 5, 5, 6};
    static const bool BLACK[12] = {false, true, false, true, false, false, true, false, true, false, true, false};
    constexpr float LEFT = 8, WIDTH = 96.0f / 14, TOP = 70, HEIGHT = 13;
    int64_t s = static_cast<int64_t>(key) - 1;
    if (s < 0 || s >= 24) s = ((s % 12) + 12) % 12;
    const int octave = static_cast<int>(s / 12), note = static_cast<int>(s % 12);
    const int white = 7 * octave + WHITE_OF[note];
    if (BLACK[note]) {
        // Black keys stand on the line between two white keys, over their upper 60 %.
        return KEY_SPOT{LEFT + static_cast<float>(white + 1) * WIDTH, TOP + 0.3f * HEIGHT, 0.5f};
    }
    // White keys show their lamp below the black ones.
    return KEY_SPOT{LEFT + (static_cast<float>(white) + 0.5f) * WIDTH, TOP + 0.8f * HEIGHT, 0.625f};
}
