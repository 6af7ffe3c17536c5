// Fuzzes the WAVE reader with arbitrary files.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "engine/sampler.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/fuzz_wave_" + std::to_string(getpid()) + ".wav";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    std::vector<int16_t> samples;
    const int bytes = read_wave_data(samples, path.c_str());
    // What was read is bounded and held whole, one sample per two bytes.
    if (bytes > SAMPLE_DATA_MAX_BYTES || (bytes >= 0 && samples.size() != static_cast<size_t>(bytes) / 2))
        __builtin_trap();
    std::remove(path.c_str());
    return 0;
}
