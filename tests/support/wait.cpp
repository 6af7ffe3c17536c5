// Waiting on what a test checks, against a deadline on the steady clock.
#include "tests/support/wait.h"

#include <chrono>
#include <thread>

bool wait_until(const std::function<bool()>& done, int timeout_ms, int poll_ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return done();
        pause_ms(poll_ms);
    }
}

void pause_ms(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
