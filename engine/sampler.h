// SAMPLER: one-shot player of a 16-bit stereo sample held in memory.
#pragma once
#include <atomic>
#include <cstdint>
#include <vector>

#include "sample_file.h"
#include "vco.h"

struct SAMPLER : VCO {
    SAMPLER();
    int process() override;

    std::vector<int16_t> sample_data; // interleaved left, right; sized to the file
    void* sample_handle = nullptr;
    int32_t sample_frames = 0;
    float position = 0.0f;
    float rate = 1.0f;
    float gain = 1.0f;
    // Sync restarts, counted on the audio thread (its only writer) and told on the console by
    // report_sampler_restarts on the main thread, which keeps its own count of those told.
    std::atomic<uint32_t> restarts{0};
    uint32_t restarts_reported = 0;
    // 1 while the sampler sounds its sample, written by the audio thread only when it changes;
    // the panel's lamp reads it once a frame.
    std::atomic<uint32_t> playing{0};
    void show_playing(uint32_t on) {
        if (playing.load(std::memory_order_relaxed) != on) playing.store(on, std::memory_order_relaxed);
    }
    char FILE[80] = "";
    char sample_path[800] = "";
    // The name sits last so that the fields read every sample share few cache lines.
    char name[800] = "";
};
static_assert(std::atomic<uint32_t>::is_always_lock_free, "the audio thread counts restarts without a lock");

// Prints "Gate in SAMPLER[name] -> time to 0" once for every sync restart of each sampler since
// the last call, and returns how many lines it printed. Main thread only: the audio thread
// never prints.
int report_sampler_restarts(const std::vector<SAMPLER*>& samplers);
