// Where tessaro's read-only data (grfx/, RC/, Fonts/, the example patches) is found, and where
// the files a user saves go, wherever the program was started from.
#pragma once
#include <string>
#include <vector>

// The file whose presence marks a folder as holding the read-only data.
constexpr const char* DATA_MARKER = "grfx/opengl.zim";

// The folders to try for the data, in order: the current folder ("." when run from a source
// tree), share/tessaro beside the folder of the executable (exe_path, as /proc/self/exe gives it;
// skipped when empty), then installed_dir (the install prefix's, compiled in; skipped when empty
// or already listed).
std::vector<std::string> data_dir_candidates(const std::string& exe_path, const std::string& installed_dir);

// The first candidate holding DATA_MARKER; "" when none does.
std::string first_data_dir(const std::vector<std::string>& candidates);

// The one line said when no candidate holds the data, naming every folder tried.
std::string missing_data_line(const std::vector<std::string>& tried);

// This process's data folder, looked for once; "" when none was found.
const std::string& data_dir();
// The folders data_dir() tried.
const std::vector<std::string>& data_dir_tried();

// A data file's path ("RC/VCO.RC") as the program opens it: unchanged when absolute or when the
// data is in the current folder, else inside the data folder.
std::string data_path(const std::string& relative);

// The folder of the user's own files for the given environment: $XDG_DATA_HOME/tessaro, or
// $HOME/.local/share/tessaro when XDG_DATA_HOME is unset, empty or not absolute; "" when neither
// gives an absolute folder.
std::string user_data_dir(const char* xdg_data_home, const char* home);

// The folder the user's patches are saved to and listed from: "KVX" when the current folder
// has one, else KVX in the user's data folder (which may not exist yet).
std::string user_patch_dir();

// The folder of the example patches that come with the data; "" when it is the user's own
// folder or there is none.
std::string example_patch_dir();

// The path a file the program writes beside its data ("RC/LOL.RC") goes to: unchanged when the
// current folder holds the data, else inside the user's data folder.
std::string user_file_path(const std::string& relative);

// Creates a folder and any missing parents (mode 0777 less the umask). True when it exists
// afterwards.
bool make_folders(const std::string& path);
