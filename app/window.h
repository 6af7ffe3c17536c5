// The window start-up and the windowed program: panels, background, fonts and dashboards,
// then the frame loop.
#pragma once
#include "app/window_size.h"

struct SCREEN;

// The background grid laid once at start-up.
constexpr int START_GRID_COLUMNS = 28;
constexpr int START_GRID_ROWS = 26;

// Whether a window can be opened here: the video library starts on an X display. When it
// cannot, prints one line saying so (and what works without one) and returns false.
bool display_available();

// The three dashboards at their start-up places; the information dashboard is the one whose
// label the frame loop rewrites.
void create_dashboards(SCREEN& screen);

// Opens the window, builds and draws the panels, lays the background, loads the fonts and
// creates the dashboards, then clears the console. engine_result is init_engine's: 0 ends the
// process with status 1 once the window is open. A font that cannot be loaded is reported on
// the console and ends the process with status 1.
void start_window(SCREEN& screen, const char* caption, int engine_result);

// `tessaro PATCH`: engine start-up, window start-up, the frame loop until ESC, shutdown.
// Without a display it says so before the menus ask anything, and returns 1.
// Returns the process status.
int run_window(const char* patch_path);

// Frees the panels, dashboards, background and fonts once the audio has stopped.
void release_window(SCREEN& screen);
