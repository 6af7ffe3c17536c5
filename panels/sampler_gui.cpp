// Sampler panel: its name plate; it has no controls of its own.
#include "panels/sampler_gui.h"

#include <cstdio>
#include <cstring>

SAMPLER_GUI::SAMPLER_GUI(const char* number, SAMPLER* sampler)
    : MODULE_PANEL(KIND_SAMPLER, number, sampler), module(sampler) {
    load_layouts();
    set_label("label_NAME", "%s", module->name);
    // The sample's file name (without its folders) on the sample screen.
    auto* file = new LABEL(sample_file_name(module->sample_path), 16, 26, 0, 8, SAMPLE_FILE_INK);
    char name[PANEL_TEXT_SIZE + 16];
    std::snprintf(name, sizeof name, "%s_LABEL_FILE", prefix);
    file->set_name(name);
    front.push_back(file);
    mark_all(*this, 1);
    update();
}

SAMPLER_GUI::~SAMPLER_GUI() = default;

const char* sample_file_name(const char* path) {
    const char* slash = std::strrchr(path, '/');
    const char* name = slash ? slash + 1 : path;
    return name[0] ? name : "(no sample)";
}
