// The patches the chooser offers: the user's own, then the examples that come with the data.
#pragma once
#include <string>
#include <vector>

// True for a file name ending in ".kvx" in any case (not a folder entry "[...]").
bool is_patch_name(const std::string& name);
// The patch files of a folder, the name that sorts last first; empty when it cannot be read.
std::vector<std::string> patch_names(const char* folder);

struct PATCH_CHOICE {
    std::string name; // the file name shown in the chooser
    std::string path; // the path it is loaded from
};

// The patch files of the user's folder, then the recovery copies of its "recovery" folder (named
// "recovery/NAME"), then those of the examples' folder whose names the user has not taken, each folder's names in the chooser's order (the name that sorts last first).
// A folder that is "" or cannot be read adds nothing.
std::vector<PATCH_CHOICE> patch_choices(const std::string& user_folder, const std::string& example_folder);

// The same for this process's folders.
std::vector<PATCH_CHOICE> patch_choices();

// The patch a command-line name means: the name itself when that file exists or the name holds a
// folder; else the file of that name in the user's patch folder, then in the examples' folder,
// when there is one ("tessaro DRUMS.KVX" plays the example from any folder).
std::string located_patch(const std::string& name, const std::string& user_folder,
                          const std::string& example_folder);
std::string located_patch(const std::string& name);

// The folder prefix the save prompt writes under ("KVX/" or the user's own KVX folder), with the
// folder created when it does not exist yet.
std::string user_save_prefix();

// Where a file the program writes beside its data goes ("RC/LOL.RC" in the source tree, else in
// the user's data folder), with its folder created when missing.
std::string user_file_for_writing(const std::string& relative);
