// The two pixel operations of the oscilloscope, run on the audio thread: no allocation.
#pragma once
#include <cstdint>

struct SDL_Surface;

// Fills every row's width x bytes-per-pixel bytes with the low byte of the mapped colour.
// (So red 255, green 0, blue 255 on a 32-bit surface clears to white, on which the scope's
// magenta centre line shows.)
void fill_surface(SDL_Surface* surface, int r, int g, int b);
// Stores a 32-bit colour at (x, y) when 0 < y < 800 and the pixel lies in the 32-bit
// surface. Returns 1 when stored, 0 otherwise.
int put_pixel(SDL_Surface* surface, int x, int y, uint32_t colour);
