// Reading a patch into a fresh graph, wiring its master path once, and swapping it in.
#include "app/patch_load.h"

#include <cstdio>

#include "engine/audio.h"
#include "patch/patch_reader.h"

LOADED_PATCH load_patch_file(const char* path) {
    LOADED_PATCH loaded;
    GENERATOR* g = new GENERATOR();
    // A file that cannot be read, or a patch refused whole, has said why; it has no links.
    if (!load_objects(g, path)) {
        delete g;
        return loaded;
    }
    load_links(g, path);
    MIXER* master = find_master_mixer(g);
    if (!master) {
        std::printf("No mixer named MIXER_4 in [%s]: nothing to play\n", path);
        delete g;
        return loaded;
    }
    // The delay stage is the one module of the effects list; it listens to the master mixer and
    // is what the output reads.
    SFX_DELAY* delay = new SFX_DELAY();
    delay->input = &master->value;
    GENERATOR::push_front(g->effects, delay);
    loaded.graph = g;
    loaded.delay = delay;
    return loaded;
}

GENERATOR* install_patch(const LOADED_PATCH& loaded) {
    GENERATOR* previous = generator;
    loaded.graph->replan();
    generator = loaded.graph;
    point_master_out(&loaded.delay->value);
    return previous;
}
