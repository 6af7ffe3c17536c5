// Buttons: press, release and hover messages, image choice.
#include "toolkit/button.h"

#include <cstdio>
#include <cstring>

void derive_button_mask(const char* image_on, char* out, int size) {
    out[0] = '\0';
    if (!image_on || !image_on[0]) return;
    const char* last = std::strrchr(image_on + 1, '_');
    if (!last) return;
    std::snprintf(out, size, "%.*sMASK", static_cast<int>(last - image_on + 1), image_on);
}

BUTTON::BUTTON(const char* name, const char* on, const char* hover, const char* off, const char* mask_name)
    : SPRITE("IMG_001", 100, 100) {
    set_name(name);
    std::snprintf(image, sizeof image, "%s", on ? on : "");
    std::snprintf(image_on, sizeof image_on, "%s", on ? on : "");
    std::snprintf(image_hover, sizeof image_hover, "%s", hover ? hover : "");
    std::snprintf(image_off, sizeof image_off, "%s", off ? off : "");
    if (mask_name)
        std::snprintf(mask, sizeof mask, "%s", mask_name);
    else
        derive_button_mask(image_on, mask, sizeof mask);
    update();
}

BUTTON::~BUTTON() = default;

int BUTTON::update() {
    int taken = drain([this](const MESSAGE& m) {
        if (m.kind == 1) {
            if (m.event_type() == EVENT_MOUSE_DOWN) {
                pressed = 1;
            } else if (m.event_type() == EVENT_MOUSE_UP) {
                pressed = 0;
                state = state ? 0 : 1;
            }
        } else if (m.kind == 0) {
            if (std::strstr(m.text, "TOUCH_IN")) hover = 1;
            if (std::strstr(m.text, "TOUCH_OUT")) hover = 0;
        }
    });
    if (taken > 0) {
        set_image(state ? image_on : image_off);
        if (hover == 1 && image_hover[0] != '0') set_image(image_hover);
    }
    return SPRITE::update();
}
