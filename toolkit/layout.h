// Layout files: the sprites, buttons, knobs and labels of one panel side, read into and
// written from a panel's current item list.
#pragma once
#include <cstdio>

class OBJET;

// Appends the file's elements to the panel's current list in file order, names them
// prefix + "_" + name, then sizes the panel. Returns 1, or -1 when the file cannot be opened.
int load_layout(OBJET& panel, const char* path);

// Writes the current list from its last item to its first, names without the panel prefix.
// Returns 1; 0 (file untouched) when the first item's name has no prefix or the file cannot
// be created, after a message saying so.
int save_layout(OBJET& panel, const char* path);
// Writes the panel's current layout into an open file; 0 when its items cannot be written
// in the layout format, or writing failed.
int write_layout(OBJET& panel, FILE* f);

// Length of the panel prefix (with its '_') at the head of a name, or -1 when there is none.
int saved_prefix_length(const char* name);
