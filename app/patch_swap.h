// Replacing the running patch by another while the audio plays: the new graph is read apart,
// swapped in between two blocks, and the old one freed once nothing renders it.
#pragma once
#include <functional>

#include "app/patch_load.h"

struct SCREEN;

// Reads path into a fresh graph with its master path wired. A patch error that would end the
// program at start-up is reported here instead, and like a file that cannot be read or a patch
// without a master mixer it gives an empty result. The running patch is not touched.
LOADED_PATCH read_patch_apart(const char* path);

// Waits for the block in progress, installs the loaded graph, runs `while_paused` (may be
// empty), and lets the audio go on with the new graph. Returns the graph installed before, which
// no block renders any more: the caller frees it.
GENERATOR* swap_patch(const LOADED_PATCH& loaded, const std::function<void()>& while_paused = {});

// The load of the window: reads path apart, builds its panels, swaps graph and the screen's
// panels, sets the caption, forgets everything that pointed into the old patch and frees it. On
// failure the running patch goes on playing and the console says why. Returns 1 when loaded,
// else 0.
int load_patch_in_place(SCREEN& screen, const char* path);
