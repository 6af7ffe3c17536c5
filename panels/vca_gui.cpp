// Envelope panel: construction from the module and its message handler.
#include "panels/vca_gui.h"

#include "panels/panel_door.h"
#include "panels/panel_steps.h"

#include <cstring>

VCA_GUI::VCA_GUI(const char* number, VCA* envelope, bool items_now)
    : MODULE_PANEL(KIND_VCA, number, envelope), module(envelope), patch_sustain(envelope->SUSTAIN) {
    // The envelope keeps no sustain below 0.01 from the moment it has a panel, seen or not.
    panel_put(module_ref(envelope), P_VCA_SUSTAIN, vca_sustain_floor(envelope->SUSTAIN));
    finish_construction(items_now);
}

void VCA_GUI::build() {
    load_layouts();
    VCA& a = *module;
    set_label("label_NAME", "%s", a.name);
    set_label("LABEL_ATTACK", "%2.1f", static_cast<double>(a.ATTACK));
    set_label("LABEL_DECAY", "%2.1f", static_cast<double>(a.DECAY));
    // The text shows the value as the patch gave it, before the floor, unless it changed since.
    const float sustain = a.SUSTAIN == vca_sustain_floor(patch_sustain) ? patch_sustain : a.SUSTAIN;
    set_label("LABEL_SUSTAIN", "%2.2f", static_cast<double>(sustain));
    set_label("LABEL_RELEASE", "%2.1f", static_cast<double>(a.RELEASE));
    // The lamp is lit while the envelope shapes its input, that is while it is not bypassed.
    show_state(button("POWER"), shared_load(a.BYPASS) ? 0 : 1);
    mark_all(*this, 1);
    update();
}

VCA_GUI::~VCA_GUI() = default;

int VCA_GUI::update() {
    if (!items_made) return OBJET::update();
    if (mode == MODE_FRONT) {
        VCA& a = *module;
        for (size_t i = messages.size(); i-- > 0;) {
            const MESSAGE& m = messages[i];
            if (m.kind == 0) {
                bool down = is_sld_down(m);
                if (is_knob_step(m, "ATTACK")) {
                    panel_put(module_ref(&a), P_VCA_ATTACK, vca_time_step(a.ATTACK, down));
                    set_label("LABEL_ATTACK", "%4.1f", static_cast<double>(a.ATTACK));
                } else if (is_knob_step(m, "DECAY")) {
                    panel_put(module_ref(&a), P_VCA_DECAY, vca_time_step(a.DECAY, down));
                    set_label("LABEL_DECAY", "%4.1f", static_cast<double>(a.DECAY));
                } else if (is_knob_step(m, "SUSTAIN")) {
                    panel_put(module_ref(&a), P_VCA_SUSTAIN, vca_sustain_step(a.SUSTAIN, down));
                    set_label("LABEL_SUSTAIN", "%4.1f", static_cast<double>(a.SUSTAIN));
                } else if (is_knob_step(m, "RELEASE")) {
                    panel_put(module_ref(&a), P_VCA_RELEASE, vca_time_step(a.RELEASE, down));
                    set_label("LABEL_RELEASE", "%4.1f", static_cast<double>(a.RELEASE));
                }
            } else if (is_release(m) && std::strstr(target_name(m), "POWER")) {
                // The envelope sets its bypass again from its gate link on every sample.
                if (BUTTON* b = button("POWER")) panel_put(module_ref(&a), P_VCA_BYPASS, state_after_releases(*this, *b) ? 0 : 1);
            }
        }
    }
    return OBJET::update();
}
