// Plays MIDI notes on a patch's KEYBOARD modules, one note per keyboard.
#pragma once
#include <cstdint>

#include "keyboard.h"

class VOICE_ALLOCATOR {
  public:
    static constexpr int MAX_VOICES = 64;

    // Takes the keyboards in patch order (at most MAX_VOICES) and forgets every note.
    void reset(KEYBOARD* const* keyboards, int count);
    int voices() const { return count_; }

    // MIDI note numbers: note m sounds note table entry m - 11 (note 69 is 440 Hz); notes below
    // the table are ignored.
    void note_on(int note);
    void note_off(int note);
    void sustain(bool down);
    void all_off();
    // Ratio applied to every keyboard's frequency.
    void bend(float ratio);

    // The note a keyboard sounds, or -1 when its gate is closed.
    int note_of(int voice) const;

  private:
    struct VOICE {
        KEYBOARD* keyboard = nullptr;
        int note = -1;
        bool held = false;      // its key is down
        bool sustained = false; // released while the pedal was down
        uint64_t started = 0;
    };
    void start(VOICE& v, int note);
    void pitch(VOICE& v, int note);
    void release(VOICE& v);
    void mono_on(int note);
    void mono_off(int note);
    bool forget_held(int note); // false when the note was not held

    VOICE voices_[MAX_VOICES];
    int count_ = 0;
    uint64_t clock_ = 0;
    bool pedal_ = false;
    // With one keyboard: the keys held, oldest first, so releasing the last returns to the one
    // before it.
    int held_[128];
    int held_count_ = 0;
};
