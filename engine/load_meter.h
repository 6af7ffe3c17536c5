// The load meter: the share of each audio period spent rendering, averaged over about a second
// with the peak of the last few seconds, and the count of periods that came late or were lost.
#pragma once
#include <cstdint>

// The arithmetic, fed one period at a time, in nanoseconds of the steady clock.
struct LOAD_WINDOW {
    static constexpr int64_t SLICE_NS = 1000000000; // an average covers at least 1 s of sound
    static constexpr int PEAK_SLICES = 5;           // the peak covers the last 5 slices

    double average = 0; // busy time over sound time in the last whole slice
    double peak = 0;    // the highest single period's share in the last PEAK_SLICES slices

    // One period: busy_ns spent rendering period_ns of sound.
    void add(int64_t busy_ns, int64_t period_ns);

  private:
    int64_t slice_busy_ = 0, slice_sound_ = 0;
    double slice_peak_ = 0;
    double peaks_[PEAK_SLICES] = {};
    int next_ = 0;
};

// Whether a callback at now_ns came late, a whole period after it was due; due_ns (0 before the
// first callback) moves on by a period each time, and starts again from now after a late one.
bool late_callback(int64_t& due_ns, int64_t now_ns, int64_t period_ns);

// The steady clock in nanoseconds; a clock read, safe on the audio thread.
int64_t load_clock_ns();

// Audio thread: one rendered period, measured with two clock reads. Keeps its own LOAD_WINDOW
// and publishes the results as single-word atomic stores; no lock, no allocation.
void load_period(int64_t busy_ns, int64_t period_ns);
// Any thread (the audio callback, JACK's xrun callback): one period came late or was lost.
void load_late_period();

struct LOAD_READING {
    double average = 0; // shares of the period, 1 = all of it
    double peak = 0;
    unsigned late = 0;
};
// Main thread: what the meter shows now.
LOAD_READING load_reading();
