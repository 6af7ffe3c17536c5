// Sized items.
#include "toolkit/rectangle.h"

RECTANGLE::~RECTANGLE() = default;

bool rect_contains(float x, float y, float w, float h, float px, float py) {
    int left = static_cast<int>(x), top = static_cast<int>(y);
    int pxi = static_cast<int>(px), pyi = static_cast<int>(py);
    return left <= pxi && pxi <= left + static_cast<int>(w) && top <= pyi && pyi <= top + static_cast<int>(h);
}

bool RECTANGLE::contains(float px, float py) const {
    return rect_contains(x, y, w, h, px, py);
}
