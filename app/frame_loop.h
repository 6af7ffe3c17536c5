// The frame loop: controller step, events, step notices and drawing, about 60 passes a second,
// and the requests of keys and dashboard buttons carried out between them.
#pragma once
#include "app/frame_pacer.h"
#include "app/screen.h"

// Hands every queued step notice to the sequencer panels. Returns the frame flags.
int deliver_step_notices(SCREEN& screen);

// One pass: controller step, events (and one remote accept), step notices, and drawing when
// something asked for it or `force_draw` is set. A view switch a key asks for is made as soon
// as its event is handled. Returns the pass's frame flags.
int frame_pass(SCREEN& screen, bool force_draw);

// What the keys and the system dashboard asked for, carried out once the frame is drawn: the
// chooser (and the load of what it returns), the save dialog, the view switches. Returns 1 when
// anything ran, else 0.
int run_requests(SCREEN& screen);

// Runs passes until ESC is released (or max_passes passes, when not negative); the first pass
// draws. Returns the number of passes run.
long frame_loop(SCREEN& screen, long max_passes = -1);
