// MIXER: slot set-up, channel adding and the out-of-line entry of its averaging.
#include "mixer.h"

MIXER::MIXER() {
    for (int i = 0; i < MIXER_SLOTS; ++i) {
        level[i] = 1.0f;
        mute[i] = 0.0f;
    }
}

bool MIXER::add_channel(float* source) {
    if (input_count < 0 || input_count >= MIXER_SLOTS) return false;
    inputs[input_count].input = source;
    // The slot is filled before it is counted, so the sweep never reads an unset slot.
    ++input_count;
    return true;
}

int MIXER::process() {
    return tick();
}
