// Module panels: layouts, checked lookups, record helpers.
#include "panels/module_panel.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

MODULE_PANEL::MODULE_PANEL(MODULE_KIND module_kind, const char* number, void* module)
    : OBJET(0, 0, number), kind(module_kind), edited_module(module) {}

MODULE_PANEL::~MODULE_PANEL() = default;

void MODULE_PANEL::load_layouts() {
    const MODULE_KIND_INFO& info = kind_info(kind);
    if (info.image_format) std::snprintf(image, sizeof image, info.image_format, prefix);
    if (!info.front_layout) return;
    current = &back;
    load_layout(*this, info.back_layout);
    current = &front;
    load_layout(*this, info.front_layout);
}

void MODULE_PANEL::report_missing(const char* name, const char* wanted) {
    if (!reported.insert(name).second) return;
    if (wanted)
        std::printf("Missing %s [%s] in panel [%s]\n", wanted, name, image[0] ? image : prefix);
    else
        std::printf("Missing item [%s] in panel [%s]\n", name, image[0] ? image : prefix);
}

SPRITE* MODULE_PANEL::item(const char* name) {
    SPRITE* s = find(*this, name);
    if (!s) report_missing(name, nullptr);
    return s;
}

LABEL* MODULE_PANEL::label(const char* name) {
    SPRITE* s = find(*this, name);
    LABEL* l = dynamic_cast<LABEL*>(s);
    if (!l) report_missing(name, s ? "label" : nullptr);
    return l;
}

BUTTON* MODULE_PANEL::button(const char* name) {
    SPRITE* s = find(*this, name);
    BUTTON* b = dynamic_cast<BUTTON*>(s);
    if (!b) report_missing(name, s ? "button" : nullptr);
    return b;
}

SLIDER* MODULE_PANEL::knob(const char* name) {
    SPRITE* s = find(*this, name);
    SLIDER* k = dynamic_cast<SLIDER*>(s);
    if (!k) report_missing(name, s ? "knob" : nullptr);
    return k;
}

void MODULE_PANEL::set_label(const char* name, const char* format, ...) {
    LABEL* l = label(name);
    if (!l) return;
    va_list args;
    va_start(args, format);
    std::vsnprintf(l->text, sizeof l->text, format, args);
    va_end(args);
    l->dirty = 1;
}

void MODULE_PANEL::show_image(const char* name, const char* image_name) {
    SPRITE* s = item(name);
    if (!s) return;
    if (image_name) s->set_image(image_name);
    s->dirty = 1;
}

void MODULE_PANEL::show_state(BUTTON* b, int32_t state) {
    if (!b) return;
    b->state = state ? 1 : 0;
    b->set_image(b->state ? b->image_on : b->image_off);
    b->dirty = 1;
}

void MODULE_PANEL::show_state_after_releases(BUTTON* b, int32_t state) {
    if (!b) return;
    show_state(b, (state ? 1 : 0) ^ (pending_releases(*this, *b) % 2));
}

bool is_release(const MESSAGE& m) {
    return m.kind == 1 && m.event_type() == EVENT_MOUSE_UP;
}

bool is_knob_step(const MESSAGE& m, const char* word) {
    if (m.kind != 0 || !m.target) return false;
    if (!std::strstr(m.text, "SLD_DOWN") && !std::strstr(m.text, "SLD_UP")) return false;
    const char* name = m.target->name;
    return std::strstr(name, "SLD") && std::strstr(name, word);
}

bool is_sld_down(const MESSAGE& m) {
    return std::strstr(m.text, "SLD_DOWN") != nullptr;
}

const char* target_name(const MESSAGE& m) {
    return m.target ? m.target->name : "";
}

int pending_releases(const OBJET& panel, const BUTTON& b) {
    int releases = 0;
    for (const MESSAGE& m : panel.messages)
        if (m.target == &b && is_release(m)) ++releases;
    for (const auto& m : b.queue)
        if (is_release(*m)) ++releases;
    return releases;
}

int32_t state_after_releases(const OBJET& panel, const BUTTON& b) {
    int32_t state = b.state ? 1 : 0;
    return pending_releases(panel, b) % 2 ? 1 - state : state;
}

int numbered_name(const char* bare, const char* head, const char* tail) {
    size_t n = std::strlen(head);
    if (std::strncmp(bare, head, n) != 0) return -1;
    const char* p = bare + n;
    int value = 0, digits = 0;
    while (*p >= '0' && *p <= '9' && digits < 6) {
        value = value * 10 + (*p - '0');
        ++p;
        ++digits;
    }
    if (digits == 0 || std::strcmp(p, tail) != 0) return -1;
    return value;
}

int32_t knob_angle(float v) {
    if (std::isnan(v)) return 0;
    float t = std::trunc(v);
    if (t < -1e9f) return -1000000000;
    return t > 1e9f ? 1000000000 : static_cast<int32_t>(t);
}
