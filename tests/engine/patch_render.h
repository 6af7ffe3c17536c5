// Renders a patch file in the test process, the way the program's offline render does.
#pragma once
#include <cstdint>
#include <vector>

#include "engine/modules.h"
#include "patch/patch_reader.h"

struct PATCH_RENDER {
    std::vector<float> master; // the float sent to the output, frame by frame
    std::vector<int16_t> left; // the left channel written by the stream callback
};

// `frames` frames of the patch at `path`, rendered one frame per call of the stream callback.
// Sequencers are seeded with 0, as they are when the program loads a patch in its first
// millisecond, so that the oscillators' random phases repeat.
inline PATCH_RENDER render_patch_file(const char* path, int frames) {
    sequencer_seed = [] { return 0u; };
    fill_note_table();
    GENERATOR* g = new GENERATOR;
    load_objects(g, path);
    load_links(g, path);
    sequencer_seed = ticks_ms;
    PATCH_RENDER out;
    MIXER* master = find_master_mixer(g);
    if (master == nullptr) {
        delete g;
        return out;
    }
    auto* delay = new SFX_DELAY;
    delay->input = &master->value;
    GENERATOR::push_front(g->effects, delay);
    point_master_out(&delay->value);
    generator = g;
    audio_resume();
    int16_t frame[2];
    for (int n = 0; n < frames; ++n) {
        render_block(nullptr, frame, sizeof frame, nullptr);
        out.master.push_back(**master_out);
        out.left.push_back(frame[0]);
    }
    audio_pause();
    generator = nullptr;
    point_master_out(nullptr);
    delete g;
    return out;
}
