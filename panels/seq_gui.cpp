// Sequencer panel: generated step columns, the step refresh and the message handler.
#include "panels/seq_gui.h"

#include "panels/panel_door.h"
#include "panels/panel_steps.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int32_t INK_ACTIVE = 0x000000;
constexpr int32_t INK_INACTIVE = 0x808080;

SPRITE* digit(MODULE_PANEL& panel, const char* format, int n, int x, int y) {
    SPRITE* s = panel.add_item(new SPRITE("LED_NUMERIC_1_2", x, y), format, n);
    s->color_key = 0xFF00FF;
    s->color_key_enabled = 1;
    s->blend = 1;
    return s;
}

BUTTON* arrow(MODULE_PANEL& panel, const char* image_name, const char* format, int n, int x, int y,
              int key_enabled, int key) {
    BUTTON* b = panel.add_item(new BUTTON("ARROW", image_name, image_name, image_name), format, n);
    b->set_position(static_cast<float>(x), static_cast<float>(y), 0);
    b->color_key_enabled = key_enabled;
    b->color_key = key;
    b->blend = 0;
    b->scale = 1.0f;
    b->angle = 0;
    b->dirty = 1;
    return b;
}

} // namespace

SEQ_GUI::SEQ_GUI(const char* number, SEQUENCER* sequencer, bool items_now)
    : MODULE_PANEL(KIND_SEQUENCER, number, sequencer), module(sequencer) {
    finish_construction(items_now);
}

void SEQ_GUI::build() {
    load_layouts();
    set_label("label_NAME", "%s", module->name);
    show_dividers();
    set_label("LABEL_MAX_STEP", "%2d", module->NBR_STEP);
    show_state(button("POWER"), module->power);
    for (int u = 0; u < step_count; ++u)
        add_step_column(u);
    refresh_steps();
    show_lamps();
    mark_all(*this, 1);
    update();
}

SEQ_GUI::~SEQ_GUI() = default;

void SEQ_GUI::add_step_column(int u) {
    const int n = u + 1, cx = 20 * u;
    add_item(new LABEL("1.0", cx + 62, 125, 0, 8, 0), "%s_LABEL_TXT_%d_VOL", n);
    add_item(new LABEL("1.0", cx + 62, 155, 0, 8, 0), "%s_LABEL_TXT_%d_LENGHT", n);
    add_item(new SPRITE("LAMP_LED_1_1", cx + 65, 5, 1, 0, 0, 1.0f, 0, 0), "%s_LAMPE_STEP_%d", n);
    digit(*this, "%s_SPRITE_OCT_%d", n, cx + 70, 36);
    digit(*this, "%s_SPRITE_OCT_%d_0", n, cx + 61, 36);
    add_item(new LABEL("A3", cx + 62, 76, 0, 8, 0), "%s_LABEL_TXT_%d_NOTE", n);
    const struct {
        const char* format;
        const char* name;
        int y;
    } knobs[] = {{"%s_SLD_VOL_%d", "VOL", 106}, {"%s_SLD_LENGHT_%d", "LENGHT", 136}};
    for (const auto& k : knobs) {
        SLIDER* s = add_item(new SLIDER(k.name, "SLD"), k.format, n);
        s->set_position(static_cast<float>(cx + 62), static_cast<float>(k.y), 0);
        s->color_key_enabled = 1;
        s->color_key = 0;
        s->blend = 0;
    }
    arrow(*this, "BUTTONSTYLEA_0", "%s_BUTTON_OCT_%d_UP", n, cx + 65, 27, 1, 0xFF00FF);
    arrow(*this, "BUTTONSTYLEB_0", "%s_BUTTON_OCT_%d_DOWN", n, cx + 65, 53, 1, 0xFF00FF);
    arrow(*this, "BUTTONSTYLEA_0", "%s_BUTTON_NOTE_%d_UP", n, cx + 65, 64, 0, 1);
    arrow(*this, "BUTTONSTYLEB_0", "%s_BUTTON_NOTE_%d_DOWN", n, cx + 65, 91, 0, 1);
    BUTTON* mute =
        add_item(new BUTTON("BYPASS", "LAMP_LED_2_1", "0", "LAMP_LED_2_0"), "%s_BUTTON_BYPASS_%d", n);
    mute->set_position(static_cast<float>(cx + 65), 15, 0);
    mute->color_key_enabled = 0;
    mute->color_key = 1;
    mute->blend = 0;
    mute->scale = 1.4f;
    mute->angle = 0;
    mute->dirty = 1;
}

