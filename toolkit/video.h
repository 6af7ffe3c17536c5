// The OpenGL window through SDL, the pixel projection of a frame, and the drawing primitives
// everything visible rests on: the textured quad and the sagging cable curve.
#pragma once

struct SDL_Surface;

// The window surface of the video mode.
extern SDL_Surface* window_surface;

// Starts the library's video part, trying again for a while when the X server refuses.
// Returns 0, or a negative value with the library's error text set.
int start_video_library();
// Opens the window, puts the GL state in place and loads the sprite description file into the
// registry. Ends the process with status 1 when the window cannot be had. Returns 1.
int init_video(int width, int height, const char* sprite_file);
// Viewport over the whole window, identity projection. A height of 0 is taken as 1.
int set_viewport(int width, int height);
// One unit per pixel, y growing downwards, only eye-space z in [-1, 0] visible.
void begin_2d(int left, int top, int right, int bottom);
void end_2d();
// The cable between two world points as a thick quadratic curve. Returns 1.
int draw_cable_curve(int x1, int y1, int x2, int y2);

// The three control points (x, y, z each) of a cable's curve, in window coordinates: both ends
// and, between them, a point lying about their mean height below them so the cable sags.
void cable_control_points(int x1, int y1, int x2, int y2, int view_x, int view_y, float points[9]);
