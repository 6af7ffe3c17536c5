// SAMPLER: one-shot player of a 16-bit stereo WAVE held in memory, and its WAVE reader.
#pragma once
#include <cstdint>
#include <vector>

#include "vco.h"

// The largest data chunk a sampler holds (about 90.7 s of 16-bit stereo at 44100 Hz).
constexpr int SAMPLE_DATA_MAX_BYTES = 16000000;

struct SAMPLER : VCO {
    SAMPLER();
    int process() override;

    std::vector<int16_t> sample_data; // interleaved left, right; sized to the file
    void* sample_handle = nullptr;
    int32_t sample_frames = 0;
    float position = 0.0f;
    float rate = 1.0f;
    float gain = 1.0f;
    char FILE[80] = "";
    char sample_path[800] = "";
    // The name sits last so that the fields read every sample share few cache lines.
    char name[800] = "";
};

// Reads the data chunk of a canonical 44-byte-header WAVE file into dst (resized to the
// bytes read, cut at SAMPLE_DATA_MAX_BYTES). Returns the byte count, or -1 after printing
// "Error load [path]" when the file cannot be opened.
int read_wave_data(std::vector<int16_t>& dst, const char* path);