void SEQ_GUI::show_digits(const char* item_format, int n, int set, int32_t v) {
    char name[ITEM_NAME_SIZE], tile[ITEM_NAME_SIZE];
    std::snprintf(name, sizeof name, item_format, n);
    std::snprintf(tile, sizeof tile, "LED_NUMERIC_%d_%d", set, digit_units_image(v));
    show_image(name, tile);
    std::strncat(name, "_0", sizeof name - std::strlen(name) - 1);
    std::snprintf(tile, sizeof tile, "LED_NUMERIC_%d_%d", set, digit_tens_image(v));
    show_image(name, tile);
}

void SEQ_GUI::show_note(int n, bool active, int32_t note, int32_t octave) {
    char name[ITEM_NAME_SIZE], text[NOTE_NAME_SIZE];
    std::snprintf(name, sizeof name, "LABEL_TXT_%d_NOTE", n);
    note_name(note, octave, text);
    set_label(name, "%s", text);
    if (auto* label = dynamic_cast<LABEL*>(find(*this, name))) label->color = active ? INK_ACTIVE : INK_INACTIVE;
}

void SEQ_GUI::refresh_step(int i) {
    SEQUENCER& s = *module;
    const int p = seq_row(shared_load(s.pattern)), n = i + 1;
    const bool active = i < s.NBR_STEP;
    char name[ITEM_NAME_SIZE];

    std::snprintf(name, sizeof name, "SLD_VOL_%d", n);
    if (SLIDER* k = knob(name)) k->angle = knob_angle(s.step_volume[p][i]);
    std::snprintf(name, sizeof name, "SLD_LENGHT_%d", n);
    if (SLIDER* k = knob(name)) k->angle = knob_angle(s.step_length[p][i]);

    const struct {
        const char* format;
        float value;
    } labels[] = {{"LABEL_TXT_%d_VOL", s.step_volume[p][i]}, {"LABEL_TXT_%d_LENGHT", s.step_length[p][i]}};
    for (const auto& l : labels) {
        std::snprintf(name, sizeof name, l.format, n);
        set_label(name, "%2.1f", static_cast<double>(l.value));
        if (auto* text = dynamic_cast<LABEL*>(find(*this, name)))
            text->color = active ? INK_ACTIVE : INK_INACTIVE;
    }

    const int set = active ? 1 : 2;
    show_note(n, active, s.step_note[p][i], s.step_octave[p][i]);
    show_digits("SPRITE_OCT_%d", n, set, s.step_octave[p][i]);

    std::snprintf(name, sizeof name, "BUTTON_BYPASS_%d", n);
    if (auto* b = dynamic_cast<BUTTON*>(find_button(*this, name)))
        show_state_after_releases(b, s.step_bypass[p][i] != 0 ? 1 : 0);
    else
        report_missing(name, nullptr);
}

void SEQ_GUI::refresh_steps() {
    for (int i = 0; i < step_count; ++i)
        refresh_step(i);
}

void SEQ_GUI::show_lamps() {
    char name[ITEM_NAME_SIZE];
    for (int i = 0; i < step_count; ++i) {
        std::snprintf(name, sizeof name, "LAMPE_STEP_%d", i + 1);
        if (SPRITE* lamp = item(name)) lamp->set_image(i == shared_load(module->step) ? "LAMP_LED_1_1" : "LAMP_LED_1_0");
    }
}

void SEQ_GUI::show_dividers() {
    set_label("LABEL_DIVIDER", "%3.3f", static_cast<double>(shared_load(module->DIVIDER)));
    set_label("LABEL_WISHED_DIVIDER", "%3.3f", static_cast<double>(module->next_divider));
}

