// Window set-up and the OpenGL drawing primitives.
#include "toolkit/video.h"

#include "toolkit/gl_renderer.h"
#include "toolkit/panel_walkers.h"
#include "toolkit/renderer.h"
#include "toolkit/sprite_registry.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL.h>
#include <cstdio>
#include <cstdlib>

SDL_Surface* window_surface = nullptr;

namespace {
constexpr int VIDEO_START_ATTEMPTS = 10;
}

int start_video_library() {
    // SDL opens the display twice in a row, and an X server may drop a connection made just as
    // another one closes (a virtual server busy with a client that just left has been seen
    // refusing for a quarter of a second): a failed start is tried again for about two seconds.
    int started = -1;
    for (int attempt = 0; attempt < VIDEO_START_ATTEMPTS && started < 0; ++attempt) {
        if (attempt > 0) SDL_Delay(50 * attempt);
        started = SDL_InitSubSystem(SDL_INIT_VIDEO);
    }
    return started;
}

int init_video(int width, int height, const char* sprite_file) {
    const int started = start_video_library();
    if (started < 0) {
        std::fprintf(stderr, "Video initialization failed: %s\n", SDL_GetError());
        std::exit(1);
    }
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    if (!info) {
        std::fprintf(stderr, "Video query failed: %s\n", SDL_GetError());
        std::exit(1);
    }
    Uint32 flags = SDL_OPENGL | SDL_HWSURFACE | SDL_ASYNCBLIT | SDL_HWPALETTE;
    if (info->blit_hw) flags |= SDL_HWACCEL;
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    window_surface = SDL_SetVideoMode(width, height, 32, flags);
    if (!window_surface) {
        std::fprintf(stderr, "Video mode set failed: %s\n", SDL_GetError());
        std::exit(1);
    }
    set_viewport(width, height);
    glShadeModel(GL_SMOOTH);
    glClearColor(0, 0, 0, 0);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);

    set_renderer(&gl_renderer());
    static SPRITE_REGISTRY registry;
    sprite_registry = &registry;
    registry.create_registry(sprite_file);
    return 1;
}

int set_viewport(int width, int height) {
    if (height == 0) height = 1;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    return 1;
}

void begin_2d(int left, int top, int right, int bottom) {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(left, right, bottom, top, 0, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void end_2d() {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

void cable_control_points(int x1, int y1, int x2, int y2, int view_x, int view_y, float points[9]) {
    // Cable ends are plugged 15 pixels below the points the editor gives.
    const int drop = 15;
    int p[9] = {x1 - view_x, y1 - view_y + drop, 0, (x1 + x2) / 2 - view_x, y1 + y2 - view_y + drop, 0,
                x2 - view_x, y2 - view_y + drop, 0};
    for (int i = 0; i < 9; ++i)
        points[i] = static_cast<float>(p[i]);
}

int draw_cable_curve(int x1, int y1, int x2, int y2) {
    GLfloat points[9];
    cable_control_points(x1, y1, x2, y2, scroll_x, scroll_y, points);
    // Untextured, so the cable has its own colour and not that of the last texture bound.
    glDisable(GL_TEXTURE_2D);
    glMap1f(GL_MAP1_VERTEX_3, 0.0f, 1.0f, 3, 3, points);
    glEnable(GL_MAP1_VERTEX_3);
    glLineWidth(3.0f);
    glBegin(GL_LINE_STRIP);
    glColor3ub(128, 136, 128);
    for (int i = 0; i <= 30; ++i)
        glEvalCoord1f(static_cast<float>(i) * (1.0f / 30.0f));
    glEnd();
    glColor3ub(255, 255, 255);
    return 1;
}
