// An X display for window tests: the one in $DISPLAY, or a private virtual one started here.
#pragma once
#include <string>

// True when an X display answers: $DISPLAY when it does, else an Xvfb of 1280 x 1024 started on a
// free display number (and stopped when the test program ends), with $DISPLAY pointing at it.
bool x_display_ready();

// True when the named program is on the PATH.
bool have_command(const std::string& name);

// Runs a shell command; its standard output, and its exit status in *status when given.
std::string shell_output(const std::string& command, int* status = nullptr);

// A word quoted for the shell.
std::string shell_quoted(const std::string& word);
