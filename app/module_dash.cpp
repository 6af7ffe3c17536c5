// The module dashboard: a panel built only from its layout file, redrawn on every drawn frame.
#include "app/module_dash.h"

#include "toolkit/layout.h"

MODULE_DASH::MODULE_DASH() : OBJET(0, 0, MODULE_DASH_PREFIX) {
    load_layout(*this, MODULE_DASH_LAYOUT);
    fit_to_background(*this);
    mark_all(*this, 1);
}

MODULE_DASH::~MODULE_DASH() = default;

int MODULE_DASH::update() {
    OBJET::update();
    dirty = 1;
    return 0;
}
