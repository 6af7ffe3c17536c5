// Labels: box sizing on change and text drawing.
#include "toolkit/label.h"

#include "toolkit/renderer.h"

#include <cstdio>
#include <cstring>

LABEL::LABEL(const char* label_text, int px, int py, int extra_value, int size_value, int color_value)
    : SPRITE("IMG_001", px, py), extra(extra_value), color(color_value), size(size_value) {
    std::snprintf(text, sizeof text, "%s", label_text ? label_text : "");
    z = 0;
    corner_origin = 1;
    dirty = 1;
    last_color = 0;
}

LABEL::~LABEL() = default;

int LABEL::update() {
    track_changes();
    if (std::strcmp(text, last_text) == 0 && color == last_color) return 0;
    std::snprintf(last_text, sizeof last_text, "%s", text);
    last_color = color;
    dirty = 1;
    // In 64 bits: a large nominal size times a long text would overflow 32.
    w = static_cast<float>((static_cast<int64_t>(size) * static_cast<int64_t>(std::strlen(text))) / 2);
    h = static_cast<float>(size);
    // The new box is the one seen, so the next update does not take it for a change.
    iw = static_cast<int32_t>(w);
    ih = static_cast<int32_t>(h);
    return 0;
}

void LABEL::draw() {
    RENDERER& r = renderer();
    r.set_color(static_cast<uint32_t>(color) & 0xFFFFFFu);
    float ty = corner_origin == 1 ? label_baseline(y) : y;
    r.print_label(x, ty, text);
    dirty = 0;
    r.set_color(0xFFFFFF);
}
