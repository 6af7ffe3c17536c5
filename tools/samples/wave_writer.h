// Writing canonical 44-byte-header PCM WAVE files (16-bit stereo, 44100 Hz) from float signals.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

constexpr int SAMPLE_RATE = 44100;
constexpr int WAVE_HEADER_BYTES = 44;

// The RIFF header, "fmt " chunk (16-byte PCM body) and data chunk header for a file of
// `frames` 16-bit stereo frames at 44100 Hz.
std::array<uint8_t, WAVE_HEADER_BYTES> wave_header(uint32_t frames);

// A float sample in [-1, 1] as a 16-bit value: scaled by 32767, rounded to nearest and held
// inside [-32767, 32767]; not-a-number gives 0.
int16_t to_pcm16(float v);

// Scales the signal so that its largest magnitude becomes `peak` (a silent signal is left alone).
void normalise(std::vector<float>& signal, float peak);

// Writes the mono signal as a stereo file with the same value on both channels. False when the
// file cannot be written.
bool write_wave(const std::string& path, const std::vector<float>& mono);
