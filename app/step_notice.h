// The sequencers' step notices: handed from the audio thread to the frame loop through a ring
// of fixed slots, so the audio thread neither allocates, locks nor touches the window.
#pragma once
#include <cstddef>

struct SEQUENCER;

constexpr int STEP_NOTICE_TEXT_SIZE = 80;
// A power of two: the ring indices wrap by masking.
constexpr unsigned STEP_NOTICE_SLOTS = 64;

struct STEP_NOTICE {
    const SEQUENCER* sequencer = nullptr;  // identifies the sender only; never read through
    char text[STEP_NOTICE_TEXT_SIZE] = {}; // "SEQ_TRIG_" and the sequencer's name, cut to fit
};

// Audio side (one producer): queues a notice for a sequencer that started a step. Returns
// false, counting a dropped notice, when the frame loop has let the ring fill up.
bool post_step_notice(const SEQUENCER* s, const char* name);
// Main side (one consumer): takes the oldest notice. False when none is queued.
bool take_step_notice(STEP_NOTICE& out);
// Notices dropped because the ring was full, since the last reset.
unsigned long dropped_step_notices();
// Empties the ring and the dropped count (at start-up and after the audio has stopped).
void reset_step_notices();

// Installs the engine's step hook that posts notices; remove it before the graph goes away.
void install_step_notices();
void remove_step_notices();
