// The audio stream callback: runs the sweep once per frame and writes 16-bit stereo samples.
#include "audio.h"

#include <cmath>
#include <thread>

#include "block_plan.h"
#include "generator.h"
#include "midi_input.h"

std::atomic<int> audio_running{0};

namespace {
// Set while a block is being rendered. render_block raises it before it reads audio_running
// and audio_pause clears audio_running before it reads it; with both sequentially consistent,
// either the block sees the pause or the pause sees the block and waits for it.
std::atomic<int> render_busy{0};

float silent_master = 0.0f;
std::atomic<unsigned> pauses{0};
} // namespace

float** master_out = new float*(&silent_master);

std::atomic<int> scope_mode{0};
std::atomic<float> scope_zoom{1.0f};
float scope_x = 0.0f;
void (*scope_plot_hook)(float master, int frames) = nullptr;

void audio_pause() {
    pauses.fetch_add(1);
    audio_running.store(0);
    while (render_busy.load() != 0)
        std::this_thread::yield();
}

unsigned audio_pause_count() {
    return pauses.load();
}

void audio_resume() {
    audio_running.store(1);
}

void point_master_out(float* source) {
    *master_out = source != nullptr ? source : &silent_master;
}

int16_t to_sample(float m) {
    if (std::isnan(m)) return 0;
    const double s = static_cast<double>(m) * 32767.0;
    if (s >= 32767.0) return 32767;
    if (s <= -32768.0) return -32768;
    return static_cast<int16_t>(static_cast<int64_t>(s));
}

void render_frames(GENERATOR* g, float* out, int frames) {
    const bool planned = g != nullptr && g->plan != nullptr && block_engine.load(std::memory_order_relaxed) != 0 &&
                         plan_matches(*g->plan, *g);
    for (int done = 0; done < frames;) {
        const int run = frames - done < SUB_BLOCK ? frames - done : SUB_BLOCK;
        if (!planned || !run_block_plan(*g->plan, *master_out, out + done, run)) {
            for (int n = 0; n < run; ++n) {
                if (g != nullptr) g->sweep();
                out[done + n] = **master_out;
            }
        }
        done += run;
    }
    if (planned) flush_block_plan(*g->plan);
}

int render_block(void* /*stream*/, void* buffer, int length, void* /*user*/) {
    render_busy.store(1);
    if (audio_running.load() == 0 || buffer == nullptr) {
        render_busy.store(0);
        return 1;
    }
    apply_midi_events(audio_pause_count());
    const int frames = length >> 2;
    int16_t* out = static_cast<int16_t*>(buffer);
    // The frame count is compared as a float, as the stream always has; counting in an int
    // keeps that comparison yet cannot stall on a huge length where a float counter would.
    constexpr int RUN = 16 * SUB_BLOCK;
    float master[RUN];
    for (int n = 0; static_cast<float>(n) < static_cast<float>(frames);) {
        int run = 0;
        while (run < RUN && static_cast<float>(n + run) < static_cast<float>(frames))
            ++run;
        render_frames(generator, master, run);
        for (int i = 0; i < run; ++i, ++n) {
            const float m = master[i];
            const int16_t sample = to_sample(m);
            out[2 * n] = sample;
            out[2 * n + 1] = sample;
            if (scope_mode.load(std::memory_order_relaxed) == 1) {
                void (*plot)(float, int) = shared_load(scope_plot_hook);
                if (plot != nullptr) plot(m, frames);
            }
        }
    }
    render_busy.store(0);
    return 1;
}
