// The --verbose switch: progress diagnostics of the loaders and the window print only when on.
#pragma once

// Set once from the command line, before anything is loaded; off by default.
void set_verbose(bool on);
bool verbose();

// printf for diagnostics that tell a user nothing in ordinary use (what was opened, which
// stage start-up reached); errors, warnings, loads and saves use printf itself.
void verbose_printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
