// SAMPLER processing (one-shot playback closing its note source's gate) and the WAVE reader.
#include "sampler.h"

#include <cstdio>

namespace {

constexpr float ONE_440TH = 0.0022727272f;       // a 440 Hz note plays the data at its own speed
constexpr float SAMPLE_SCALE = 3.0517578125e-5f; // 1/32768

uint32_t le32(const unsigned char* b) {
    return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
           static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
}

} // namespace

SAMPLER::SAMPLER() {}

int SAMPLER::process() {
    if (gate_in == nullptr) return 1;
    if (*gate_in == 0) {
        position = 0.0f;
        value = 0.0f;
        return 1;
    }
    if (sync_in != nullptr && *sync_in != 0) {
        std::printf("Gate in SAMPLER[%s] -> time to 0\n", name);
        position = 0.0f;
    }

    // With no note the sample plays at its own speed, as for 440 Hz.
    float d = input != nullptr ? *input * ONE_440TH + rate - 1.0f : rate;
    float g = gain;
    if (mod_amp != nullptr) g = g * read_mod(mod_amp) + gain;
    if (mod_freq != nullptr) d = d * read_mod(mod_freq) + rate;

    // The position counts 16-bit values, two per stereo frame; the sample ends when it has
    // passed the last frame, and closes the gate of the note source that started it.
    int64_t held = static_cast<int64_t>(sample_data.size()) / 2;
    int64_t frames = sample_frames < held ? sample_frames : held;
    if (position < 0.0f) position = 0.0f;
    if (!(position < static_cast<float>(2 * frames))) {
        position = 0.0f;
        value = 0.0f;
        *gate_in = 0;
        return 1;
    }
    // Always the left value of the frame under the position.
    const int64_t frame = static_cast<int64_t>(position * 0.5f);
    value = g * static_cast<float>(sample_data[static_cast<size_t>(2 * frame)]) * SAMPLE_SCALE;
    position += 2.0f * d;
    return 1;
}

int read_wave_data(std::vector<int16_t>& dst, const char* path) {
    std::FILE* file = path != nullptr ? std::fopen(path, "rb") : nullptr;
    if (file == nullptr) {
        std::printf("Error load [%s]\n", path != nullptr ? path : "");
        return -1;
    }
    // The canonical layout: a 12-byte RIFF header, a 24-byte "fmt " chunk of 16 bytes of body,
    // then the 8-byte data chunk header whose last 4 bytes hold the data length. Nothing in it is
    // checked: the data is taken as 16-bit stereo at 44100 Hz.
    unsigned char header[44];
    dst.clear();
    if (std::fread(header, 1, sizeof header, file) != sizeof header) {
        std::fclose(file);
        return 0;
    }
    // The length is unsigned on disk; writers that do not know it store 0xFFFFFFFF, which reads
    // as "as much as the buffer holds".
    uint32_t length = le32(header + 40);
    if (length > static_cast<uint32_t>(SAMPLE_DATA_MAX_BYTES)) length = SAMPLE_DATA_MAX_BYTES;
    // A header may promise more than the file holds: take no more room than there is to read.
    const long start = std::ftell(file);
    if (start >= 0 && std::fseek(file, 0, SEEK_END) == 0) {
        const long end = std::ftell(file);
        if (end >= start && static_cast<unsigned long>(end - start) < length)
            length = static_cast<uint32_t>(end - start);
        std::fseek(file, start, SEEK_SET);
    }

    std::vector<unsigned char> bytes(length);
    size_t got = length > 0 ? std::fread(bytes.data(), 1, length, file) : 0;
    std::fclose(file);

    dst.resize(got / 2);
    for (size_t i = 0; i < dst.size(); ++i)
        dst[i] = static_cast<int16_t>(static_cast<uint16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8));
    return static_cast<int>(got);
}
