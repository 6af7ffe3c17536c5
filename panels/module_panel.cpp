// Module panels: layouts, checked lookups, record helpers.
#include "panels/module_panel.h"

#include <SDL.h>
#include <unistd.h>

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/data_dir.h"

MODULE_PANEL::MODULE_PANEL(MODULE_KIND module_kind, const char* number, void* module)
    : OBJET(0, 0, number), kind(module_kind), edited_module(module) {
    items_made = false;
    const MODULE_KIND_INFO& info = kind_info(kind);
    if (info.image_format) std::snprintf(image, sizeof image, info.image_format, prefix);
}

MODULE_PANEL::~MODULE_PANEL() = default;

void MODULE_PANEL::finish_construction(bool items_now) {
    if (items_now) make_items();
}

void MODULE_PANEL::make_items() {
    if (items_made) return;
    items_made = true;
    const float keep_x = x, keep_y = y;
    const uint32_t keep_mode = mode;
    std::vector<MESSAGE> waiting;
    waiting.swap(messages);
    // Layout items are placed relative to the panel's position when read: (0, 0) keeps them
    // relative to the panel, as drawing expects.
    x = y = 0;
    mode = MODE_FRONT;
    current = &front;
    build();
    messages.swap(waiting);
    // Items take their image's size when first drawn (labels that of their text); a panel made
    // out of view, for a cable to one of its jacks say, gives them that size now.
    for (ITEM_LIST* side : {&front, &back})
        for (SPRITE* item : *side)
            if (SDL_Surface* surface = dynamic_cast<LABEL*>(item) ? nullptr : item->get_surface()) {
                item->w = static_cast<float>(surface->w);
                item->h = static_cast<float>(surface->h);
            }
    x = keep_x;
    y = keep_y;
    if (keep_mode != MODE_FRONT) {
        mode = keep_mode;
        current = keep_mode == MODE_BACK ? &back : &front;
        fit_to_background(*this);
        mark_all(*this, 1);
        dirty = changed = 1;
    }
}

namespace {

// The size of the "IMAGE_FOND" a layout file gives, read into a scratch panel.
bool background_size(const char* layout, int16_t& w, int16_t& h) {
    if (!layout || access(data_path(layout).c_str(), R_OK) != 0) return false;
    OBJET scratch(0, 0, "0");
    load_layout(scratch, layout);
    SPRITE* background = find(scratch, "IMAGE_FOND");
    SDL_Surface* s = background ? background->get_surface() : nullptr;
    if (!s) return false;
    w = static_cast<int16_t>(s->w);
    h = static_cast<int16_t>(s->h);
    return true;
}

} // namespace

SIDE_SIZES kind_side_sizes(MODULE_KIND kind) {
    const MODULE_KIND_INFO& info = kind_info(kind);
    SIDE_SIZES s;
    s.known = background_size(info.front_layout, s.front_w, s.front_h) &&
              background_size(info.back_layout, s.back_w, s.back_h);
    return s;
}

bool MODULE_PANEL::leave_items_for_later(const SIDE_SIZES& s) {
    if (items_made) return false;
    if (!s.known) {
        make_items();
        return false;
    }
    front_w = s.front_w;
    front_h = s.front_h;
    back_w = s.back_w;
    back_h = s.back_h;
    fit_to_background(*this);
    return true;
}

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

bool lamps_out_of_date(const std::vector<OBJET*>& panels, int view_x, int view_y) {
    for (OBJET* p : panels) {
        if (!panel_visible(*p, view_x, view_y)) continue;
        if (auto* m = dynamic_cast<MODULE_PANEL*>(p))
            if (m->lamp_out_of_date()) return true;
    }
    return false;
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