void SEQ_GUI::handle_release(const MESSAGE& m) {
    SEQUENCER& s = *module;
    const char* name = target_name(m);
    if (std::strstr(name, "POWER")) {
        if (BUTTON* b = button("POWER")) panel_put(module_ref(&s), P_SEQ_POWER, state_after_releases(*this, *b));
    }
    if (std::strstr(name, "BUTTON_PATTERN")) {
        int32_t pattern = seq_pattern_of(name);
        if (pattern >= 0) panel_put(module_ref(&s), P_SEQ_WISHED_PATTERN, pattern);
    }
    if (std::strstr(name, "DIVIDER")) {
        if (std::strstr(name, "BUTTON_DIVIDER_UP"))
            panel_put(module_ref(&s), P_SEQ_WISHED_TEMPO, seq_divider_step(s.next_divider, true));
        if (std::strstr(name, "BUTTON_DIVIDER_DOWN"))
            panel_put(module_ref(&s), P_SEQ_WISHED_TEMPO, seq_divider_step(s.next_divider, false));
        show_dividers();
    }
    if (std::strstr(name, "MAX_STEP")) {
        if (std::strstr(name, "BUTTON_MAX_STEP_UP")) panel_put(module_ref(&s), P_SEQ_NBR_STEP, seq_max_step(s.NBR_STEP, true));
        if (std::strstr(name, "BUTTON_MAX_STEP_DOWN"))
            panel_put(module_ref(&s), P_SEQ_NBR_STEP, seq_max_step(s.NBR_STEP, false));
        set_label("LABEL_MAX_STEP", "%2d", s.NBR_STEP);
        refresh_steps();
    }

    const char* bare = skip_prefix(name);
    const int p = seq_row(shared_load(s.pattern));
    int n;
    if ((n = numbered_name(bare, "BUTTON_BYPASS_", "")) >= 1 && n <= step_count) {
        // The step's mute toggles once per release; the button, which toggles itself on the
        // same release, is set so that it then shows the mute.
        panel_put(module_ref(&s), P_SEQ_BYPASS, s.step_bypass[p][n - 1] != 0 ? 0 : 1, p, n - 1);
        show_state_after_releases(dynamic_cast<BUTTON*>(m.target), s.step_bypass[p][n - 1]);
        return;
    }
    // Octave and note buttons: "BUTTON_OCT_<n>_UP", "BUTTON_NOTE_<n>_DOWN" and so on.
    for (bool up : {true, false}) {
        const char* tail = up ? "_UP" : "_DOWN";
        if ((n = numbered_name(bare, "BUTTON_OCT_", tail)) >= 1 && n <= step_count) {
            const int32_t octave = seq_octave_step(s.step_octave[p][n - 1], s.step_note[p][n - 1], up);
            panel_put(module_ref(&s), P_SEQ_OCTAVE, octave, p, n - 1);
            show_digits("SPRITE_OCT_%d", n, n - 1 < s.NBR_STEP ? 1 : 2, s.step_octave[p][n - 1]);
            show_note(n, n - 1 < s.NBR_STEP, s.step_note[p][n - 1], s.step_octave[p][n - 1]);
            return;
        }
        if ((n = numbered_name(bare, "BUTTON_NOTE_", tail)) >= 1 && n <= step_count) {
            const int32_t note = seq_note_step(s.step_note[p][n - 1], s.step_octave[p][n - 1], up);
            panel_put(module_ref(&s), P_SEQ_NOTE, note, p, n - 1);
            show_note(n, n - 1 < s.NBR_STEP, s.step_note[p][n - 1], s.step_octave[p][n - 1]);
            return;
        }
    }
}

void SEQ_GUI::handle_knob(const MESSAGE& m) {
    SEQUENCER& s = *module;
    const char* bare = skip_prefix(target_name(m));
    const bool down = is_sld_down(m);
    const int p = seq_row(shared_load(s.pattern));
    char name[ITEM_NAME_SIZE];
    int n;
    if ((n = numbered_name(bare, "SLD_VOL_", "")) >= 1 && n <= step_count) {
        panel_put(module_ref(&s), P_SEQ_VOLUME, seq_volume_step(s.step_volume[p][n - 1], down), p, n - 1);
        std::snprintf(name, sizeof name, "LABEL_TXT_%d_VOL", n);
        set_label(name, "%2.1f", static_cast<double>(s.step_volume[p][n - 1]));
    } else if ((n = numbered_name(bare, "SLD_LENGHT_", "")) >= 1 && n <= step_count) {
        panel_put(module_ref(&s), P_SEQ_LENGHT, seq_length_step(s.step_length[p][n - 1], down), p, n - 1);
        std::snprintf(name, sizeof name, "LABEL_TXT_%d_LENGHT", n);
        set_label(name, "%2.1f", static_cast<double>(s.step_length[p][n - 1]));
    }
}

int SEQ_GUI::update() {
    if (!items_made) return OBJET::update();
    if (mode == MODE_FRONT) {
        show_lamps();
        for (size_t i = messages.size(); i-- > 0;) {
            const MESSAGE& m = messages[i];
            if (m.kind == 1 && m.event_type() == EVENT_USER) {
                // A pattern has just begun: its steps may come from another pattern row.
                if (shared_load(module->step) == 0) refresh_steps();
            } else if (is_release(m)) {
                handle_release(m);
            } else if (m.kind == 0 && m.target &&
                       (std::strstr(m.text, "SLD_DOWN") || std::strstr(m.text, "SLD_UP"))) {
                handle_knob(m);
            }
        }
    }
    return OBJET::update();
}
