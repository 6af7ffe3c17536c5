// Reading and writing layout files.
#include "toolkit/layout.h"

#include "toolkit/button.h"
#include "toolkit/label.h"
#include "toolkit/objet.h"
#include "toolkit/slider.h"
#include "platform/data_dir.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Values that a short or damaged element leaves unread keep these.
struct FIELDS {
    char name[ITEM_NAME_SIZE] = {};
    char image[ITEM_NAME_SIZE] = {};
    char second[ITEM_NAME_SIZE] = {};
    char third[ITEM_NAME_SIZE] = {};
    char text[LABEL_TEXT_SIZE] = {};
    int x = 0, y = 0, key_enabled = 0, key = 0, blend = 0, angle = 0, alpha = 255;
    int extra = 0, size = 0, color = 0;
    float scale = 1.0f;
};

void read_word(FILE* f, char* out) {
    std::fscanf(f, "%79s", out);
}
void read_text(FILE* f, char* out) {
    std::fscanf(f, "%799s", out);
}
void read_int(FILE* f, int& v) {
    std::fscanf(f, "%d", &v);
}
void read_float(FILE* f, float& v) {
    std::fscanf(f, "%f", &v);
}

void name_item(const OBJET& panel, SPRITE* item, const char* name) {
    char full[ITEM_NAME_SIZE];
    // Names longer than an item name are cut.
    if (std::snprintf(full, sizeof full, "%s_%s", panel.prefix, name) >= ITEM_NAME_SIZE)
        full[ITEM_NAME_SIZE - 1] = '\0';
    item->set_name(full);
}

SPRITE* read_sprite(FILE* f, const OBJET& panel) {
    FIELDS v;
    read_word(f, v.name);
    read_word(f, v.image);
    read_word(f, v.second);
    read_int(f, v.x);
    read_int(f, v.y);
    read_int(f, v.key_enabled);
    read_int(f, v.key);
    read_int(f, v.blend);
    read_float(f, v.scale);
    read_int(f, v.angle);
    read_int(f, v.alpha);
    auto* s = new SPRITE(v.image, v.x + static_cast<int>(panel.x), v.y + static_cast<int>(panel.y),
                         v.key_enabled, v.key, v.blend, v.scale, v.angle, v.alpha);
    if (v.second[0] != '0') std::snprintf(s->mask, sizeof s->mask, "%s", v.second);
    s->alpha = v.alpha;
    name_item(panel, s, v.name);
    return s;
}

// The position and drawing fields that buttons and knobs share, in their file order.
void read_placement(FILE* f, FIELDS& v) {
    read_int(f, v.x);
    read_int(f, v.y);
    read_int(f, v.key_enabled);
    read_int(f, v.key);
    read_int(f, v.blend);
    read_float(f, v.scale);
    read_int(f, v.angle);
}

void place(SPRITE* item, const FIELDS& v, float scale) {
    item->color_key_enabled = v.key_enabled;
    item->color_key = v.key;
    item->blend = v.blend;
    item->scale = scale;
    item->angle = v.angle;
    item->set_position(static_cast<float>(v.x), static_cast<float>(v.y), 0);
}

SPRITE* read_button(FILE* f, const OBJET& panel) {
    FIELDS v;
    read_word(f, v.name);
    read_word(f, v.image);  // on
    read_word(f, v.second); // off
    read_word(f, v.third);  // hover
    read_placement(f, v);
    auto* b = new BUTTON(v.name, v.image, v.third, v.second);
    place(b, v, v.scale);
    name_item(panel, b, v.name);
    return b;
}

SPRITE* read_slider(FILE* f, const OBJET& panel) {
    FIELDS v;
    read_word(f, v.name);
    read_word(f, v.image);
    read_placement(f, v);
    auto* s = new SLIDER(v.name, v.image);
    place(s, v, v.scale > 100.0f ? 1.0f : v.scale);
    name_item(panel, s, v.name);
    return s;
}

SPRITE* read_label(FILE* f, const OBJET& panel) {
    FIELDS v;
    read_word(f, v.name);
    read_text(f, v.text);
    read_int(f, v.x);
    read_int(f, v.y);
    read_int(f, v.extra);
    read_int(f, v.size);
    read_int(f, v.color);
    auto* l = new LABEL(v.text, v.x, v.y, v.extra, v.size, v.color);
    l->set_position(static_cast<float>(v.x), static_cast<float>(v.y), 0);
    name_item(panel, l, v.name);
    return l;
}

