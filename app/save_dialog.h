// The console dialog of the save command: the folder listing, the prompt and the name check.
#pragma once
#include <string>

#include "engine/generator.h"

// The longest file name the save prompt keeps; longer names are cut.
constexpr int SAVE_NAME_MAX = 79;

// Whether a typed name names a file of the save folder itself: not empty, not "." or "..", and
// without a path separator, so that no name can leave the folder ("../../x.KVX").
bool save_name_allowed(const char* typed);

// The path a typed name is saved to: the folder prefix ("KVX/", or "" for the working
// folder) followed by the name cut to SAVE_NAME_MAX characters.
std::string save_path_for(const char* prefix, const char* typed);

// The save command: clears the console, lists the prefix's folder, asks for a name and saves
// g there. A name that is refused is reported and nothing is saved. Returns 1.
int save_patch(const char* prefix, const GENERATOR* g);
// The same for the graph being played.
int save_patch(const char* prefix);
// The save command of the window and the console: the graph being played, saved in the user's
// patch folder (KVX/ of the current folder, else their own, created on the first save).
int save_user_patch();
