// The modules' random source: a linear congruential generator with rand()'s 0..32767 range.
#include "random.h"

#include <atomic>
#include <chrono>

namespace {

// Plain loads and stores of one word: no lock, so the audio thread never waits on it. Two
// threads drawing at once may get the same number, which is harmless for noise and phases.
std::atomic<uint32_t> rand_state{1};

const std::chrono::steady_clock::time_point program_start = std::chrono::steady_clock::now();

} // namespace

int synth_rand() {
    uint32_t s = rand_state.load(std::memory_order_relaxed) * 214013u + 2531011u;
    rand_state.store(s, std::memory_order_relaxed);
    return static_cast<int>((s >> 16) & 0x7fffu);
}

void synth_srand(uint32_t seed) {
    rand_state.store(seed, std::memory_order_relaxed);
}

uint32_t ticks_ms() {
    auto elapsed = std::chrono::steady_clock::now() - program_start;
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

uint32_t (*sequencer_seed)() = ticks_ms;
