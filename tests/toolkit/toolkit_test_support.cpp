// Helpers for the toolkit tests.
#include "toolkit_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>

SDL_Surface* solid_bgr(int w, int h, uint32_t rgb) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0);
    paint(s, 0, 0, w, h, rgb);
    return s;
}

uint32_t rgb_at(SDL_Surface* s, int x, int y) {
    int bpp = s->format->BytesPerPixel;
    const Uint8* p = static_cast<const Uint8*>(s->pixels) + y * s->pitch + x * bpp;
    Uint32 v = 0;
    for (int i = 0; i < bpp; ++i)
        v |= static_cast<Uint32>(p[i]) << (8 * i);
    Uint8 r, g, b;
    SDL_GetRGB(v, s->format, &r, &g, &b);
    return (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) | b;
}

void paint(SDL_Surface* s, int x, int y, int w, int h, uint32_t rgb) {
    SDL_Rect r{static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Uint16>(w),
               static_cast<Uint16>(h)};
    SDL_FillRect(s, &r, SDL_MapRGB(s->format, (rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
}

SCOPED_REGISTRY::SCOPED_REGISTRY() : previous(sprite_registry) {
    sprite_registry = &registry;
}

SCOPED_REGISTRY::~SCOPED_REGISTRY() {
    sprite_registry = previous;
}

void SCOPED_REGISTRY::add(const char* name, int w, int h, uint32_t rgb) {
    registry.register_image(name, solid_bgr(w, h, rgb), w, h);
}

void RECORDING_RENDERER::upload_image(int index, const SDL_Surface*) {
    DRAW_CALL c("upload");
    c.texture = index;
    calls.push_back(c);
}

void RECORDING_RENDERER::quad(int texture, float x, float y, float z, float, float, float rz, float ey,
                              float ex) {
    DRAW_CALL c("quad");
    c.texture = texture;
    c.x = x;
    c.y = y;
    c.z = z;
    c.rz = rz;
    c.ey = ey;
    c.ex = ex;
    calls.push_back(c);
}

void RECORDING_RENDERER::set_color(uint32_t rgb) {
    DRAW_CALL c("color");
    c.color = rgb;
    calls.push_back(c);
}

void RECORDING_RENDERER::print_label(float x, float y, const char* text) {
    DRAW_CALL c("text");
    c.x = x;
    c.y = y;
    c.text = text;
    calls.push_back(c);
}

std::vector<std::string> RECORDING_RENDERER::ops() const {
    std::vector<std::string> out;
    for (const DRAW_CALL& c : calls)
        out.push_back(c.op);
    return out;
}

std::vector<DRAW_CALL> RECORDING_RENDERER::of(const std::string& op) const {
    std::vector<DRAW_CALL> out;
    for (const DRAW_CALL& c : calls)
        if (c.op == op) out.push_back(c);
    return out;
}

STDOUT_CAPTURE::STDOUT_CAPTURE() {
    std::fflush(stdout);
    testing::internal::CaptureStdout();
}

STDOUT_CAPTURE::~STDOUT_CAPTURE() {
    if (!done) finish();
}

std::string STDOUT_CAPTURE::finish() {
    std::fflush(stdout);
    done = true;
    return testing::internal::GetCapturedStdout();
}
