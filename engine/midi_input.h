// The MIDI player: messages queued by the MIDI input's thread, played on the audio thread at
// the start of the next piece it renders.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "midi_message.h"
#include "voice_allocator.h"

// A lock-free ring of short MIDI messages for one producer thread and one consumer thread.
class MIDI_RING {
  public:
    static constexpr int CAPACITY = 4096; // a power of two
    struct EVENT {
        uint8_t size = 0;
        uint8_t bytes[3] = {0, 0, 0};
    };
    // Producer: false when the ring is full or the message is longer than 3 bytes (SysEx),
    // which is then dropped.
    bool push(const uint8_t* bytes, size_t size);
    // Consumer: false when empty.
    bool pop(EVENT& out);

  private:
    EVENT events_[CAPACITY];
    std::atomic<uint32_t> head_{0}; // next to write, owned by the producer
    std::atomic<uint32_t> tail_{0}; // next to read, owned by the consumer
};

// Where MIDI input sends its messages; drained by render_block.
extern MIDI_RING midi_queue;
// Controller and program-change messages of the channel listened to, passed on by the audio
// thread for the main thread, which binds controllers to knobs, moves them and loads programs.
// The pedal and the all-notes-off controllers stay the player's and are not passed on.
extern MIDI_RING midi_controls;
// Where each controller passed on stopped, as one word the audio thread stores: the value in
// the low 7 bits, above them a count of the values stored. The main thread compares it with the
// word it saw last, so a knob ends where its controller stopped even when the ring overflowed
// while the main thread was busy (a save prompt, the chooser).
uint32_t controller_word(int controller);
// The channel listened to, 1 to 16; 0 listens to every channel. Set before the audio starts.
extern std::atomic<int> midi_channel;
// Pitch-bend range in semitones either side.
constexpr float MIDI_BEND_RANGE = 2.0f;

// Plays one parsed message on the allocator.
void play_midi(VOICE_ALLOCATOR& voices, const MIDI_MESSAGE& m, int channel);

// Audio thread: plays every queued message on the current graph's keyboards. After a pause (the
// graph may have been replaced, which a new pause_count tells) the voices start afresh. No lock,
// no allocation.
void apply_midi_events(unsigned pause_count);
