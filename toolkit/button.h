// A push button that toggles its state on every release and shows an on, off or hover image.
#pragma once
#include "toolkit/msg_responder.h"
#include "toolkit/sprite.h"

class BUTTON : public SPRITE, public MSG_RESPONDER {
  public:
    char image_on[ITEM_NAME_SIZE] = {};
    char image_hover[ITEM_NAME_SIZE] = {}; // beginning with '0': none
    char image_off[ITEM_NAME_SIZE] = {};
    int32_t state = 0;

    // With a null mask the mask is the on-image's name up to its last '_' followed by "MASK".
    BUTTON(const char* name, const char* on, const char* hover, const char* off,
           const char* mask_name = nullptr);
    ~BUTTON() override;

    int update() override;
};

// The mask a button derives from its on-image: "BUT_X_ON" gives "BUT_X_MASK"; a name with no
// '_' after its first character gives no mask (empty).
void derive_button_mask(const char* image_on, char* out, int size);
