// The module's random source: rand()-like values 0..32767 without the C library's lock.
#pragma once
#include <cstdint>

constexpr int SYNTH_RAND_MAX = 32767;

int synth_rand();
void synth_srand(uint32_t seed);

// Milliseconds since the program started, the seed that creating a sequencer uses.
uint32_t ticks_ms();

// Where a new sequencer takes its seed: ticks_ms unless replaced, so that a render can be
// repeated whatever the moment its patch was loaded.
extern uint32_t (*sequencer_seed)();
