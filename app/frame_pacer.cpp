// The pass pacer: sleeps to the next period boundary, never catches up on missed ones.
#include "app/frame_pacer.h"

#include <thread>

FRAME_PACER::FRAME_PACER(std::chrono::steady_clock::duration p)
    : period(p), next(std::chrono::steady_clock::now() + p) {}

void FRAME_PACER::wait() {
    const auto now = std::chrono::steady_clock::now();
    if (now < next) {
        std::this_thread::sleep_until(next);
        next += period;
    } else {
        next = now + period;
    }
}
