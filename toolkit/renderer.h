// The few drawing operations items need, behind an interface: the OpenGL back end draws them,
// the default one ignores them (so item logic runs without a window) and tests record them.
#pragma once
#include <cstdint>

struct SDL_Surface;

class RENDERER {
  public:
    virtual ~RENDERER();
    // Gives image `index` its texture; the surface is in the registry's pixel layout.
    virtual void upload_image(int index, const SDL_Surface* image);
    // A textured quad: centre, depth, rotations in degrees about x, y and z, half extents.
    virtual void quad(int texture, float x, float y, float z, float rx, float ry, float rz, float ey,
                      float ex);
    // Multiply what follows onto the picture (depth test off).
    virtual void blend_multiply();
    // Add what follows onto the picture.
    virtual void blend_add();
    // Back to opaque drawing with the depth test on.
    virtual void blend_end();
    // The current colour, 0xRRGGBB: it tints textures and colours text.
    virtual void set_color(uint32_t rgb);
    // Label text with the small font, baseline origin in bottom-up window pixels.
    virtual void print_label(float x, float y, const char* text);
};

// Never null: the do-nothing renderer until one is installed.
RENDERER& renderer();
// Installs a renderer (not owned); null restores the do-nothing one.
void set_renderer(RENDERER* r);
