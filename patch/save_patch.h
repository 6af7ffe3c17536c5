// Saving the graph as a patch file without ever leaving a half-written one, and the console
// dialog that asks for the file name.
#pragma once
#include <string>

#include "engine/generator.h"

// Writes g as a patch at path. The patch goes to a temporary file in the same folder, is
// flushed to the disk and only then renamed over path, so a failure at any point (full disk,
// crash, kill) leaves the file that was there whole. A failure is reported on the console and
// gives false; a symbolic link at path is followed, so the file it names is replaced.
bool save_patch_to(const GENERATOR* g, const char* path);

// The longest file name the save prompt keeps; longer names are cut.
constexpr int SAVE_NAME_MAX = 79;

// The path a typed name is saved to: the folder prefix ("KVX/", or "" for the working
// folder) followed by the name cut to SAVE_NAME_MAX characters.
std::string save_path_for(const char* prefix, const char* typed);

// The save command: clears the console, lists the prefix's folder, asks for a name and saves
// g there. Returns 1.
int save_patch(const char* prefix, const GENERATOR* g);
// The same for the graph being played.
int save_patch(const char* prefix);
