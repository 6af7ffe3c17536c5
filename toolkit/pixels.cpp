// Oscilloscope pixel writes.
#include "toolkit/pixels.h"

#include <SDL.h>
#include <cstring>

void fill_surface(SDL_Surface* surface, int r, int g, int b) {
    if (!surface || !surface->pixels) return;
    if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
    Uint32 mapped =
        SDL_MapRGB(surface->format, static_cast<Uint8>(r), static_cast<Uint8>(g), static_cast<Uint8>(b));
    size_t row_bytes = static_cast<size_t>(surface->w) * surface->format->BytesPerPixel;
    for (int y = 0; y < surface->h; ++y)
        std::memset(static_cast<Uint8*>(surface->pixels) + y * surface->pitch,
                    static_cast<int>(mapped & 0xFF), row_bytes);
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
}

int put_pixel(SDL_Surface* surface, int x, int y, uint32_t colour) {
    if (!surface || !surface->pixels || surface->format->BytesPerPixel != 4) return 0;
    if (y <= 0 || y >= 800 || y >= surface->h || x < 0 || x >= surface->w) return 0;
    static_cast<Uint32*>(surface->pixels)[y * (surface->pitch / 4) + x] = colour;
    return 1;
}
