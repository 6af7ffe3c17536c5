// The window's save prompt: a name typed in the window or on the console (the first complete
// one wins), the question before a different file is replaced, and the notice after the save.
#pragma once
#include <SDL.h>

#include <string>

#include "app/screen.h"

// A name without an extension gets ".KVX"; one with a dot after its first character keeps it.
std::string with_patch_extension(const std::string& name);

// What the prompt does with a finished name, given whether its path names an existing file and
// whether that file is the patch that was loaded: save it, or ask once before replacing
// another file (the second ENTER on the same path saves).
enum class SAVE_CHOICE { SAVE, ASK, REFUSE };
SAVE_CHOICE save_choice(const std::string& name, const std::string& path, bool exists, bool is_loaded_patch,
                        const std::string& confirm);

// Opens the prompt for the folder prefix: lists the folder and asks on the console as before.
void open_save_prompt(SCREEN& screen, const std::string& prefix);
// A window event while the prompt is open (or the ESC release after it): typing, backspace,
// ENTER, ESC. True when the event was the prompt's; flags gets FLAG_REDRAW when it changed.
bool save_prompt_event(SCREEN& screen, const SDL_Event& event, int& flags);
// Once a pass: the console's waiting characters (a blank ends a name, which is saved at once)
// and the notice's end. Returns FLAG_REDRAW when the window must show a change.
int poll_save_prompt(SCREEN& screen);
// Draws the prompt's line and the notice, in window pixels, over everything else.
void draw_save_prompt(SCREEN& screen);
