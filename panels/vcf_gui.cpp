// Filter panel: construction from the module and its message handler.
#include "panels/vcf_gui.h"

#include "panels/panel_door.h"
#include "panels/panel_steps.h"

#include <cstring>

VCF_GUI::VCF_GUI(const char* number, PCF* filter, bool items_now) : MODULE_PANEL(KIND_PCF, number, filter), module(filter) {
    finish_construction(items_now);
}

void VCF_GUI::build() {
    load_layouts();
    PCF& f = *module;
    if (SLIDER* k = knob("SLD_HICUTOFF")) k->angle = f.HICUT;
    if (SLIDER* k = knob("SLD_GAIN")) k->angle = knob_angle(f.GAIN);
    if (SLIDER* k = knob("SLD_LEVEL")) k->angle = knob_angle(f.AMOUNT);
    if (SLIDER* k = knob("SLD_QRATIO")) k->angle = knob_angle(f.Q);
    show_type();
    set_label("LABEL_HICUTOFF", "%d", f.HICUT);
    set_label("LABEL_GAIN", "%2.1f", static_cast<double>(f.GAIN));
    set_label("LABEL_QRATIO", "%2.1f", static_cast<double>(f.Q));
    set_label("LABEL_LEVEL", "%2.1f", static_cast<double>(f.AMOUNT));
    // A TYPE the panel has no name for (from a patch) shows its number.
    const int32_t type = shared_load(f.TYPE);
    if (!vcf_type_name(type)) set_label("LABEL_TYPE", "%d", type);
    set_label("label_NAME", "%s", f.name);
    show_state(button("POWER"), f.power);
    show_state(button("BYPASS"), f.BYPASS);
    mark_all(*this, 1);
    update();
}

VCF_GUI::~VCF_GUI() = default;

void VCF_GUI::show_type() {
    show_image("AFFICHAGE_TYPE_FILTRE", vcf_type_image(shared_load(module->TYPE)));
    if (const char* type_name = vcf_type_name(shared_load(module->TYPE))) set_label("LABEL_TYPE", "%8s", type_name);
}

int VCF_GUI::update() {
    if (!items_made) return OBJET::update();
    if (mode == MODE_FRONT) {
        PCF& f = *module;
        for (size_t i = messages.size(); i-- > 0;) {
            const MESSAGE& m = messages[i];
            if (m.kind == 0) {
                bool down = is_sld_down(m);
                if (is_knob_step(m, "HICUTOFF")) {
                    panel_put(module_ref(&f), P_PCF_HICUT, vcf_hicut_step(f.HICUT, down));
                    set_label("LABEL_HICUTOFF", "%4d", f.HICUT);
                } else if (is_knob_step(m, "GAIN")) {
                    panel_put(module_ref(&f), P_PCF_GAIN, vcf_gain_step(f.GAIN, down));
                    set_label("LABEL_GAIN", "%2.1f", static_cast<double>(f.GAIN));
                } else if (is_knob_step(m, "QRATIO")) {
                    panel_put(module_ref(&f), P_PCF_Q, vcf_q_step(f.Q, down));
                    set_label("LABEL_QRATIO", "%2.1f", static_cast<double>(f.Q));
                } else if (is_knob_step(m, "LEVEL")) {
                    panel_put(module_ref(&f), P_PCF_AMOUNT, vcf_level_step(f.AMOUNT, down));
                    set_label("LABEL_LEVEL", "%2.1f", static_cast<double>(f.AMOUNT));
                }
            } else if (is_release(m)) {
                const char* name = target_name(m);
                if (std::strstr(name, "POWER")) {
                    if (BUTTON* b = button("POWER")) panel_put(module_ref(&f), P_PCF_POWER, state_after_releases(*this, *b));
                } else if (std::strstr(name, "BYPASS")) {
                    if (BUTTON* b = button("BYPASS")) panel_put(module_ref(&f), P_PCF_BYPASS, state_after_releases(*this, *b));
                } else if (std::strstr(name, "AFFICHAGE_TYPE_FILTRE")) {
                    panel_put(module_ref(&f), P_PCF_TYPE, vcf_type_next(shared_load(f.TYPE)));
                    show_type();
                }
            }
        }
    }
    return OBJET::update();
}
