// Runs the real tessaro binary with console input from a pipe and collects what it prints.
#pragma once
#include <string>
#include <vector>

struct PROGRAM_RUN {
    int status = -1;    // exit status 0..255, or -1 when killed
    std::string output; // standard output and standard error, interleaved
    bool timed_out = false;
};

// Starts the program with args and extra "NAME=value" environment entries (in the folder cwd
// when one is given), writes input to its console, keeps the console open hold_ms milliseconds
// longer, then closes it (which the program reads as ESC). Kills it after timeout_ms.
PROGRAM_RUN run_program(const std::vector<std::string>& args, const std::string& input,
                        const std::vector<std::string>& env = {}, int hold_ms = 0, int timeout_ms = 20000,
                        const std::string& cwd = "");

// A fresh folder for one test's files.
std::string scratch_folder(const char* tag);

// Removes a scratch folder and the files in it.
void remove_folder(const std::string& dir);

// Writes text to path.
void write_text(const std::string& path, const std::string& text);

// Names in a folder, "." and ".." left out.
std::vector<std::string> folder_names(const std::string& dir);
