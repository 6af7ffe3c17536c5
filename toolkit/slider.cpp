// Knobs: press, hover and step messages.
#include "toolkit/slider.h"

#include <cstdio>
#include <cstring>

SLIDER::SLIDER(const char* name, const char* image_name) : SPRITE("IMG_001", 100, 100) {
    set_name(name);
    std::snprintf(image, sizeof image, "%s", image_name ? image_name : "");
    if (std::snprintf(mask, sizeof mask, "%s_MASK", image) >= ITEM_NAME_SIZE) mask[ITEM_NAME_SIZE - 1] = '\0';
    update();
}

SLIDER::~SLIDER() = default;

int SLIDER::update() {
    drain([this](const MESSAGE& m) {
        if (m.kind == 1) {
            if (m.event_type() == EVENT_MOUSE_DOWN) pressed = 1;
            if (m.event_type() == EVENT_MOUSE_UP) pressed = 0;
        } else if (m.kind == 0) {
            if (std::strstr(m.text, "TOUCH_IN")) hover = 1;
            if (std::strstr(m.text, "TOUCH_OUT")) hover = 0;
            if (std::strstr(m.text, "SLD_DOWN")) ++angle;
            if (std::strstr(m.text, "SLD_UP")) --angle;
        }
    });
    return SPRITE::update();
}
