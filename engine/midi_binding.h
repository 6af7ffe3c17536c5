// MIDI controllers bound to parameters of a patch's modules: what a graph keeps of them.
#pragma once
#include "module_kind.h"
#include "param_table.h"

// One controller (0 to 127) moving one parameter of one module; row and index name a
// sequencer cell or a mixer slot as the door's keys do.
struct MIDI_BINDING {
    int controller = 0;
    MODULE_KIND kind = KIND_COUNT;
    void* module = nullptr;
    PARAM_ID id = P_COUNT;
    int row = 0;
    int index = 0;
};
