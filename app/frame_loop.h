// The frame loop: controller step, events, step notices and drawing, about 60 passes a second.
#pragma once
#include <chrono>
#include <vector>

class OBJET;
class SPRITE;

constexpr int FRAMES_PER_SECOND = 60;

// The panel list (one panel per module) and the dashboard list (drawn in this order), owned by
// the program; the background sprite laid as a grid under the panels.
extern std::vector<OBJET*> panels;
extern std::vector<OBJET*> dashboards;
extern SPRITE* background;

// Draws the panel view and swaps the buffers; flags are the pass's frame flags. Replaceable so
// the loop runs without a window.
extern void (*draw_frame)(int flags);
void draw_panel_view(int flags);

// Lays the background sprite as a grid of copies, each at (column x width, row x height).
void draw_background_grid(SPRITE& sprite, int columns, int rows);

// Hands every queued step notice to the sequencer panels. Returns the frame flags.
int deliver_step_notices();

// One pass: controller step, events (and one remote accept), step notices, and drawing when
// something asked for it or `force_draw` is set. Returns the pass's frame flags.
int frame_pass(bool force_draw);

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

// Runs passes until ESC is released (or max_passes passes, when not negative); the first pass
// draws. Returns the number of passes run.
long frame_loop(long max_passes = -1);
