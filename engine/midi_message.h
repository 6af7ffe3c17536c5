// MIDI messages as the player needs them: one complete message in, what it asks for out.
#pragma once
#include <cstddef>
#include <cstdint>

enum class MIDI_KIND { NONE, NOTE_ON, NOTE_OFF, CONTROL, PITCH_BEND, PROGRAM };

// Controller numbers the player obeys.
constexpr int MIDI_CC_SUSTAIN = 64;
constexpr int MIDI_CC_ALL_SOUND_OFF = 120;
constexpr int MIDI_CC_ALL_NOTES_OFF = 123;

struct MIDI_MESSAGE {
    MIDI_KIND kind = MIDI_KIND::NONE;
    int channel = 0; // 1 to 16
    int data1 = 0;   // note, controller or program number
    int data2 = 0;   // velocity or controller value; pitch bend from -8192 to 8191
};

// Reads one message that starts with its status byte. Note on with velocity 0 is a note off.
// Program change, two bytes, carries its program in data1. Everything else (system messages,
// aftertouch, a message without its status byte, truncated or with a stray status byte among
// its data) comes out as NONE.
MIDI_MESSAGE parse_midi(const uint8_t* bytes, size_t size);

// The frequency ratio of a pitch-bend value (-8192 to 8191) over a range of +-range semitones.
float bend_ratio(int bend, float range_semitones);
