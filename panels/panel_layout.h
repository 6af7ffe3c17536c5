// Where panels stand when a patch opens: the kinds in columns from left to right, no panel over
// another, and the size of the world that holds them.
#pragma once
#include "engine/generator.h"
#include "engine/module_kind.h"
#include "toolkit/objet.h"

#include <cstddef>
#include <vector>

// Pixels between two panels of a column and between two columns.
constexpr float PANEL_GAP = 10;
// The world of panels is at least this many pixels wide and tall; a column that would run past
// its bottom continues in a new column to the right, which can widen the world.
constexpr float WORLD_SIZE = 3200;

struct PANEL_RECT {
    float x = 0, y = 0, w = 0, h = 0;
};

// Places panels given in kind order (keyboards first, mixers last) with their sizes in w and h:
// sets each x and y. Each kind starts a column PANEL_GAP pixels right of the widest panel of
// the column before (a kind without panels takes none) and stacks its panels from the kind's
// top down, PANEL_GAP pixels apart. Returns the width of the world that holds them.
float place_in_columns(const std::vector<MODULE_KIND>& kinds, std::vector<PANEL_RECT>& rects);

// The width of the world that holds these panels where they stand: WORLD_SIZE, or more when a
// panel reaches past it (PANEL_GAP pixels beyond the rightmost edge).
int world_width_of(const std::vector<OBJET*>& panels);

// Keeps where each module panel of the list stands, and whether it is folded, in the graph's
// panel places, for the next save to write.
void record_panel_places(const std::vector<OBJET*>& panels, GENERATOR& g);

// Whether two rectangles share any area (touching edges share none).
bool rects_overlap(const PANEL_RECT& a, const PANEL_RECT& b);
// The first pair (a < b) of overlapping rectangles; false when none overlaps.
bool find_overlap(const std::vector<PANEL_RECT>& rects, size_t& a, size_t& b);
