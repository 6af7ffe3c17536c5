// The oscilloscope's trace points: clamped on the audio thread, passed through a lock-free ring.
#include "engine/scope_buffer.h"

#include <cmath>

#include "engine/audio.h"

SCOPE_BUFFER scope_buffer;

int scope_row_offset(float master) {
    if (std::isnan(master)) return 0;
    const float amp = master * SCOPE_PIXELS_PER_UNIT;
    if (amp >= static_cast<float>(SCOPE_ROW_LIMIT)) return SCOPE_ROW_LIMIT;
    if (amp <= -static_cast<float>(SCOPE_ROW_LIMIT)) return -SCOPE_ROW_LIMIT;
    return static_cast<int>(amp);
}

namespace {

float bounded_zoom(float zoom) {
    if (std::isnan(zoom)) return 1.0f;
    if (zoom < SCOPE_ZOOM_MIN) return SCOPE_ZOOM_MIN;
    if (zoom > SCOPE_ZOOM_MAX) return SCOPE_ZOOM_MAX;
    return zoom;
}

uint32_t pack(SCOPE_POINT p) {
    return static_cast<uint32_t>(static_cast<uint16_t>(p.x)) |
           static_cast<uint32_t>(static_cast<uint16_t>(p.y)) << 16;
}

SCOPE_POINT unpack(uint32_t v) {
    SCOPE_POINT p;
    p.x = static_cast<int16_t>(static_cast<uint16_t>(v & 0xFFFFu));
    p.y = static_cast<int16_t>(static_cast<uint16_t>(v >> 16));
    return p;
}

} // namespace

float scope_zoom_halved(float zoom) {
    return bounded_zoom(bounded_zoom(zoom) * 0.5f);
}

float scope_zoom_doubled(float zoom) {
    return bounded_zoom(bounded_zoom(zoom) * 2.0f);
}

float scope_column_step(float zoom) {
    return bounded_zoom(zoom) * SCOPE_STEP_PER_FRAME;
}

bool SCOPE_BUFFER::push(SCOPE_POINT p) {
    const uint32_t h = head.load(std::memory_order_relaxed);
    if (h - tail.load(std::memory_order_acquire) >= CAPACITY) {
        lost.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    slots[h & (CAPACITY - 1)] = pack(p);
    head.store(h + 1, std::memory_order_release);
    return true;
}

int SCOPE_BUFFER::take(SCOPE_POINT* out, int max) {
    const uint32_t t = tail.load(std::memory_order_relaxed);
    const uint32_t h = head.load(std::memory_order_acquire);
    int n = 0;
    for (uint32_t i = t; i != h && n < max; ++i)
        out[n++] = unpack(slots[i & (CAPACITY - 1)]);
    tail.store(t + static_cast<uint32_t>(n), std::memory_order_release);
    return n;
}

void SCOPE_BUFFER::clear() {
    tail.store(head.load(std::memory_order_acquire), std::memory_order_release);
}

void scope_plot_frame(float master, int) {
    // Past column 800 the sweep starts again; so does a column that is not a number.
    if (!(scope_x >= 0.0f && scope_x < static_cast<float>(SCOPE_SWEEP_COLUMNS + 1))) {
        scope_buffer.push({SCOPE_WRAP, 0});
        scope_x = 0.0f;
    }
    scope_x += scope_column_step(scope_zoom.load(std::memory_order_relaxed));
    SCOPE_POINT p;
    p.x = static_cast<int16_t>(scope_x);
    p.y = static_cast<int16_t>(scope_row_offset(master));
    scope_buffer.push(p);
}
