// Writing canonical 44-byte-header PCM WAVE files (16-bit stereo, 44100 Hz) from float signals.
#include "wave_writer.h"

#include <cmath>
#include <cstdio>

namespace {

void put_u32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

void put_u16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void put_tag(uint8_t* p, const char* tag) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(tag[i]);
}

} // namespace

std::array<uint8_t, WAVE_HEADER_BYTES> wave_header(uint32_t frames) {
    const uint16_t channels = 2;
    const uint16_t bits = 16;
    const uint16_t block_align = channels * bits / 8;
    const uint32_t data_bytes = frames * block_align;

    std::array<uint8_t, WAVE_HEADER_BYTES> h{};
    put_tag(&h[0], "RIFF");
    put_u32(&h[4], 36 + data_bytes); // everything after this field
    put_tag(&h[8], "WAVE");
    put_tag(&h[12], "fmt ");
    put_u32(&h[16], 16);
    put_u16(&h[20], 1); // integer PCM
    put_u16(&h[22], channels);
    put_u32(&h[24], SAMPLE_RATE);
    put_u32(&h[28], SAMPLE_RATE * block_align);
    put_u16(&h[32], block_align);
    put_u16(&h[34], bits);
    put_tag(&h[36], "data");
    put_u32(&h[40], data_bytes);
    return h;
}

int16_t to_pcm16(float v) {
    if (std::isnan(v)) return 0;
    float s = std::round(v * 32767.0f);
    if (s > 32767.0f) s = 32767.0f;
    if (s < -32767.0f) s = -32767.0f;
    return static_cast<int16_t>(s);
}

void normalise(std::vector<float>& signal, float peak) {
    float largest = 0.0f;
    for (float v : signal)
        largest = std::fmax(largest, std::fabs(v));
    if (largest == 0.0f) return;
    const float k = peak / largest;
    for (float& v : signal)
        v *= k;
}

bool write_wave(const std::string& path, const std::vector<float>& mono) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const auto header = wave_header(static_cast<uint32_t>(mono.size()));
    bool ok = std::fwrite(header.data(), 1, header.size(), f) == header.size();
    std::vector<uint8_t> data(mono.size() * 4);
    for (size_t i = 0; i < mono.size(); ++i) {
        const uint16_t s = static_cast<uint16_t>(to_pcm16(mono[i]));
        for (int c = 0; c < 2; ++c)
            put_u16(&data[4 * i + 2 * c], s);
    }
    ok = ok && std::fwrite(data.data(), 1, data.size(), f) == data.size();
    ok = (std::fclose(f) == 0) && ok;
    if (!ok) std::remove(path.c_str());
    return ok;
}
