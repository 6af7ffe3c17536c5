// MIDI controllers and program changes on the main thread: "m" arms a knob, the next controller
// binds to it, bound controllers move their knobs through the door, a program change loads a
// patch of the chooser's list.
#pragma once
#include <string>
#include <vector>

#include "app/patch_folders.h"
#include "app/screen.h"

// "m" with the pointer on a knob of a module panel of the list (the panel view's hit list): arms
// it, or, when a controller is bound to it already (or it is armed), frees it. Says so on the
// console. Returns the frame flags.
int midi_learn_key(SCREEN& screen, std::vector<OBJET*>& list);

// What a pass over the waiting controller messages did.
struct MIDI_CONTROLS {
    int moved = 0;    // parameters set
    int program = -1; // the last program change asked for, -1 for none
};

// Takes every controller and program message the audio thread passed on: an armed knob binds
// to the first controller (screen may be null without a window, when nothing can be armed),
// each bound parameter takes its controller's last value, and on the screen its knob turns.
MIDI_CONTROLS take_midi_controls(SCREEN* screen);

// The patch program n loads: the n-th of the list (from 0), or "" when there is none.
std::string program_patch(const std::vector<PATCH_CHOICE>& choices, int program);
// Loads the patch a program change asks for, in the window (screen) or without one (null);
// a program beyond the list is ignored with one console line. Returns 1 when loaded.
int load_program(SCREEN* screen, int program);
