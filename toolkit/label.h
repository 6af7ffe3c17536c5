// A text item: a value or a name printed with the small font in its colour.
#pragma once
#include "toolkit/msg_responder.h"
#include "toolkit/sprite.h"

constexpr int LABEL_TEXT_SIZE = 800;

// Where a label at item height y puts its baseline in the text renderer's bottom-up pixels
// (the window is 768 pixels high, and the baseline sits 6 pixels below the item's top).
constexpr float label_baseline(float y) {
    return 762.0f - y;
}

class LABEL : public SPRITE, public MSG_RESPONDER {
  public:
    int32_t extra = 0; // carried through the layout file unchanged
    int32_t last_color = 0;
    int32_t color = 0; // 0xRRGGBB
    char text[LABEL_TEXT_SIZE] = {};
    char last_text[LABEL_TEXT_SIZE] = {};
    int32_t size = 0; // nominal character height of the box

    LABEL(const char* label_text, int px, int py, int extra_value, int size_value, int color_value);
    ~LABEL() override;

    // Sizes the box (size x characters / 2 wide, size high) when text or colour changed.
    // A label is never drawn as an image, so its box does not follow one.
    int update() override;
    void draw();
};