void write_item(FILE* f, SPRITE* item, int cut) {
    const char* name = item->name + cut;
    int x = static_cast<int>(item->x), y = static_cast<int>(item->y);
    if (auto* l = dynamic_cast<LABEL*>(item)) {
        std::fprintf(f, "LABEL\t%s\t%s\t%d\t%d\t%d\t%d\t%d\t\r\n", name, l->text, x, y, l->extra, l->size,
                     l->color);
    } else if (auto* s = dynamic_cast<SLIDER*>(item)) {
        std::fprintf(f, "SLIDER\t%s\t%s\t%d\t%d\t%d\t%d\t%d\t%f\t%d\r\n", name, s->image, x, y,
                     s->color_key_enabled, s->color_key, s->blend, static_cast<double>(s->scale), s->angle);
    } else if (auto* b = dynamic_cast<BUTTON*>(item)) {
        std::fprintf(f, "BUTTON\t%s\t%s\t%s\t%s\t%d\t%d\t%d\t%d\t%d\t%f\t%d\r\n", name, b->image_on,
                     b->image_off, b->image_hover, x, y, b->color_key_enabled, b->color_key, b->blend,
                     static_cast<double>(b->scale), b->angle);
    } else {
        std::fprintf(f, "SPRITE\t%s\t%s\t%s\t%d\t%d\t%d\t%d\t%d\t%f\t%d\t%d\r\n", name, item->image,
                     item->mask[0] ? item->mask : "0", x, y, item->color_key_enabled, item->color_key,
                     item->blend, static_cast<double>(item->scale), item->angle, item->alpha);
    }
}

} // namespace

int load_layout(OBJET& panel, const char* path) {
    std::snprintf(panel.layout_path, sizeof panel.layout_path, "%s", path);
    const std::string file = data_path(path);
    FILE* f = std::fopen(file.c_str(), "r");
    if (!f) {
        std::printf("Failing to Load RC[%s] (cause Fopen())\n", file.c_str());
        return -1;
    }
    char keyword[ITEM_NAME_SIZE];
    while (std::fscanf(f, "%79s", keyword) == 1) {
        SPRITE* item = nullptr;
        if (std::strcmp(keyword, "SPRITE") == 0)
            item = read_sprite(f, panel);
        else if (std::strcmp(keyword, "BUTTON") == 0)
            item = read_button(f, panel);
        else if (std::strcmp(keyword, "SLIDER") == 0)
            item = read_slider(f, panel);
        else if (std::strcmp(keyword, "LABEL") == 0)
            item = read_label(f, panel);
        if (item) panel.current->push_back(item);
    }
    std::fclose(f);
    fit_to_background(panel);
    return 1;
}

int saved_prefix_length(const char* name) {
    size_t n = std::strlen(name);
    if (n > 2 && name[2] == '_') return 3;
    if (n > 3 && name[3] == '_') return 4;
    if (n > 1 && name[1] == '_') return 2;
    if (n > 0 && name[0] == '_') return 1;
    return -1;
}

namespace {

// The cut of the panel's prefix from its items' names; -1 (said on the console) when the first
// item has no prefix the layout format can drop.
int layout_cut(const ITEM_LIST& list) {
    if (list.empty()) return 0;
    const int cut = saved_prefix_length(list.front()->name);
    if (cut < 0) std::printf("ARF stf wrong during save element [%s]\n", list.front()->name);
    return cut;
}

void write_items(FILE* f, const ITEM_LIST& list, int cut) {
    for (size_t i = list.size(); i-- > 0;) {
        SPRITE* item = list[i];
        int item_cut = static_cast<int>(std::strlen(item->name)) < cut ? 0 : cut;
        write_item(f, item, item_cut);
    }
}

} // namespace

int write_layout(OBJET& panel, FILE* f) {
    panel.make_items();
    const int cut = layout_cut(*panel.current);
    if (cut < 0) return 0;
    write_items(f, *panel.current, cut);
    return std::ferror(f) ? 0 : 1;
}

int save_layout(OBJET& panel, const char* path) {
    panel.make_items();
    const ITEM_LIST& list = *panel.current;
    // Checked before the file is opened, so an existing layout is not emptied.
    const int cut = layout_cut(list);
    if (cut < 0) return 0;
    FILE* f = std::fopen(path, "w");
    if (!f) {
        std::printf("Failing to Save RC[%s] (cause Fopen())\n", path);
        return 0;
    }
    write_items(f, list, cut);
    std::fclose(f);
    return 1;
}
