// Reading and writing the panel place keys of a declaration line.
#include "panel_place_keys.h"

#include "patch_keys.h"
#include "patch_words.h"

#include <cstdio>
#include <cstring>

using namespace patch_read;

const OBJECT_KEY panel_place_keys[PANEL_KEY_COUNT] = {
    {"PANEL_X", KEY_PLAIN, VALUE_REAL, 0, 1000000},
    {"PANEL_Y", KEY_PLAIN, VALUE_REAL, 0, 3200},
    {"PANEL_MODE", KEY_PLAIN, VALUE_INT, 1, 2},
};

const OBJECT_KEY* panel_key_of(std::string_view field) {
    const std::string_view key = field.substr(0, field.find('='));
    for (const OBJECT_KEY& k : panel_place_keys)
        if (key == k.text) return &k;
    return nullptr;
}

bool take_panel_place(const char* module, std::vector<std::string_view>& fields, PANEL_PLACE& place) {
    bool has_x = false, has_y = false;
    for (size_t i = 1; i + 1 < fields.size();) {
        const OBJECT_KEY* k = panel_key_of(fields[i]);
        if (k == nullptr) {
            ++i;
            continue;
        }
        const std::string field(fields[i]);
        fields.erase(fields.begin() + static_cast<std::ptrdiff_t>(i));
        const size_t equal = field.find('=');
        const std::string value = equal == std::string::npos ? "" : field.substr(equal + 1);
        if (!value_text_is_number(*k, value.c_str()) || !value_text_accepted(*k, value.c_str())) {
            report(MSG_BAD_VALUE, "%s : %.40s refuse (%g a %g), le panneau prend sa place de depart\n", module,
                   field.c_str(), k->min, k->max);
            continue;
        }
        if (k == &panel_place_keys[0]) {
            place.x = patch_real(value.c_str());
            has_x = true;
        } else if (k == &panel_place_keys[1]) {
            place.y = patch_real(value.c_str());
            has_y = true;
        } else {
            place.mode = static_cast<uint32_t>(patch_int(value.c_str()));
        }
    }
    return has_x && has_y;
}

void add_panel_place(std::string& line, const GENERATOR& g, const void* module) {
    const auto it = g.panel_places.find(module);
    if (it == g.panel_places.end()) return;
    if (line.size() >= 2 && line.compare(line.size() - 2, 2, ";;") == 0) line.pop_back();
    char fields[128];
    std::snprintf(fields, sizeof fields, "%s=%.9g;%s=%.9g;%s=%u;", panel_place_keys[0].text,
                  static_cast<double>(it->second.x), panel_place_keys[1].text, static_cast<double>(it->second.y),
                  panel_place_keys[2].text, it->second.mode);
    line += fields;
}
