// KEYBOARD processing: the one-sample sync pulse and the frequency of the held key.
#include "keyboard.h"

#include "note_table.h"

int KEYBOARD::process() {
    sync_tick();
    value = static_cast<float>(note_at(shared_load(key), shared_load(octave))) * shared_load(bend);
    return 1;
}
