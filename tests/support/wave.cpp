// Reads what the program recorded or rendered: 16-bit stereo WAVE files with the 44-byte header.
#include "tests/support/wave.h"

#include <sys/stat.h>

#include <cmath>

#include "tests/support/scratch.h"

std::vector<double> left_channel(const std::string& path) {
    const std::string b = read_text(path);
    std::vector<double> out;
    if (b.size() < 44) return out;
    const size_t frames = (b.size() - 44) / 4;
    out.reserve(frames);
    for (size_t i = 0; i < frames; ++i) {
        const size_t at = 44 + 4 * i;
        const auto lo = static_cast<uint8_t>(b[at]), hi = static_cast<uint8_t>(b[at + 1]);
        out.push_back(static_cast<int16_t>(lo | hi << 8) / 32768.0);
    }
    return out;
}

size_t wave_frames_written(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || st.st_size < 44) return 0;
    return static_cast<size_t>(st.st_size - 44) / 4;
}

double rms(const std::vector<double>& samples, size_t from, size_t to) {
    if (to > samples.size()) to = samples.size();
    if (from >= to) return 0;
    double sum = 0;
    for (size_t i = from; i < to; ++i)
        sum += samples[i] * samples[i];
    return std::sqrt(sum / static_cast<double>(to - from));
}

double peak(const std::vector<double>& samples) {
    double p = 0;
    for (double v : samples)
        p = std::fmax(p, std::fabs(v));
    return p;
}

double mean(const std::vector<double>& samples) {
    if (samples.empty()) return 0;
    double total = 0;
    for (double v : samples) total += v;
    return total / static_cast<double>(samples.size());
}

std::vector<double> first_difference(const std::vector<double>& samples) {
    std::vector<double> d(samples.size());
    for (size_t i = 0; i < samples.size(); ++i)
        d[i] = samples[i] - (i ? samples[i - 1] : 0);
    return d;
}
