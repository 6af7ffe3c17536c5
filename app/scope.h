// The oscilloscope view: the audio thread's trace points drawn into a picture of the window's
// size, which the frame loop shows on every pass while the scope is on.
#pragma once
#include <cstddef>
#include <vector>

#include "engine/scope_buffer.h"
#include "toolkit/surface_text.h"

struct SDL_Surface;

// The scope's picture, its texture and the font of its zoom text, made on first use.
struct SCOPE_VIEW {
    SDL_Surface* picture = nullptr;
    SURFACE_FONT text_font;
    bool text_font_loaded = false;
    unsigned texture = 0;
    std::vector<SCOPE_POINT> points; // taken from the ring on each pass, a full ring at most
};

// Trace colours and the sweep's clear colour (red 255, green 0, blue 255 filled byte-wise).
constexpr unsigned SCOPE_TRACE_COLOUR = 0x80ffff;
constexpr unsigned SCOPE_FILL_COLOUR = 0x808080;
constexpr unsigned SCOPE_CENTRE_COLOUR = 0xff00ff;
constexpr unsigned SCOPE_TEXT_COLOUR = 0xff0000;
constexpr unsigned SCOPE_TEXT_BACKGROUND = 0xfffff00;
constexpr int SCOPE_TEXT_SIZE = 25;
constexpr int SCOPE_TEXT_LEFT = 24;
constexpr int SCOPE_TEXT_MIDDLE = 150;

// "ZOOM SIZE IS %3.3f" into buf of size n (cut to fit); returns buf.
const char* scope_zoom_text(char* buf, size_t n, float zoom);

// One point onto a 32-bit surface: the trace at (x, centre + y), the fill between it and the
// centre line, then the centre line, with the row kept inside the surface.
void plot_scope_point(SDL_Surface* surface, SCOPE_POINT p);
// The end of a sweep: the picture is cleared and the zoom text written at its top left.
void end_scope_sweep(SCOPE_VIEW& scope, float zoom);

// F1: the scope on (its picture made on first use) or off again. Nothing happens without a
// window. Returns 1 when the mode changed.
int toggle_scope(SCOPE_VIEW& scope);

// Takes the points waiting in the ring into the picture and shows it, then swaps the buffers.
void draw_scope_view(SCOPE_VIEW& scope);

// Frees the picture and its font; the scope is off afterwards.
void release_scope(SCOPE_VIEW& scope);
