// Offline rendering: a patch played for a given time straight into a WAVE file.
#pragma once
#include <string>

// Frames in `seconds` of sound at 44100 Hz, rounded to the nearest frame.
long long frames_for_seconds(double seconds);

// Reads a duration in seconds: a whole decimal number, finite, not negative, short enough for
// a WAVE file. False for anything else.
bool parse_seconds(const char* text, double* seconds);

// The line --render ends with: seconds of sound per second of rendering, and both times.
std::string real_time_factor_text(double sound_seconds, double took_seconds);

// Renders the patch into out_path. The file appears only when the whole render succeeded: it
// is written beside its final name and renamed at the end. Returns the process status.
int render_patch(const char* patch_path, const char* out_path, double seconds, bool show_progress);

// `tessaro --render OUT.wav --seconds S PATCH.KVX`; argv[0] is the program. Returns the status.
int run_render(int argc, char** argv);
