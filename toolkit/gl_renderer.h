// The OpenGL back end of the item drawing operations.
#pragma once
#include "toolkit/renderer.h"

class OPENGL_RENDERER : public RENDERER {
  public:
    void upload_image(int index, const SDL_Surface* image) override;
    void quad(int texture, float x, float y, float z, float rx, float ry, float rz, float ey,
              float ex) override;
    void blend_multiply() override;
    void blend_add() override;
    void blend_end() override;
    void set_color(uint32_t rgb) override;
    void print_label(float x, float y, const char* text) override;
};

// The one instance, installed by init_video.
OPENGL_RENDERER& gl_renderer();
