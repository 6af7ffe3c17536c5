// Reads what the program recorded or rendered: 16-bit stereo WAVE files with the 44-byte header.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The left channel of a 16-bit stereo WAVE with the canonical 44-byte header, as -1..1.
std::vector<double> left_channel(const std::string& path);

// Frames a 16-bit stereo WAVE file holds on disk so far (a recording still being written); 0 when
// there is no such file yet.
size_t wave_frames_written(const std::string& path);

// Root mean square of samples [from, to), clipped to what there is; 0 for an empty span.
double rms(const std::vector<double>& samples, size_t from, size_t to);

// Arithmetic mean of samples; 0 for none.
double mean(const std::vector<double>& samples);

// x[i] - x[i - 1] (the first sample kept): a gentle high-pass that brings out the treble.
std::vector<double> first_difference(const std::vector<double>& samples);

// Largest magnitude in samples.
double peak(const std::vector<double>& samples);
