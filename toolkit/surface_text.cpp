// Software-surface text from pre-rasterised FreeType glyphs.
#include "toolkit/surface_text.h"

#include <SDL.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/data_dir.h"

bool load_surface_font(SURFACE_FONT& font, const char* path, int pixel_size) {
    FT_Library library;
    if (FT_Init_FreeType(&library)) return false;
    FT_Face face;
    if (FT_New_Face(library, data_path(path).c_str(), 0, &face)) {
        FT_Done_FreeType(library);
        return false;
    }
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixel_size));
    font.pixel_size = pixel_size;
    font.ascent = font.descent = 0;
    for (int code = 0; code < 128; ++code) {
        SURFACE_GLYPH& g = font.glyphs[code];
        g = SURFACE_GLYPH();
        if (FT_Load_Char(face, static_cast<FT_ULong>(code), FT_LOAD_RENDER)) continue;
        const FT_GlyphSlot slot = face->glyph;
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        g.width = static_cast<int>(slot->bitmap.width);
        g.rows = static_cast<int>(slot->bitmap.rows);
        g.advance = static_cast<int>(slot->advance.x >> 6);
        g.coverage.resize(static_cast<size_t>(g.width * g.rows));
        for (int j = 0; j < g.rows; ++j)
            std::memcpy(&g.coverage[static_cast<size_t>(j * g.width)],
                        slot->bitmap.buffer + j * slot->bitmap.pitch, static_cast<size_t>(g.width));
        if (code > ' ' && g.rows > 0) {
            if (g.top > font.ascent) font.ascent = g.top;
            if (g.rows - g.top > font.descent) font.descent = g.rows - g.top;
        }
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return true;
}

int surface_text_width(const SURFACE_FONT& font, const char* text) {
    int width = 0;
    for (const char* p = text; *p; ++p) {
        auto c = static_cast<unsigned char>(*p);
        if (c < 128) width += font.glyphs[c].advance;
    }
    return width;
}

namespace {

uint8_t mix(uint32_t a, uint32_t b, int shift, int coverage) {
    int ca = static_cast<int>((a >> shift) & 0xFF), cb = static_cast<int>((b >> shift) & 0xFF);
    return static_cast<uint8_t>((ca * coverage + cb * (255 - coverage)) / 255);
}

void write_pixel(SDL_Surface* s, int x, int y, Uint32 value) {
    int bpp = s->format->BytesPerPixel;
    Uint8* p = static_cast<Uint8*>(s->pixels) + y * s->pitch + x * bpp;
    switch (bpp) {
    case 1:
        *p = static_cast<Uint8>(value);
        break;
    case 2:
        *reinterpret_cast<Uint16*>(p) = static_cast<Uint16>(value);
        break;
    case 4:
        *reinterpret_cast<Uint32*>(p) = value;
        break;
    default:
        for (int i = 0; i < bpp; ++i)
            p[i] = static_cast<Uint8>(value >> (8 * i));
    }
}

} // namespace

int print_surface_text(SDL_Surface* surface, const SURFACE_FONT& font, int x, int y, bool centred,
                       uint32_t foreground, uint32_t background, const char* format, ...) {
    if (!surface || !format) return 0;
    char text[256];
    va_list args;
    va_start(args, format);
    int length = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (length > SURFACE_TEXT_MAX) {
        std::printf("Size to big for font\n");
        return 0;
    }
    int height = font.ascent + font.descent;
    int left = x, top = y;
    if (centred) {
        left -= surface_text_width(font, text) / 2;
        top -= height / 2;
    }
    int baseline = top + font.ascent;
    if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
    int pen = left;
    for (const char* p = text; *p; ++p) {
        auto c = static_cast<unsigned char>(*p);
        if (c >= 128) continue;
        const SURFACE_GLYPH& g = font.glyphs[c];
        for (int j = 0; j < g.rows; ++j) {
            int py = baseline - g.top + j;
            if (py < 0 || py >= surface->h) continue;
            for (int i = 0; i < g.width; ++i) {
                int px = pen + g.left + i;
                int cover = g.coverage[static_cast<size_t>(j * g.width + i)];
                if (cover == 0 || px < 0 || px >= surface->w) continue;
                Uint32 value =
                    SDL_MapRGB(surface->format, mix(foreground, background, 16, cover),
                               mix(foreground, background, 8, cover), mix(foreground, background, 0, cover));
                write_pixel(surface, px, py, value);
            }
        }
        pen += g.advance;
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    return 1;
}
