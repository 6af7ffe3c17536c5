// Sprite items: change tracking and the masked or multiplied quad drawing.
#include "toolkit/sprite.h"

#include "toolkit/renderer.h"
#include "toolkit/sprite_registry.h"

#include <SDL.h>
#include <cstdio>
#include <cstring>

SPRITE::SPRITE(const char* image_name, int px, int py, int key_enabled, int key, int blend_flag,
               float scale_factor, int angle_deg, int alpha_value)
    : scale(scale_factor), angle(angle_deg), color_key(key), color_key_enabled(key_enabled),
      blend(blend_flag), alpha(alpha_value) {
    const char* img = image_name ? image_name : "";
    set_name(img);
    std::snprintf(image, sizeof image, "%s", img);
    std::snprintf(last_image, sizeof last_image, "%s", img);
    x = static_cast<float>(px);
    y = static_cast<float>(py);
}

SPRITE::~SPRITE() = default;

void SPRITE::set_image(const char* name) {
    if (!name || std::strcmp(name, image) == 0) return;
    std::snprintf(image, sizeof image, "%s", name);
    cached_surface = nullptr;
    dirty = 1;
    changed = 1;
}

SDL_Surface* SPRITE::get_surface() {
    if (!cached_surface && sprite_registry) cached_surface = sprite_registry->get_image(image);
    return cached_surface;
}

void SPRITE::track_changes() {
    if (angle != last_angle || hover != last_hover || alpha != last_alpha) {
        last_angle = angle;
        last_hover = hover;
        last_alpha = alpha;
        dirty = changed = 1;
    }
    float now[4] = {h, w, x, y};
    int32_t* seen[4] = {&ih, &iw, &ix, &iy};
    for (int i = 0; i < 4; ++i) {
        if (now[i] != static_cast<float>(*seen[i])) {
            changed = dirty = 1;
            *seen[i] = static_cast<int32_t>(now[i]);
        }
    }
    if (std::strcmp(image, last_image) != 0) {
        std::snprintf(last_image, sizeof last_image, "%s", image);
        changed = dirty = 1;
        cached_surface = nullptr;
    }
}

int SPRITE::update() {
    track_changes();
    if (SDL_Surface* s = get_surface()) {
        w = static_cast<float>(s->w);
        h = static_cast<float>(s->h);
    }
    return 0;
}

void SPRITE::draw() {
    dirty = 0;
    ix = static_cast<int32_t>(x);
    iy = static_cast<int32_t>(y);
    RENDERER& r = renderer();
    int texture = sprite_registry ? sprite_registry->index_of_image(image) : -1;
    if (texture >= 0) {
        w = static_cast<float>(sprite_registry->widths[texture]);
        h = static_cast<float>(sprite_registry->heights[texture]);
    }
    // The quad is turned a quarter so that its own axes, given as (height, width) half extents,
    // land back on the screen's: at angle 0 the image is upright and spans w x h times scale.
    float cx = ix + w / 2, cy = iy + h / 2;
    float half_w = w * scale / 2, half_h = h * scale / 2;
    float turn = static_cast<float>(angle) + 90.0f;
    int mask_texture = mask[0] && sprite_registry ? sprite_registry->index_of_image(mask) : -1;
    if (mask_texture < 0) {
        if (blend) r.blend_multiply();
        if (texture >= 0) r.quad(texture, cx, cy, z, 0, 0, turn, half_w, half_h);
        if (blend) r.blend_end();
        return;
    }
    // The mask is multiplied in first: its dark parts cut a black hole that the image is then
    // added into, while its white parts leave the picture below as it was.
    r.blend_multiply();
    r.quad(mask_texture, cx, cy, z, 0, 0, turn, half_w, half_h);
    r.blend_add();
    if (texture >= 0) r.quad(texture, cx, cy, z, 0, 0, turn, half_w, half_h);
    r.blend_end();
}
