// Undo and redo carried out on the window between frames.
#pragma once
#include <string>

#include "engine/door.h"

struct SCREEN;

// Carries out the CTRL+Z and CTRL+Y requests in the order they came: each step's edits applied
// through the door (not recorded again) or onto the panels, the panels of the modules changed
// built again in their places, one console line per step. Returns 1 when any step ran.
int run_undo_requests(SCREEN& screen);

// The link port a door change's key names ("IN", "MOD_AMP", "CHANNEL_03"); false for others.
bool link_port_of(const std::string& text, LINK_PORT& port, int& channel);
