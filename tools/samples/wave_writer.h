// The drum kit's float signals as 16-bit stereo WAVE files, through the program's WAVE writer.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/wave_file.h"

// A float sample in [-1, 1] as a 16-bit value: scaled by 32767, rounded to nearest and held
// inside [-32767, 32767]; not-a-number gives 0.
int16_t to_pcm16(float v);

// Scales the signal so that its largest magnitude becomes `peak` (a silent signal is left alone).
void normalise(std::vector<float>& signal, float peak);

// Writes the mono signal as a stereo file with the same value on both channels. False, and no
// file left behind, when it cannot be written.
bool write_wave(const std::string& path, const std::vector<float>& mono);
