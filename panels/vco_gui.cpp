// Oscillator panel: construction from the module and its message handler.
#include "panels/vco_gui.h"

#include "panels/panel_door.h"
#include "panels/panel_steps.h"

#include <cstring>

VCO_GUI::VCO_GUI(const char* number, VCO* oscillator, bool items_now) : MODULE_PANEL(KIND_VCO, number, oscillator), module(oscillator) {
    finish_construction(items_now);
}

void VCO_GUI::build() {
    load_layouts();
    VCO& o = *module;
    if (SLIDER* k = knob("SLD_FREQUENCE")) k->angle = knob_angle(o.FREQ);
    if (SLIDER* k = knob("SLD_VOLUME")) k->angle = knob_angle(o.AMOUNT);
    if (SLIDER* k = knob("SLD_PHASE")) k->angle = knob_angle(o.PHASE);
    if (SLIDER* k = knob("SLD_PWM")) k->angle = knob_angle(o.PWM);
    set_label("LABEL_FREQUENCE", "%5.3f", static_cast<double>(o.FREQ));
    set_label("LABEL_VOLUME", "%5.3f", static_cast<double>(o.AMOUNT));
    set_label("LABEL_PHASE", "%3.0f", static_cast<double>(o.PHASE));
    set_label("label_NAME", "%s", o.name);
    set_label("LABEL_PWM", "%5.3f", static_cast<double>(o.PWM));
    show_state(button("POWER"), o.power);
    show_image("AFFICHAGE_TYPE_ONDE", vco_type_image(o.TYPE));
    mark_all(*this, 1);
    update();
}

VCO_GUI::~VCO_GUI() = default;

int VCO_GUI::update() {
    if (!items_made) return OBJET::update();
    if (mode == MODE_FRONT) {
        VCO& o = *module;
        for (size_t i = messages.size(); i-- > 0;) {
            const MESSAGE& m = messages[i];
            if (m.kind == 0) {
                bool down = is_sld_down(m);
                if (is_knob_step(m, "FREQUENCE")) {
                    panel_put(module_ref(&o), P_VCO_FREQ, vco_freq_step(o.FREQ, down));
                    set_label("LABEL_FREQUENCE", "%5.3f", static_cast<double>(o.FREQ));
                } else if (is_knob_step(m, "VOLUME")) {
                    panel_put(module_ref(&o), P_VCO_AMOUNT, vco_amount_step(o.AMOUNT, down));
                    set_label("LABEL_VOLUME", "%5.3f", static_cast<double>(o.AMOUNT));
                } else if (is_knob_step(m, "PWM")) {
                    panel_put(module_ref(&o), P_VCO_PWM, vco_freq_step(o.PWM, down));
                    set_label("LABEL_PWM", "%5.3f", static_cast<double>(o.PWM));
                } else if (is_knob_step(m, "PHASE")) {
                    panel_put(module_ref(&o), P_VCO_PHASE, vco_phase_step(o.PHASE, down));
                    set_label("LABEL_PHASE", "%d", static_cast<int>(o.PHASE));
                    // The phase knob does not turn: its step is taken here and not handed on.
                    messages.erase(messages.begin() + static_cast<long>(i));
                }
            } else if (is_release(m)) {
                const char* name = target_name(m);
                if (std::strstr(name, "POWER")) {
                    if (BUTTON* b = button("POWER")) panel_put(module_ref(&o), P_VCO_POWER, state_after_releases(*this, *b));
                } else if (std::strstr(name, "AFFICHAGE_TYPE_ONDE")) {
                    panel_put(module_ref(&o), P_VCO_TYPE, vco_type_next(o.TYPE));
                    show_image("AFFICHAGE_TYPE_ONDE", vco_type_image(o.TYPE));
                }
            }
        }
    }
    return OBJET::update();
}
