// An item with a size, and the hit test on it.
#pragma once
#include "toolkit/base.h"

class RECTANGLE : public BASE {
  public:
    float w = 0, h = 0, d = 0;

    RECTANGLE() = default;
    ~RECTANGLE() override;

    // Edges included; every value is truncated to an integer before comparing.
    bool contains(float px, float py) const;
};

// The same test for a rectangle given by its values.
bool rect_contains(float x, float y, float w, float h, float px, float py);
