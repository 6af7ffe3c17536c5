// The load meter: the share of each audio period spent rendering, and the late periods.
#include "load_meter.h"

#include <algorithm>
#include <atomic>
#include <chrono>

void LOAD_WINDOW::add(int64_t busy_ns, int64_t period_ns) {
    if (period_ns <= 0) return;
    slice_busy_ += busy_ns;
    slice_sound_ += period_ns;
    slice_peak_ = std::max(slice_peak_, static_cast<double>(busy_ns) / static_cast<double>(period_ns));
    if (slice_sound_ >= SLICE_NS) {
        average = static_cast<double>(slice_busy_) / static_cast<double>(slice_sound_);
        peaks_[next_] = slice_peak_;
        next_ = (next_ + 1) % PEAK_SLICES;
        slice_busy_ = slice_sound_ = 0;
        slice_peak_ = 0;
    }
    peak = slice_peak_;
    for (double p : peaks_) peak = std::max(peak, p);
}

bool late_callback(int64_t& due_ns, int64_t now_ns, int64_t period_ns) {
    if (due_ns == 0) {
        due_ns = now_ns + period_ns;
        return false;
    }
    const bool late = now_ns > due_ns + period_ns;
    due_ns = (late ? now_ns : due_ns) + period_ns;
    return late;
}

int64_t load_clock_ns() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

namespace {
// The window belongs to whichever audio thread renders; the main thread sees only the words.
LOAD_WINDOW window;
// Shares in millionths, so each fits one word.
std::atomic<uint32_t> average_ppm{0}, peak_ppm{0};
std::atomic<uint32_t> late_periods{0};

uint32_t ppm(double share) {
    return static_cast<uint32_t>(std::min(std::max(share, 0.0), 4000.0) * 1e6);
}
} // namespace

void load_period(int64_t busy_ns, int64_t period_ns) {
    window.add(busy_ns, period_ns);
    average_ppm.store(ppm(window.average), std::memory_order_relaxed);
    peak_ppm.store(ppm(window.peak), std::memory_order_relaxed);
}

void load_late_period() {
    late_periods.fetch_add(1, std::memory_order_relaxed);
}

LOAD_READING load_reading() {
    LOAD_READING r;
    r.average = average_ppm.load(std::memory_order_relaxed) / 1e6;
    r.peak = peak_ppm.load(std::memory_order_relaxed) / 1e6;
    r.late = late_periods.load(std::memory_order_relaxed);
    return r;
}
