// What the window's save prompt holds between frames: the names typed so far, the path waiting
// for a second ENTER and the notice after a save.
#pragma once
#include <chrono>
#include <memory>
#include <string>

#include "toolkit/objet.h"

// How long the notice after a save stays in the window.
constexpr std::chrono::seconds SAVE_NOTICE_TIME{4};

struct SAVE_PROMPT {
    bool open = false;
    std::string prefix;       // the folder saved into ("KVX/", or "" for the working folder)
    std::string typed;        // the name typed in the window so far
    std::string console_word; // the name read from the console so far
    std::string confirm;      // the path a second ENTER replaces
    std::string notice;       // what the last save did, shown until notice_until
    std::chrono::steady_clock::time_point notice_until;
    bool swallow_escape_up = false; // ESC closed the prompt: its release must not quit
    std::unique_ptr<OBJET> field;   // what is drawn: the prompt's line and the notice
};
