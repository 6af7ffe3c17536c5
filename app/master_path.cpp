// The path from the master mixer to the output: mixer "MIXER_4", the delay stage, master_out.
#include "app/master_path.h"

#include "engine/audio.h"

SFX_DELAY* insert_delay_stage(GENERATOR* g) {
    MIXER* master = find_master_mixer(g);
    if (!master) return nullptr;
    SFX_DELAY* delay = new SFX_DELAY();
    delay->input = &master->value;
    GENERATOR::push_front(g->effects, delay);
    point_master_out(&delay->value);
    return delay;
}
