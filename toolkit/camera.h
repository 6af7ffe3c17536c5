// The camera over the world of panels: its scroll offset and the size of what it shows.
#pragma once

// The camera position in the world of panels: every quad and cable is drawn at its world
// position minus this offset.
extern int scroll_x;
extern int scroll_y;

// The visible part of the world is this many pixels from the scroll offset.
constexpr int VIEW_WIDTH = 1024;
constexpr int VIEW_HEIGHT = 768;
