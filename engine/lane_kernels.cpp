// Choosing the lane kernels for the processor the program runs on.
#include "lane_kernels.h"

#include <atomic>
#include <initializer_list>

extern const LANE_KERNELS lane_kernels_128, lane_kernels_256, lane_kernels_512;

namespace {
bool has(int bits) {
    if (bits == 512) return __builtin_cpu_supports("avx512f");
    if (bits == 256) return __builtin_cpu_supports("avx2");
    return bits == 128; // every x86-64 processor has SSE2
}

const LANE_KERNELS* widest() {
    for (int bits : {512, 256, 128})
        if (has(bits)) return lane_kernels_of(bits);
    return &lane_kernels_128;
}

std::atomic<const LANE_KERNELS*> chosen{nullptr};
} // namespace

const LANE_KERNELS* lane_kernels_of(int bits) {
    if (!has(bits)) return nullptr;
    return bits == 512 ? &lane_kernels_512 : bits == 256 ? &lane_kernels_256 : &lane_kernels_128;
}

const LANE_KERNELS& lane_kernels() {
    const LANE_KERNELS* k = chosen.load(std::memory_order_relaxed);
    if (k == nullptr) {
        k = widest();
        chosen.store(k, std::memory_order_relaxed);
    }
    return *k;
}

bool use_lane_kernels(int bits) {
    const LANE_KERNELS* k = lane_kernels_of(bits);
    if (k == nullptr) return false;
    chosen.store(k, std::memory_order_relaxed);
    return true;
}
