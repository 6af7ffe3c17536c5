// SAMPLER processing: one-shot playback that closes its note source's gate at the end.
#include "sampler.h"

#include <cstdio>

#include "engine/verbose.h"

namespace {

constexpr float ONE_440TH = 0.0022727272f;       // a 440 Hz note plays the data at its own speed
constexpr float SAMPLE_SCALE = 3.0517578125e-5f; // 1/32768

} // namespace

SAMPLER::SAMPLER() {}

int SAMPLER::process() {
    if (gate_in == nullptr) return 1;
    if (shared_load(*gate_in) == 0) {
        position = 0.0f;
        value = 0.0f;
        show_playing(0);
        return 1;
    }
    if (sync_in != nullptr && *sync_in != 0) {
        restarts.store(restarts.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
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
    // A sampler without a sample (its file refused) is silent and leaves the gate alone, so the
    // other modules on the same note source still play.
    if (frames <= 0) {
        value = 0.0f;
        show_playing(0);
        return 1;
    }
    if (position < 0.0f) position = 0.0f;
    if (!(position < static_cast<float>(2 * frames))) {
        position = 0.0f;
        value = 0.0f;
        shared_store(*gate_in, 0);
        show_playing(0);
        return 1;
    }
    // Always the left value of the frame under the position.
    const int64_t frame = static_cast<int64_t>(position * 0.5f);
    value = g * static_cast<float>(sample_data[static_cast<size_t>(2 * frame)]) * SAMPLE_SCALE;
    position += 2.0f * d;
    show_playing(1);
    return 1;
}

int report_sampler_restarts(const std::vector<SAMPLER*>& samplers) {
    int lines = 0;
    for (SAMPLER* s : samplers) {
        const uint32_t now = s->restarts.load(std::memory_order_relaxed);
        for (; s->restarts_reported != now; ++s->restarts_reported, ++lines)
            verbose_printf("Gate in SAMPLER[%s] -> time to 0\n", s->name);
    }
    return lines;
}
