// The information dashboard: names the panel under the pointer, its kind and its display mode.
#include "app/info_dash.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "engine/module_kinds.h"
#include "panels/knob_reading.h"
#include "panels/module_panel.h"
#include "toolkit/layout.h"

namespace {

LABEL* add_label(OBJET& panel, const char* text, int extra, int size, int color, const char* name, float x,
                 float y) {
    auto* label = new LABEL(text, 5, 10, extra, size, color);
    label->set_name(name);
    label->set_position(x, y, 0);
    panel.front.push_back(label);
    return label;
}

} // namespace

INFO_DASH::INFO_DASH() : OBJET(0, 0, INFO_DASH_PREFIX) {
    load_layout(*this, INFO_DASH_LAYOUT);
    name_label = add_label(*this, "CIBLE_NAME", 216, INFO_NAME_SIZE, 0xFF00FF, "CIBLE_NAME", 80, 25);
    type_label = add_label(*this, "TYPE", 2, 14, 0, "LABEL_TYPE", 80, 45);
    mode_label = add_label(*this, "VIEW_MODE", 2, 14, 0, "LABEL_VM", 80, 65);
    fit_to_background(*this);
    mark_all(*this, 1);
}

INFO_DASH::~INFO_DASH() = default;

namespace {

// The reading of the shown control into the type row, when it changed.
void show_reading(INFO_DASH& info) {
    auto* panel = dynamic_cast<MODULE_PANEL*>(info.shown_panel);
    if (!panel || !info.shown_item) return;
    char text[LABEL_TEXT_SIZE];
    if (!knob_reading(panel->kind, panel->edited_module, skip_prefix(info.shown_item->name), text, sizeof text))
        return;
    if (std::strcmp(text, info.type_label->text) == 0) return;
    set_label_text(*info.type_label, text);
    info.type_label->dirty = 1;
    info.dirty = 1;
}

} // namespace

int INFO_DASH::update() {
    show_reading(*this);
    return OBJET::update();
}

int INFO_DASH::set_mode(uint32_t) {
    return 1;
}

size_t label_text_limit(int size) {
    if (size <= 0) return LABEL_TEXT_SIZE - 1;
    // size x n / 2 must stay within INT32_MAX, and the product itself is formed in 32 bits.
    const size_t limit = static_cast<size_t>(INT32_MAX) / static_cast<size_t>(size);
    return limit < LABEL_TEXT_SIZE - 1 ? limit : LABEL_TEXT_SIZE - 1;
}

void set_label_text(LABEL& label, const char* text) {
    const size_t limit = label_text_limit(label.size);
    size_t n = 0;
    while (n < limit && text[n] != '\0')
        ++n;
    std::memcpy(label.text, text, n);
    label.text[n] = '\0';
}

void show_panel_info(INFO_DASH& info, OBJET* panel) {
    info.dirty = 1;
    info.shown_panel = panel;
    info.shown_item = nullptr;
    if (!panel) return;
    char text[LABEL_TEXT_SIZE];
    std::snprintf(text, sizeof text, "%p %s", static_cast<void*>(panel), panel->image);
    set_label_text(*info.name_label, text);
    if (auto* module_panel = dynamic_cast<MODULE_PANEL*>(panel)) {
        set_label_text(*info.type_label, kind_info(module_panel->kind).class_word);
        set_label_text(*info.name_label, module_panel->module_name());
    }
    std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(panel->mode));
    set_label_text(*info.mode_label, text);
}

void show_item_info(INFO_DASH& info, OBJET* panel, SPRITE* item) {
    show_panel_info(info, panel);
    info.shown_item = panel ? item : nullptr;
    show_reading(info);
}

void clear_panel_info(INFO_DASH& info) {
    info.dirty = 1;
    info.shown_panel = nullptr;
    info.shown_item = nullptr;
}

void forget_panel_info(INFO_DASH& info) {
    clear_panel_info(info);
    for (LABEL* label : {info.name_label, info.type_label, info.mode_label}) {
        set_label_text(*label, "");
        label->dirty = 1;
    }
}
