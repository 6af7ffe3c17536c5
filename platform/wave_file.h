// Writing 44100 Hz 16-bit stereo PCM WAVE files whose header stays valid while they grow.
#pragma once
#include <cstdint>
#include <cstdio>

#include "engine/stream_format.h"

constexpr int WAVE_HEADER_BYTES = 44;
constexpr int WAVE_CHANNELS = 2;
constexpr int WAVE_BITS = 16;
// The largest data chunk whose RIFF size (data + 36) still fits the 32-bit field.
constexpr uint32_t WAVE_MAX_DATA_BYTES = 0xFFFFFFFFu - 36u;

// The canonical 44-byte header of a file holding data_bytes bytes of samples.
void wave_header(unsigned char out[WAVE_HEADER_BYTES], uint32_t data_bytes);

// Appends interleaved stereo frames to a file. The header is written first with the sizes
// known so far and rewritten by update_header(), so a file cut short still plays what it holds.
class WAVE_WRITER {
  public:
    WAVE_WRITER() = default;
    ~WAVE_WRITER();
    WAVE_WRITER(const WAVE_WRITER&) = delete;
    WAVE_WRITER& operator=(const WAVE_WRITER&) = delete;

    // Creates (truncates) the file at path; false when it cannot be opened for writing.
    bool open(const char* path);
    // Takes ownership of a stream opened for writing at its start (a temporary file, say).
    bool attach(FILE* file);
    bool is_open() const { return file_ != nullptr; }

    // Appends frame_count frames (two samples each) as little-endian 16-bit words. Fails when
    // the write fails or the data chunk would outgrow its 32-bit size.
    bool write_frames(const int16_t* samples, int frame_count);
    // Rewrites both size fields for the data written so far and flushes the stream.
    bool update_header();
    // Final header, flush and close; false if any of them failed.
    bool close();

    uint32_t data_bytes() const { return data_bytes_; }
    FILE* stream() const { return file_; }

  private:
    bool write_header();

    FILE* file_ = nullptr;
    uint32_t data_bytes_ = 0;
    bool failed_ = false;
};
