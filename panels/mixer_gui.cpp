// Mixer panel: generated channel groups and the per-frame reading of knobs and mutes.
#include "panels/mixer_gui.h"

#include "panels/panel_door.h"
#include "panels/panel_steps.h"

#include <cstdio>
#include <cstring>

namespace {

// Channels stand in three columns of seven rows.
constexpr int CHANNEL_X[3] = {72, 162, 252};
constexpr int CHANNEL_Y[7] = {73, 91, 109, 127, 145, 163, 181};

// A mute of exactly 1.0 silences a slot.
bool muted(float mute) {
    return mute == 1.0f;
}

} // namespace

MIXER_GUI::MIXER_GUI(const char* number, MIXER* mixer, bool items_now) : MODULE_PANEL(KIND_MIXER, number, mixer), module(mixer) {
    finish_construction(items_now);
}

void MIXER_GUI::build() {
    load_layouts();
    for (int n = 1; n <= MIXER_PANEL_CHANNELS; ++n)
        add_channel(n);
    set_label("label_NAME", "%s", module->name);
    show_state(button("POWER"), module->enabled);
    fit_to_background(*this);
    mark_all(*this, 1);
    update();
}

MIXER_GUI::~MIXER_GUI() = default;

void MIXER_GUI::add_channel(int n) {
    const int x = CHANNEL_X[(n - 1) / 7], y = CHANNEL_Y[(n - 1) % 7];
    const float level = module->level[n - 1];

    SLIDER* k = add_item(new SLIDER("VOL", "SLD"), "%s_SLD_CANAL_%d", n);
    k->set_position(static_cast<float>(x - 22), static_cast<float>(y - 6), 0);
    k->color_key_enabled = 1;
    k->color_key = 0;
    k->blend = 0;
    k->scale = 0.75f;
    // The knob starts where the level is, so that grabbing it does not jump the level.
    k->angle = mixer_angle_of_level(level);

    char text[16];
    std::snprintf(text, sizeof text, "%2.1f", static_cast<double>(level));
    add_item(new LABEL(text, x, y, 0, 8, 0), "%s_LABEL_CANAL_%d", n);
    std::snprintf(text, sizeof text, "%d", n);
    add_item(new LABEL(text, x - 50, y, 0, 8, 0), "%s_LABEL_CANAL_%d_TXT", n);

    BUTTON* b = add_item(new BUTTON("MUTE", "CHK_4_ON", "0", "CHK_4_OFF"), "%s_BYPASS_CANAL_%d", n);
    b->set_position(static_cast<float>(x - 40), static_cast<float>(y - 5), 0);
    b->color_key_enabled = 1;
    b->color_key = 0;
    b->blend = 0;
    b->scale = 0.75f;
    b->angle = 0;
    show_state(b, muted(module->mute[n - 1]));
}

int MIXER_GUI::update() {
    if (!items_made) return OBJET::update();
    if (mode == MODE_FRONT) {
        MIXER& mx = *module;
        char name[ITEM_NAME_SIZE];
        for (int n = 1; n <= MIXER_PANEL_CHANNELS; ++n) {
            std::snprintf(name, sizeof name, "SLD_CANAL_%d", n);
            if (SLIDER* k = knob(name)) {
                if (k->pressed) panel_put(module_ref(&mx), P_MIX_LEVEL, mixer_level_of_angle(k->angle), 0, n - 1);
            }
            std::snprintf(name, sizeof name, "LABEL_CANAL_%d", n);
            set_label(name, "%2.1f", static_cast<double>(mx.level[n - 1]));
            std::snprintf(name, sizeof name, "BYPASS_CANAL_%d", n);
            if (BUTTON* b = button(name)) {
                // Written only when the button disagrees, so a patch's other mute values stay.
                if ((b->state != 0) != muted(mx.mute[n - 1]))
                    panel_put(module_ref(&mx), P_MIX_MUTE, b->state ? 1.0f : 0.0f, 0, n - 1);
            }
        }
        for (size_t i = messages.size(); i-- > 0;) {
            const MESSAGE& m = messages[i];
            if (is_release(m) && std::strstr(target_name(m), "POWER")) {
                if (BUTTON* b = button("POWER")) panel_put(module_ref(&mx), P_MIX_ENABLED, state_after_releases(*this, *b));
            }
        }
    }
    return OBJET::update();
}
