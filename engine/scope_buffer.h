// The oscilloscope's trace points, handed from the audio thread to the main thread without a lock.
#pragma once
#include <atomic>
#include <cstdint>

// One sweep spans this many columns before it starts again at column 0.
constexpr int SCOPE_SWEEP_COLUMNS = 800;
// Pixels per unit of master signal.
constexpr float SCOPE_PIXELS_PER_UNIT = 128.0f;
// Furthest a point may lie from the centre line, whatever the signal; the screen clamps again
// to its own height.
constexpr int SCOPE_ROW_LIMIT = 1024;
// The zoom stays within 2^-10 .. 2^10.
constexpr float SCOPE_ZOOM_MIN = 1.0f / 1024.0f;
constexpr float SCOPE_ZOOM_MAX = 1024.0f;

// A point of the trace: its column and its distance from the centre line in pixels (positive
// downwards). A point whose column is SCOPE_WRAP marks the end of a sweep.
struct SCOPE_POINT {
    int16_t x = 0;
    int16_t y = 0;
};
constexpr int16_t SCOPE_WRAP = -1;

// The row offset of a master value: m x 128 truncated toward zero, within the row limit; a
// value that is not a number lies on the centre line.
int scope_row_offset(float master);

// The zoom halved or doubled, kept within its bounds; a zoom that is not a number starts again at 1.
float scope_zoom_halved(float zoom);
float scope_zoom_doubled(float zoom);

// Columns the trace moves per frame at zoom 1: what a 3072-frame block always gave (its whole
// 700ths times 0.001), now at every block length, so short JACK periods do not freeze the trace.
constexpr float SCOPE_STEP_PER_FRAME = 0.004f;
// How far the trace moves per frame: zoom x 0.004 columns, whatever the block length.
float scope_column_step(float zoom);

// A single-producer single-consumer ring of points: the audio thread pushes, the main thread
// takes. Neither side waits or allocates; a push into a full ring is dropped and counted.
class SCOPE_BUFFER {
  public:
    static constexpr uint32_t CAPACITY = 1u << 15;

    bool push(SCOPE_POINT p);
    // Copies up to max points into out, oldest first; returns how many.
    int take(SCOPE_POINT* out, int max);
    // Forgets everything not yet taken (main thread).
    void clear();
    uint32_t dropped() const { return lost.load(std::memory_order_relaxed); }

  private:
    std::atomic<uint32_t> head{0}; // next slot the producer writes
    std::atomic<uint32_t> tail{0}; // next slot the consumer reads
    std::atomic<uint32_t> lost{0};
    uint32_t slots[CAPACITY] = {};
};

extern SCOPE_BUFFER scope_buffer;

// The audio thread's plot of one frame: advances scope_x by the zoomed step, ends the sweep past
// column 800, and pushes the point into scope_buffer. This is what scope_plot_hook is set to; the
// block length it is given does not change the step.
void scope_plot_frame(float master, int frames);
