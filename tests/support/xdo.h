// Drives a real window through xdotool as a person would: pointer, buttons, keys, screenshots.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/wait.h"

// An RGB picture; (0, 0) is its top-left pixel.
struct IMAGE {
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
    // 0xRRGGBB at (x, y); 0 outside the picture.
    uint32_t at(int x, int y) const;
    bool empty() const { return w == 0 || h == 0; }
    IMAGE crop(int x, int y, int cw, int ch) const;
    // Writes a binary PPM file, or a PNG when the name ends in ".png" and ImageMagick is there.
    bool save(const std::string& path) const;
};

// Reads a binary PPM picture (P6, 8 bits); empty when the bytes are not one.
IMAGE parse_ppm(const std::string& bytes);

// Reads any picture file ImageMagick knows (PNG, BMP...); empty when it cannot.
IMAGE load_image(const std::string& path);

// Largest difference of the three channels of two colours.
int colour_distance(uint32_t a, uint32_t b);

// Fraction of a w x h rectangle at (x, y) of the screen showing the picture's pixels from (px, py)
// on, each channel within tolerance.
double match_fraction(const IMAGE& screen, int x, int y, const IMAGE& picture, int px, int py, int w, int h,
                      int tolerance = 12);
// Pixels that differ (by more than tolerance in some channel) inside a rectangle of two pictures.
int pixels_differing(const IMAGE& a, const IMAGE& b, int x, int y, int w, int h, int tolerance = 8);

// True when xdotool and ImageMagick's import are both there.
bool have_x_tools();

// Mouse buttons as X numbers them.
enum { LEFT = 1, MIDDLE = 2, RIGHT = 3 };

// A top-level window found by its caption. Positions are in the window's own pixels.
class X_WINDOW {
  public:
    // Waits up to timeout_ms for a window captioned exactly caption; check found().
    static X_WINDOW find(const std::string& caption, int timeout_ms = PATIENCE_MS);
    bool found() const { return !id.empty(); }

    // Moves the pointer; with sync, returns once the server has it there.
    void move(int x, int y, bool sync = true) const;
    void button_down(int button) const;
    void button_up(int button) const;
    void click(int button, int x, int y) const;
    // Press at (x0, y0), steps motions to (x1, y1), release there.
    void drag(int button, int x0, int y0, int x1, int y1, int steps = 10) const;
    // X key names: "z", "Tab", "F4", "Escape", "KP_Subtract"...
    void key_down(const std::string& key) const;
    void key_up(const std::string& key) const;
    void key(const std::string& key) const;
    // Where the pointer is, in window pixels.
    void pointer(int& x, int& y) const;
    // Waits until the pointer is at (x, y); false after timeout_ms.
    bool pointer_returns_to(int x, int y, int timeout_ms = PATIENCE_MS) const;
    // The window's pixels as the screen shows them.
    IMAGE screenshot() const;
    // Screenshots until one shows what shows looks for, and returns it; after timeout_ms the
    // last one taken, for the test to report what it saw instead.
    IMAGE screenshot_when(const std::function<bool(const IMAGE&)>& shows, int timeout_ms = PATIENCE_MS) const;

    std::string id;
    int x = 0, y = 0, w = 0, h = 0; // where the window lies on the screen
};

class PROGRAM;

// Ends a windowed program at the end of a test: ESC in its window when it still has one, then
// the console closed. Returns everything it printed.
std::string close_window_program(PROGRAM& program, const X_WINDOW& window);

// True when the output holds no report of the address or undefined-behaviour sanitizer.
bool sanitizers_silent(const std::string& output);
