// The audio stream callback: renders blocks of 16-bit stereo frames from the graph.
#pragma once
#include <atomic>
#include <cstdint>

#include "engine/shared_word.h"
#include "engine/stream_format.h"


// While 0 the callback leaves blocks untouched. Use audio_pause() to clear it from the
// main thread: it returns only after a block in progress has finished.
extern std::atomic<int> audio_running;
void audio_pause();
void audio_resume();
// How many pauses there have been: a graph is replaced or changed only inside one.
unsigned audio_pause_count();

// The cell holding the address of the float sent to the output. It points at a silent
// float until start-up finds the master.
extern float** master_out;
void point_master_out(float* source);

// The oscilloscope switch (1 = on) and its zoom, set by the main thread and read by the callback;
// scope_x, the current column, belongs to the callback.
extern std::atomic<int> scope_mode;
extern std::atomic<float> scope_zoom;
extern float scope_x;

// Draws one frame of the oscilloscope trace; installed by the window, absent headless. Set and
// read through shared_store and shared_load: the window installs it while blocks play.
extern void (*scope_plot_hook)(float master, int frames);

// The output conversion: m x 32767 truncated toward zero and saturated to 16 bits.
int16_t to_sample(float m);

struct GENERATOR;
// Renders frames of a graph (none: the per-frame silence) and writes the master signal, one float
// a frame: through the graph's sub-block plan when it has a current one, else frame by frame.
void render_frames(GENERATOR* g, float* out, int frames);

// Stream callback: stream handle and user data are ignored; always returns 1.
int render_block(void* stream, void* buffer, int length, void* user);
