// A textured item: its image comes from the sprite registry by name, optionally with a mask.
#pragma once
#include "toolkit/rectangle.h"

#include <cstdint>

struct SDL_Surface;

constexpr int SPRITE_LAST_IMAGE_SIZE = 156;

class SPRITE : public RECTANGLE {
  public:
    int32_t last_hover = 0, last_angle = 0, last_alpha = 0;
    char last_image[SPRITE_LAST_IMAGE_SIZE] = {};
    // 1: the position is the top-left corner; 0: it is the centre (hit test). For labels, 1
    // turns the text position into the text renderer's bottom-up coordinates.
    uint8_t corner_origin = 1;
    int32_t ix = 0, iy = 0, iw = 0, ih = 0;
    int32_t hover = 0;
    int32_t pressed = 0;
    int32_t dirty = 1;
    int32_t changed = 0;
    float scale = 1.0f;
    int32_t angle = 0;
    int32_t color_key = 0, color_key_enabled = 0; // kept for the layout file only
    int32_t blend = 0;                            // non-zero: drawn multiplied onto the picture
    int32_t alpha = 255;
    SDL_Surface* cached_surface = nullptr;
    char image[ITEM_NAME_SIZE] = {};
    char mask[ITEM_NAME_SIZE] = {};

    SPRITE(const char* image_name, int px, int py, int key_enabled = 0, int key = 0, int blend_flag = 0,
           float scale_factor = 1.0f, int angle_deg = 0, int alpha_value = 255);
    ~SPRITE() override;

    int update() override;

    // Changes the image when the name differs, marking the item for drawing.
    void set_image(const char* name);
    // The registry image of `image`, or null.
    SDL_Surface* get_surface();
    // Draws the image (and mask) at the item's position through the current renderer.
    void draw();

  protected:
    // Steps of the update shared with labels: the watched values, position and image name.
    void track_changes();
};
