// Plays MIDI notes on a patch's KEYBOARD modules, one note per keyboard.
#include "voice_allocator.h"

namespace {
constexpr int FIRST_PLAYABLE = 11; // MIDI note of note table entry 0 (8.18 Hz x 2^(11/12))
constexpr int NOTE_COUNT = 128;
} // namespace

void VOICE_ALLOCATOR::reset(KEYBOARD* const* keyboards, int count) {
    if (count > MAX_VOICES) count = MAX_VOICES;
    if (count < 0) count = 0;
    for (int i = 0; i < MAX_VOICES; ++i) voices_[i] = VOICE{};
    for (int i = 0; i < count; ++i) voices_[i].keyboard = keyboards[i];
    count_ = count;
    clock_ = 0;
    pedal_ = false;
    held_count_ = 0;
}

int VOICE_ALLOCATOR::note_of(int voice) const {
    if (voice < 0 || voice >= count_) return -1;
    const VOICE& v = voices_[voice];
    return v.held || v.sustained ? v.note : -1;
}

void VOICE_ALLOCATOR::pitch(VOICE& v, int note) {
    v.note = note;
    // The keyboard sounds entry key + 12 x octave; its octave stays as the panel set it.
    shared_store(v.keyboard->key, note - FIRST_PLAYABLE - 12 * shared_load(v.keyboard->octave));
}

void VOICE_ALLOCATOR::start(VOICE& v, int note) {
    pitch(v, note);
    v.held = true;
    v.sustained = false;
    v.started = ++clock_;
    // As a key press of the computer keyboard: envelope time from 0, gate on, one sync pulse.
    shared_store(v.keyboard->gate_time, 0.0f);
    shared_store(v.keyboard->gate, 1);
    shared_store(v.keyboard->sync_pending, 1);
}

void VOICE_ALLOCATOR::release(VOICE& v) {
    v.held = false;
    if (pedal_) {
        v.sustained = true;
        return;
    }
    v.sustained = false;
    v.note = -1;
    shared_store(v.keyboard->gate, 0);
}

void VOICE_ALLOCATOR::note_on(int note) {
    if (note < FIRST_PLAYABLE || note >= NOTE_COUNT || count_ == 0) return;
    if (count_ == 1) return mono_on(note);
    VOICE* chosen = nullptr;
    for (int i = 0; i < count_ && !chosen; ++i)
        if ((voices_[i].held || voices_[i].sustained) && voices_[i].note == note) chosen = &voices_[i];
    for (int i = 0; i < count_ && !chosen; ++i)
        if (!voices_[i].held && !voices_[i].sustained) chosen = &voices_[i];
    if (!chosen) {
        chosen = &voices_[0];
        for (int i = 1; i < count_; ++i)
            if (voices_[i].started < chosen->started) chosen = &voices_[i];
    }
    start(*chosen, note);
}

void VOICE_ALLOCATOR::note_off(int note) {
    if (note < FIRST_PLAYABLE || note >= NOTE_COUNT || count_ == 0) return;
    if (count_ == 1) return mono_off(note);
    for (int i = 0; i < count_; ++i)
        if (voices_[i].held && voices_[i].note == note) release(voices_[i]);
}

void VOICE_ALLOCATOR::mono_on(int note) {
    forget_held(note);
    if (held_count_ < NOTE_COUNT) held_[held_count_++] = note;
    start(voices_[0], note);
}

bool VOICE_ALLOCATOR::forget_held(int note) {
    for (int i = 0; i < held_count_; ++i)
        if (held_[i] == note) {
            for (int j = i + 1; j < held_count_; ++j) held_[j - 1] = held_[j];
            --held_count_;
            return true;
        }
    return false;
}

void VOICE_ALLOCATOR::mono_off(int note) {
    const bool sounding = held_count_ > 0 && held_[held_count_ - 1] == note;
    if (!forget_held(note) || !sounding) return;
    VOICE& v = voices_[0];
    if (held_count_ > 0) {
        // Back to the key still held, without a new attack, as mono synthesizers do.
        pitch(v, held_[held_count_ - 1]);
        v.held = true;
        return;
    }
    release(v);
}

void VOICE_ALLOCATOR::sustain(bool down) {
    pedal_ = down;
    if (down) return;
    for (int i = 0; i < count_; ++i)
        if (voices_[i].sustained) release(voices_[i]);
}

void VOICE_ALLOCATOR::all_off() {
    held_count_ = 0;
    for (int i = 0; i < count_; ++i) {
        voices_[i].held = voices_[i].sustained = false;
        voices_[i].note = -1;
        shared_store(voices_[i].keyboard->gate, 0);
    }
}

void VOICE_ALLOCATOR::bend(float ratio) {
    for (int i = 0; i < count_; ++i) shared_store(voices_[i].keyboard->bend, ratio);
}
