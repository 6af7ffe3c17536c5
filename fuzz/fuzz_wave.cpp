// Fuzzes the sample file reader with arbitrary files, then plays what it kept on a sampler.
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
    std::vector<int16_t> samples = {1, 2};
    const int bytes = read_wave_data(samples, path.c_str());
    std::remove(path.c_str());
    // Either nothing is held, or whole stereo frames within the sampler's room.
    if (bytes < 0) {
        if ((bytes != WAVE_OPEN_FAILED && bytes != WAVE_REFUSED) || !samples.empty()) __builtin_trap();
        return 0;
    }
    if (bytes == 0 || bytes > SAMPLE_DATA_MAX_BYTES || bytes % 4 != 0 ||
        samples.size() != static_cast<size_t>(bytes) / 2)
        __builtin_trap();

    // A note above the sample's own pitch runs it to its end and closes the gate.
    SAMPLER s;
    int32_t gate = 1;
    float note = 880.0f * 64;
    s.gate_in = &gate;
    s.input = &note;
    s.sample_data.swap(samples);
    s.sample_frames = bytes / 4;
    for (int i = 0; i < 100000 && gate == 1; ++i) {
        s.process();
        if (!(s.value >= -1.0f && s.value <= 1.0f)) __builtin_trap();
    }
    return 0;
}
