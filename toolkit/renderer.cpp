// The do-nothing renderer and the current renderer pointer.
#include "toolkit/renderer.h"

RENDERER::~RENDERER() = default;
void RENDERER::upload_image(int, const SDL_Surface*) {}
void RENDERER::quad(int, float, float, float, float, float, float, float, float) {}
void RENDERER::blend_multiply() {}
void RENDERER::blend_add() {}
void RENDERER::blend_end() {}
void RENDERER::set_color(uint32_t) {}
void RENDERER::print_label(float, float, const char*) {}

namespace {
RENDERER idle_renderer;
RENDERER* current_renderer = &idle_renderer;
} // namespace

RENDERER& renderer() {
    return *current_renderer;
}

void set_renderer(RENDERER* r) {
    current_renderer = r ? r : &idle_renderer;
}
