// Helpers for the toolkit tests: made-up images, a scoped registry and a recording renderer.
#pragma once
#include "tests/support/scratch.h"
#include "toolkit/renderer.h"
#include "toolkit/sprite_registry.h"

#include <SDL.h>
#include <cstdint>
#include <string>
#include <vector>

// A surface of one colour in a 24-bit layout whose bytes are blue, green, red (as BMP files).
SDL_Surface* solid_bgr(int w, int h, uint32_t rgb);
// Reads the colour at (x, y) of any surface as 0xRRGGBB.
uint32_t rgb_at(SDL_Surface* s, int x, int y);
// Paints a rectangle of a surface in a colour.
void paint(SDL_Surface* s, int x, int y, int w, int h, uint32_t rgb);

// Installs a registry of its own for the test and removes it afterwards.
class SCOPED_REGISTRY {
  public:
    SCOPED_REGISTRY();
    ~SCOPED_REGISTRY();
    SPRITE_REGISTRY& operator*() { return registry; }
    SPRITE_REGISTRY* operator->() { return &registry; }
    // Registers a one-colour image of the given size.
    void add(const char* name, int w, int h, uint32_t rgb = 0xFFFFFF);

  private:
    SPRITE_REGISTRY registry;
    SPRITE_REGISTRY* previous;
};

struct DRAW_CALL {
    explicit DRAW_CALL(const char* name) : op(name) {}
    std::string op; // "quad", "multiply", "add", "end", "color", "text", "upload"
    int texture = -1;
    float x = 0, y = 0, z = 0, rz = 0, ey = 0, ex = 0;
    uint32_t color = 0;
    std::string text;
};

// Records every drawing operation instead of drawing; installed while it lives.
class RECORDING_RENDERER : public RENDERER {
  public:
    std::vector<DRAW_CALL> calls;
    RECORDING_RENDERER() { set_renderer(this); }
    ~RECORDING_RENDERER() override { set_renderer(nullptr); }
    void upload_image(int index, const SDL_Surface*) override;
    void quad(int texture, float x, float y, float z, float rx, float ry, float rz, float ey,
              float ex) override;
    void blend_multiply() override { calls.emplace_back("multiply"); }
    void blend_add() override { calls.emplace_back("add"); }
    void blend_end() override { calls.emplace_back("end"); }
    void set_color(uint32_t rgb) override;
    void print_label(float x, float y, const char* text) override;
    std::vector<std::string> ops() const;
    std::vector<DRAW_CALL> of(const std::string& op) const;
};

// Captures what the code under test prints on standard output.
class STDOUT_CAPTURE {
  public:
    STDOUT_CAPTURE();
    ~STDOUT_CAPTURE();
    std::string finish();

  private:
    bool done = false;
};
