// F2's layout file: each panel's number on the console and the last panel's layout in
// "RC/LOL.RC", written like a save so a full disk never leaves it empty.
#pragma once
#include <vector>

class OBJET;

// Writes the panel's layout to path through a temporary file, synced and renamed over it; a
// failure leaves the file that was there and is said on the console. True when written.
bool write_layout_file(OBJET& panel, const char* path);

// Prints each panel's number, as the layout file keeps only the last one, and writes that one to
// "RC/LOL.RC" (the user's own RC/ outside a source tree).
void dump_layouts(std::vector<OBJET*>& list);
