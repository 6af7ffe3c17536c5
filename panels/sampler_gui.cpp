// Sampler panel: its name plate, the sample's file name and the lamp lit while it plays.
#include "panels/sampler_gui.h"

#include <cstdio>
#include <cstring>

SAMPLER_GUI::SAMPLER_GUI(const char* number, SAMPLER* sampler, bool items_now)
    : MODULE_PANEL(KIND_SAMPLER, number, sampler), module(sampler) {
    finish_construction(items_now);
}

void SAMPLER_GUI::build() {
    load_layouts();
    set_label("label_NAME", "%s", module->name);
    // The sample's file name (without its folders) on the sample screen.
    auto* file = new LABEL(sample_file_name(module->sample_path), 16, 26, 0, 8, SAMPLE_FILE_INK);
    char name[PANEL_TEXT_SIZE + 16];
    std::snprintf(name, sizeof name, "%s_LABEL_FILE", prefix);
    file->set_name(name);
    front.push_back(file);
    // The play lamp stands between the sample screen and its legend.
    auto* lamp = new SPRITE("LAMP_LED_1_0", SAMPLER_LAMP_X, SAMPLER_LAMP_Y);
    std::snprintf(lamp->mask, sizeof lamp->mask, "%s", "LAMP_LED_1_MASK");
    std::snprintf(name, sizeof name, "%s_LAMP_PLAY", prefix);
    lamp->set_name(name);
    front.push_back(lamp);
    show_playing();
    mark_all(*this, 1);
    update();
}

SAMPLER_GUI::~SAMPLER_GUI() = default;

int SAMPLER_GUI::update() {
    if (items_made && current == &front && module->playing.load(std::memory_order_relaxed) != shown_playing)
        show_playing();
    return OBJET::update();
}

void SAMPLER_GUI::show_playing() {
    shown_playing = module->playing.load(std::memory_order_relaxed);
    if (SPRITE* lamp = item("LAMP_PLAY")) lamp->set_image(shown_playing ? "LAMP_LED_1_1" : "LAMP_LED_1_0");
}

bool SAMPLER_GUI::lamp_out_of_date() const {
    return items_made && current == &front && module->playing.load(std::memory_order_relaxed) != shown_playing;
}

const char* sample_file_name(const char* path) {
    const char* slash = std::strrchr(path, '/');
    const char* name = slash ? slash + 1 : path;
    return name[0] ? name : "(no sample)";
}
