// A rotary knob: its value is its angle, turned one degree per knob step message.
#pragma once
#include "toolkit/msg_responder.h"
#include "toolkit/sprite.h"

class SLIDER : public SPRITE, public MSG_RESPONDER {
  public:
    // The mask is the image's name followed by "_MASK".
    SLIDER(const char* name, const char* image_name);
    ~SLIDER() override;

    int update() override;
};
