// The module dashboard: a panel built from its layout file, redrawn on every drawn frame, with
// the load meter's line.
#include "app/module_dash.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/info_dash.h"
#include "toolkit/layout.h"

std::string load_text(const LOAD_READING& r) {
    char text[64];
    std::snprintf(text, sizeof text, "DSP %d%% PEAK %d%% LATE %u", static_cast<int>(std::ceil(r.average * 100)),
                  static_cast<int>(std::ceil(r.peak * 100)), r.late);
    return text;
}

MODULE_DASH::MODULE_DASH() : OBJET(0, 0, MODULE_DASH_PREFIX) {
    load_layout(*this, MODULE_DASH_LAYOUT);
    // Under the key lines, in their grey.
    load_label = new LABEL("DSP 0% PEAK 0% LATE 0", 95, 101, 0, 8, 0xB0B0B0);
    load_label->set_name("59_LABEL_LOAD");
    front.push_back(load_label);
    fit_to_background(*this);
    mark_all(*this, 1);
}

MODULE_DASH::~MODULE_DASH() = default;

int MODULE_DASH::update() {
    OBJET::update();
    dirty = 1;
    return 0;
}

bool MODULE_DASH::show_load(const LOAD_READING& r) {
    const std::string text = load_text(r);
    if (std::strcmp(load_label->text, text.c_str()) == 0) return false;
    set_label_text(*load_label, text.c_str());
    load_label->dirty = 1;
    return true;
}
