// Loading a patch file into a graph of its own, with the master path wired, and making it the
// graph the audio renders.
#pragma once
#include "engine/generator.h"

// A graph read from a patch file: the master mixer "MIXER_4" feeds the delay stage, which is in
// the graph's effects list. Nothing of it is heard until it is installed.
struct LOADED_PATCH {
    GENERATOR* graph = nullptr; // owned by whoever holds it; null when the load failed
    SFX_DELAY* delay = nullptr; // the stage master_out is pointed at on installation
};

// Reads the objects and links sections of path into a new graph and wires the master path. The
// running graph is not touched. A patch without a mixer named "MIXER_4" is refused with a
// message and gives an empty result. Fatal patch errors go through patch_fatal_hook.
LOADED_PATCH load_patch_file(const char* path);

// Makes the loaded graph the one the callback renders: `generator` and `master_out`. Call while
// the callback is idle (before audio_running is first set, or between audio_pause and
// audio_resume). Returns the graph that was installed before, for the caller to free.
GENERATOR* install_patch(const LOADED_PATCH& loaded);
