// Writing 44100 Hz 16-bit stereo PCM WAVE files whose header stays valid while they grow.
#include "platform/wave_file.h"

#include <cstring>

namespace {

void put_u32(unsigned char* p, uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

void put_u16(unsigned char* p, uint16_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

} // namespace

void wave_header(unsigned char out[WAVE_HEADER_BYTES], uint32_t data_bytes) {
    const uint16_t block_align = WAVE_CHANNELS * WAVE_BITS / 8;
    std::memcpy(out, "RIFF", 4);
    put_u32(out + 4, 36u + data_bytes); // everything after this field
    std::memcpy(out + 8, "WAVE", 4);
    std::memcpy(out + 12, "fmt ", 4);
    put_u32(out + 16, 16); // size of the PCM format body
    put_u16(out + 20, 1);  // PCM
    put_u16(out + 22, WAVE_CHANNELS);
    put_u32(out + 24, SAMPLE_RATE);
    put_u32(out + 28, SAMPLE_RATE * block_align); // bytes per second
    put_u16(out + 32, block_align);
    put_u16(out + 34, WAVE_BITS);
    std::memcpy(out + 36, "data", 4);
    put_u32(out + 40, data_bytes);
}

WAVE_WRITER::~WAVE_WRITER() {
    close();
}

bool WAVE_WRITER::open(const char* path) {
    close();
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    return attach(f);
}

bool WAVE_WRITER::attach(FILE* file) {
    close();
    if (!file) return false;
    file_ = file;
    data_bytes_ = 0;
    failed_ = false;
    return write_header() && std::fflush(file_) == 0;
}

bool WAVE_WRITER::write_header() {
    unsigned char header[WAVE_HEADER_BYTES];
    wave_header(header, data_bytes_);
    if (std::fseek(file_, 0, SEEK_SET) != 0 ||
        std::fwrite(header, 1, sizeof header, file_) != sizeof header ||
        std::fseek(file_, 0, SEEK_END) != 0) {
        failed_ = true;
        return false;
    }
    return true;
}

bool WAVE_WRITER::write_frames(const int16_t* samples, int frame_count) {
    if (!file_ || failed_) return false;
    if (frame_count <= 0) return true;
    const uint64_t bytes = static_cast<uint64_t>(frame_count) * 4u;
    if (data_bytes_ + bytes > WAVE_MAX_DATA_BYTES) {
        failed_ = true;
        return false;
    }
    // Converted in slices through a fixed buffer so the byte order is right on any host.
    unsigned char chunk[4096];
    const int total = frame_count * 2;
    for (int done = 0; done < total;) {
        int n = total - done;
        if (n > static_cast<int>(sizeof chunk / 2)) n = sizeof chunk / 2;
        for (int i = 0; i < n; ++i)
            put_u16(chunk + 2 * i, static_cast<uint16_t>(samples[done + i]));
        if (std::fwrite(chunk, 2, static_cast<size_t>(n), file_) != static_cast<size_t>(n)) {
            failed_ = true;
            return false;
        }
        done += n;
    }
    data_bytes_ += static_cast<uint32_t>(bytes);
    return true;
}

bool WAVE_WRITER::update_header() {
    if (!file_ || failed_) return false;
    return write_header() && std::fflush(file_) == 0;
}

bool WAVE_WRITER::close() {
    if (!file_) return false;
    bool ok = !failed_ && write_header();
    if (std::fclose(file_) != 0) ok = false;
    file_ = nullptr;
    return ok;
}
