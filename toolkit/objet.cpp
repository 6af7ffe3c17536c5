// Panels: message routing, modes, lookups, hit testing and drawing.
#include "toolkit/objet.h"

#include "engine/verbose.h"
#include "toolkit/button.h"
#include "toolkit/camera.h"
#include "toolkit/label.h"
#include "toolkit/slider.h"

#include <SDL.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

OBJET::OBJET(int px, int py, const char* prefix_text) : SPRITE("IMG_001", px, py), current(&front) {
    if (!prefix_text) std::exit(1);
    w = h = 0;
    angle = 0;
    std::snprintf(prefix, sizeof prefix, "%s", prefix_text);
}

OBJET::~OBJET() {
    for (ITEM_LIST* list : {&front, &back, &spare})
        for (SPRITE* item : *list)
            delete item;
}

int OBJET::update() {
    // Records wait in the queue of a panel without items until it makes them.
    if (!items_made) return SPRITE::update();
    int taken = 0;
    while (!messages.empty()) {
        const MESSAGE& m = messages.back();
        if (!m.target) {
            if (m.event_type() != EVENT_USER) verbose_printf("ZZZ\n");
        } else if (auto* slider = dynamic_cast<SLIDER*>(m.target)) {
            slider->receive(m);
        } else if (auto* button = dynamic_cast<BUTTON*>(m.target)) {
            button->receive(m);
        }
        messages.pop_back();
        ++taken;
    }
    if (taken > 0) {
        for (SPRITE* item : *current) {
            if (item->dirty) {
                draw();
                break;
            }
        }
    }
    return SPRITE::update();
}

int OBJET::set_mode(uint32_t new_mode) {
    if (new_mode == 0) {
        mode = mode == MODE_FRONT ? MODE_FOLDED : MODE_FRONT;
        current = &front;
    } else if (new_mode == MODE_FRONT || new_mode == MODE_FOLDED) {
        mode = new_mode;
        current = &front;
    } else if (new_mode == MODE_BACK) {
        mode = new_mode;
        current = &back;
    }
    fit_to_background(*this);
    mark_all(*this, 1);
    if (items_made) draw();
    dirty = changed = 1;
    return 1;
}

void OBJET::draw() {
    make_items();
    if (w <= 0 || h <= 0) fit_to_background(*this);
    for (const char* background : {"FOND_MASK", "IMAGE_FOND"}) {
        SPRITE* item = find(*this, background);
        if (!item) continue;
        if (SDL_Surface* s = item->get_surface()) {
            item->w = static_cast<float>(s->w);
            item->h = static_cast<float>(s->h);
        }
        float keep_x = item->x, keep_y = item->y, keep_scale = item->scale;
        item->x += x;
        item->y += y;
        if (mode == MODE_FOLDED) {
            // Half size, moved so that the folded panel keeps its top-left corner.
            item->scale = 0.5f;
            item->x -= item->w / 4;
            item->y -= item->h / 4;
        }
        item->draw();
        item->x = keep_x;
        item->y = keep_y;
        item->scale = keep_scale;
    }
    bool drawn = false;
    for (SPRITE* item : *current) {
        last_visited = item;
        float keep_x = item->x, keep_y = item->y;
        item->update();
        if (item->dirty == 1 && mode != MODE_FOLDED) {
            if (auto* label = dynamic_cast<LABEL*>(item)) {
                // Text is placed in window pixels, so the scroll is taken off here.
                label->x = x + label->x - static_cast<float>(scroll_x);
                label->y = y + label->y - static_cast<float>(scroll_y);
                label->draw();
                drawn = true;
            } else if (!std::strstr(item->image, "FOND_MASK")) {
                item->x += x;
                item->y += y;
                item->draw();
                item->dirty = 0;
                drawn = true;
            }
        }
        item->x = keep_x;
        item->y = keep_y;
    }
    if (drawn) dirty = 1;
}

const char* skip_prefix(const char* name) {
    const char* p = name;
    while (*p >= '0' && *p <= '9') ++p;
    return p != name && *p == '_' ? p + 1 : name;
}

SPRITE* find(OBJET& panel, const char* name) {
    panel.make_items();
    const ITEM_LIST& list = *panel.current;
    for (size_t i = list.size(); i-- > 0;)
        if (std::strcmp(skip_prefix(list[i]->name), name) == 0) return list[i];
    return nullptr;
}

SPRITE* find_button(OBJET& panel, const char* name) {
    panel.make_items();
    const ITEM_LIST& list = *panel.current;
    for (size_t i = list.size(); i-- > 0;) {
        const char* full = list[i]->name;
        if (std::strstr(full, "BUTTON") && std::strcmp(skip_prefix(full), name) == 0) return list[i];
    }
    return nullptr;
}

int index_of(OBJET& panel, const SPRITE* item) {
    panel.make_items();
    const ITEM_LIST& list = *panel.current;
    int position = 0;
    for (size_t i = list.size(); i-- > 0;) {
        if (std::strstr(list[i]->name, "BACK")) continue;
        if (list[i] == item) return position;
        ++position;
    }
    return 0;
}

SPRITE* item_at(OBJET& panel, float px, float py) {
    // A panel whose items wait is made only when the point falls on it: a hit test walks
    // every panel, and those never shown keep waiting.
    if (!panel.items_made && !rect_contains(panel.x, panel.y, panel.w, panel.h, px, py)) return nullptr;
    panel.make_items();
    const ITEM_LIST& list = *panel.current;
    for (size_t i = list.size(); i-- > 0;) {
        SPRITE* item = list[i];
        if (dynamic_cast<LABEL*>(item)) continue;
        if (std::strstr(item->name, "BACK") || std::strstr(item->name, "FOND")) continue;
        float iw = item->w / panel.scale, ih = item->h / panel.scale;
        float qx = px, qy = py - panel.y;
        if (item->corner_origin == 0) {
            // A centred item: moving the point by half the size is moving the box back.
            qx += iw / 2;
            qy += ih / 2;
        }
        if (rect_contains(item->x + panel.x, item->y, iw, ih, qx, qy)) return item;
    }
    return nullptr;
}

void mark_all(OBJET& panel, int32_t value) {
    for (SPRITE* item : *panel.current)
        item->dirty = item->changed = value;
}

void post(OBJET& panel, const MESSAGE& record) {
    panel.messages.push_back(record);
}

void fit_to_background(OBJET& panel) {
    int16_t fw = static_cast<int16_t>(panel.w), fh = static_cast<int16_t>(panel.h);
    if (!panel.items_made) {
        const bool back = panel.current == &panel.back;
        fw = back ? panel.back_w : panel.front_w;
        fh = back ? panel.back_h : panel.front_h;
    } else if (SPRITE* background = find(panel, "IMAGE_FOND")) {
        if (SDL_Surface* s = background->get_surface()) {
            fw = static_cast<int16_t>(s->w);
            fh = static_cast<int16_t>(s->h);
        }
    }
    if (panel.mode == MODE_FRONT || panel.mode == MODE_BACK) {
        panel.w = fw;
        panel.h = fh;
    } else {
        panel.w = fw / 2;
        panel.h = fh / 2;
    }
}
