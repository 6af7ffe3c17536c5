// The path from the master mixer to the output: mixer "MIXER_4", the delay stage, master_out.
#pragma once
#include "engine/generator.h"

// Creates the delay stage, feeds it from the first mixer named "MIXER_4", points master_out at
// it and puts it in the effects list. Call while audio_running is 0. Returns the stage, or null
// (and changes nothing) when the graph has no such mixer.
SFX_DELAY* insert_delay_stage(GENERATOR* g);
