// Reading sample files (WAVE, AIFF, FLAC and the rest libsndfile knows) as 16-bit stereo at 44100 Hz.
#pragma once
#include <cstdint>
#include <vector>

#include "engine/stream_format.h"

// The largest sample a sampler holds, in bytes of 16-bit stereo (4,000,000 frames, about 90.7 s).
constexpr int SAMPLE_DATA_MAX_BYTES = 16000000;
constexpr int SAMPLE_DATA_MAX_FRAMES = SAMPLE_DATA_MAX_BYTES / 4;

// The rate everything is converted to, and the file rates accepted for conversion.
constexpr int SAMPLE_FILE_MIN_RATE = 1000;
constexpr int SAMPLE_FILE_MAX_RATE = 192000;

// What read_wave_data returns when it has no data to give.
constexpr int WAVE_OPEN_FAILED = -1; // the file cannot be opened at all
constexpr int WAVE_REFUSED = -2;     // it opens, but holds no sound the sampler can play

// Fills dst with interleaved left, right 16-bit values at 44100 Hz and returns the bytes held
// (4 per frame), cut at SAMPLE_DATA_MAX_BYTES. A 16-bit file at 44100 Hz is taken as it stands;
// anything else is converted: mono goes to both channels, of more channels the first two are
// kept, other rates are resampled. Prints "Error load [path]" and returns WAVE_OPEN_FAILED when
// the file cannot be opened; prints why and returns WAVE_REFUSED for a file that is not sound
// or holds none. dst is empty whenever no data is returned.
int read_wave_data(std::vector<int16_t>& dst, const char* path);

// Why read_wave_data would give no data for the file at path ("cannot be opened", "is empty",
// "is not a sound file", "has a rate that cannot be played", "holds no sound"), or null when
// it would load. Looks at the header only and prints nothing.
const char* sample_file_problem(const char* path);

// A normalised sample (full scale at +-1) as a 16-bit value: x 32768, rounded to nearest (halves away
// from zero) and held inside [-32768, 32767], so 8-, 24- and 32-bit integer data keep their top 16 bits
// rounded. Not-a-number gives 0.
int16_t sample_to_pcm16(double v);

// Frames that `frames` frames at `rate` Hz last at 44100 Hz, rounded to nearest.
long long frames_at_output_rate(long long frames, int rate);
