// Console services: single-key reads without echo, word input, clearing and folder listings.
#pragma once
#include <string>
#include <vector>

constexpr int CONSOLE_ESC = 27;

// Waits for one key and returns its code, unechoed. On a terminal the line discipline is
// switched to raw input (no echo, no line buffering) and put back on every way out of the
// process; from a pipe each byte is a key. The end of input, or a read error, returns ESC.
int console_getch();

// Reads one blank-delimited word into buf (at most size - 1 characters; the rest of a longer
// word is dropped). Returns 1, or 0 with an empty word at the end of input.
int console_read_word(char* buf, int size);

// 1 when console_getch() would return at once (a key is waiting or input has ended).
int console_key_ready();

// Clears a terminal; does nothing when the output is not one.
void console_clear();

// Prints the folder's entries, sorted, in columns (folders in brackets).
void console_list_folder(const char* dir);

// Puts the terminal back as it was before the first raw read. Safe to call at any time.
void console_restore();

// The entry names of a folder, sorted, folders written "[name]"; "." and ".." left out.
// Empty when the folder cannot be read.
std::vector<std::string> folder_entries(const char* dir);

// The names laid out in rows of equal-width columns filling at most `width` characters.
std::string format_columns(const std::vector<std::string>& names, int width);
