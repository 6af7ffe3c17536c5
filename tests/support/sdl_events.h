// Window events built as the video library delivers them, for handlers tested without a window.
#pragma once
#include <SDL.h>

inline SDL_Event motion_event(int x, int y) {
    SDL_Event e = {};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = static_cast<Uint16>(x);
    e.motion.y = static_cast<Uint16>(y);
    return e;
}

inline SDL_Event button_event(Uint8 type, Uint8 which, int x, int y) {
    SDL_Event e = {};
    e.type = type;
    e.button.button = which;
    e.button.x = static_cast<Uint16>(x);
    e.button.y = static_cast<Uint16>(y);
    return e;
}

inline SDL_Event key_event(Uint8 type, SDLKey sym) {
    SDL_Event e = {};
    e.type = type;
    e.key.keysym.sym = sym;
    return e;
}
