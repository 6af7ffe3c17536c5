// The keys that keep a module's panel where the user left it: "PANEL_X", "PANEL_Y" and
// "PANEL_MODE" on the module's declaration line.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "engine/generator.h"
#include "engine/kind_keys.h"

constexpr int PANEL_KEY_COUNT = 3;
// X and Y in world pixels: X 0 to 1,000,000 (the world widens for columns of ten thousand
// panels), Y 0 to 3200 (the world's height, which never grows); the mode 1 (front side) or 2
// (folded).
extern const OBJECT_KEY panel_place_keys[PANEL_KEY_COUNT];

// The panel key a field is written with (its text before "=" is the key itself), or null.
const OBJECT_KEY* panel_key_of(std::string_view field);

// Takes the panel fields out of a declaration's fields (the name first) and reads them into
// place. True when both X and Y were given with accepted values; a refused value is reported and
// leaves the panel to the start-up place.
bool take_panel_place(const char* module, std::vector<std::string_view>& fields, PANEL_PLACE& place);

// Appends the panel fields of a module that has a place in g to a declaration line written
// without its line end. A line that ends in an empty field ("NAME;;") loses that empty field.
void add_panel_place(std::string& line, const GENERATOR& g, const void* module);
