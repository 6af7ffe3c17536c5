// Keeps the passes of a screen loop about 60 a second apart.
#pragma once
#include <chrono>

constexpr int FRAMES_PER_SECOND = 60;

// Keeps passes a fixed period apart by sleeping the rest of each one. A pass that overran
// starts the next at once, and the schedule starts afresh from there, so a slow stretch is
// not followed by a burst of catch-up passes.
class FRAME_PACER {
  public:
    explicit FRAME_PACER(std::chrono::steady_clock::duration period);
    void wait();

  private:
    std::chrono::steady_clock::duration period;
    std::chrono::steady_clock::time_point next;
};
