// Generates the benchmark patches: N voices (SAW VCO -> low-pass PCF -> VCA) on one sequencer.
#pragma once
#include <string>

// Voices per sub-mixer when a patch has more voices than the master mixer takes directly
// (a mixer holds 24 channels; 16 keeps the four sub-mixers of 64 voices equal).
constexpr int BENCH_VOICES_PER_MIXER = 16;

// Number of sub-mixers between the voices and MIXER_4: none while the voices fit on the master.
int bench_sub_mixers(int voices);

// FREQ factor of voice i: voices cycle through root, fifth, octave and tenth of the sequencer's
// note, each copy detuned by a few cents so the voices do not cancel or beat in step. A SAW
// sounds at half its frequency, so a factor of 88 plays the note itself.
double bench_voice_freq(int voice);

// Modules of the patch of that many voices: the sequencer, three a voice, the sub-mixers and
// the master.
int bench_modules(int voices);

// The whole patch text for the given number of voices, with `keyboards` silent keyboards
// ("KEY_1;;" on) after the mixers to bring a patch to a wanted number of modules.
std::string bench_patch(int voices, int keyboards = 0);
