// The drum kit's float signals as 16-bit stereo WAVE files, through the program's WAVE writer.
#include "wave_writer.h"

#include <cmath>
#include <cstdio>

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
    WAVE_WRITER wave;
    if (!wave.open(path.c_str())) return false;
    std::vector<int16_t> frames(mono.size() * 2);
    for (size_t i = 0; i < mono.size(); ++i)
        frames[2 * i] = frames[2 * i + 1] = to_pcm16(mono[i]);
    bool ok = frames.size() / 2 <= WAVE_MAX_DATA_BYTES / 4 &&
              wave.write_frames(frames.data(), static_cast<int>(mono.size()));
    ok = wave.close() && ok;
    if (!ok) std::remove(path.c_str());
    return ok;
}
