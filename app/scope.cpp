// The oscilloscope view: points from the ring plotted on the main thread and shown as a texture.
#include "app/scope.h"

#include <GL/gl.h>
#include <SDL.h>

#include <cstdio>

#include "app/window_size.h"
#include "engine/audio.h"
#include "toolkit/panel_walkers.h"
#include "toolkit/pixels.h"
#include "toolkit/surface_text.h"
#include "toolkit/video.h"

namespace {

// The texture is a power of two on each side, as OpenGL 1.1 asks.
constexpr int TEXTURE_SIDE = 1024;

bool start_picture(SCOPE_VIEW& scope) {
    if (scope.picture) return true;
    if (!window_surface) return false;
    scope.picture = SDL_CreateRGBSurface(SDL_SWSURFACE, WINDOW_WIDTH, WINDOW_HEIGHT, 32, 0xff0000, 0xff00, 0xff, 0);
    if (!scope.picture) return false;
    scope.points.resize(SCOPE_BUFFER::CAPACITY);
    scope.text_font_loaded = load_surface_font(scope.text_font, FONT_FILE, SCOPE_TEXT_SIZE);
    fill_surface(scope.picture, 255, 0, 255);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    scope.texture = texture;
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, TEXTURE_SIDE, TEXTURE_SIDE, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
    shared_store(scope_plot_hook, scope_plot_frame);
    return true;
}

} // namespace

const char* scope_zoom_text(char* buf, size_t n, float zoom) {
    if (n == 0) return buf;
    std::snprintf(buf, n, "ZOOM SIZE IS %3.3f", static_cast<double>(zoom));
    return buf;
}

void plot_scope_point(SDL_Surface* surface, SCOPE_POINT p) {
    if (!surface) return;
    const int mid = surface->h / 2;
    int y = p.y;
    if (y > mid - 1) y = mid - 1;
    if (y < -(mid - 1)) y = -(mid - 1);
    if (y != 0) {
        put_pixel(surface, p.x, mid + y, SCOPE_TRACE_COLOUR);
        const int sign = y > 0 ? 1 : -1;
        for (int j = 1; j < y * sign; ++j)
            put_pixel(surface, p.x, mid + sign * j, SCOPE_FILL_COLOUR);
    }
    put_pixel(surface, p.x, mid, SCOPE_CENTRE_COLOUR);
}

void end_scope_sweep(SCOPE_VIEW& scope, float zoom) {
    SDL_Surface* surface = scope.picture;
    if (!surface) return;
    fill_surface(surface, 255, 0, 255);
    if (!scope.text_font_loaded) return;
    const SURFACE_FONT& text_font = scope.text_font;
    char text[SURFACE_TEXT_MAX + 1];
    scope_zoom_text(text, sizeof text, zoom);
    // Centred on its middle height, but starting at the left margin: centred on the margin
    // itself, half of the text would lie outside the window.
    const int half_width = surface_text_width(text_font, text) / 2;
    print_surface_text(surface, text_font, SCOPE_TEXT_LEFT + half_width, SCOPE_TEXT_MIDDLE, true,
                       SCOPE_TEXT_COLOUR, SCOPE_TEXT_BACKGROUND, "%s", text);
}

int toggle_scope(SCOPE_VIEW& scope) {
    if (scope_mode.load() == 1) {
        scope_mode = 0;
        return 1;
    }
    if (!start_picture(scope)) return 0;
    scope_buffer.clear();
    scope_mode = 1;
    return 1;
}

void draw_scope_view(SCOPE_VIEW& scope) {
    SDL_Surface* picture = scope.picture;
    if (!picture) return;
    const int n = scope_buffer.take(scope.points.data(), static_cast<int>(scope.points.size()));
    for (int i = 0; i < n; ++i) {
        if (scope.points[static_cast<size_t>(i)].x == SCOPE_WRAP)
            end_scope_sweep(scope, scope_zoom.load());
        else
            plot_scope_point(picture, scope.points[static_cast<size_t>(i)]);
    }
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT);
    begin_2d(0, 0, VIEW_WIDTH, VIEW_HEIGHT);
    glColor3ub(255, 255, 255);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(scope.texture));
    glPixelStorei(GL_UNPACK_ROW_LENGTH, picture->pitch / 4);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, picture->w, picture->h, GL_BGRA, GL_UNSIGNED_BYTE,
                    picture->pixels);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    const float s = static_cast<float>(picture->w) / TEXTURE_SIDE;
    const float t = static_cast<float>(picture->h) / TEXTURE_SIDE;
    const float w = static_cast<float>(picture->w), h = static_cast<float>(picture->h);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(0, 0, 0);
    glTexCoord2f(s, 0);
    glVertex3f(w, 0, 0);
    glTexCoord2f(s, t);
    glVertex3f(w, h, 0);
    glTexCoord2f(0, t);
    glVertex3f(0, h, 0);
    glEnd();
    glEnable(GL_DEPTH_TEST);
    end_2d();
    SDL_GL_SwapBuffers();
}

void release_scope(SCOPE_VIEW& scope) {
    scope_mode = 0;
    shared_store(scope_plot_hook, nullptr);
    if (scope.picture) SDL_FreeSurface(scope.picture);
    scope = SCOPE_VIEW();
}
