// Text written into a software surface (the oscilloscope's zoom line), from glyphs rasterised
// beforehand so that printing allocates nothing and can run on the audio thread.
#pragma once
#include <cstdint>
#include <vector>

struct SDL_Surface;

constexpr int SURFACE_TEXT_MAX = 63;

struct SURFACE_GLYPH {
    int left = 0, top = 0, width = 0, rows = 0, advance = 0;
    std::vector<uint8_t> coverage; // width x rows
};

struct SURFACE_FONT {
    int pixel_size = 0;
    int ascent = 0;  // highest glyph top above the baseline
    int descent = 0; // lowest glyph bottom below it
    SURFACE_GLYPH glyphs[128];
};

// Rasterises the ASCII glyphs at a pixel height; returns false when the font cannot be read.
bool load_surface_font(SURFACE_FONT& font, const char* path, int pixel_size);

// Width of a text in pixels, the sum of its glyphs' advances.
int surface_text_width(const SURFACE_FONT& font, const char* text);

// Writes a text whose top-left corner (or centre, when `centred`) is (x, y). Pixels where no
// glyph covers stay as they were; covered ones mix `background` into `foreground` by coverage.
// A text longer than 63 characters is refused with "Size to big for font\n". Returns 1 when
// written, 0 otherwise.
int print_surface_text(SDL_Surface* surface, const SURFACE_FONT& font, int x, int y, bool centred,
                       uint32_t foreground, uint32_t background, const char* format, ...)
    __attribute__((format(printf, 8, 9)));
