// Positioned items.
#include "toolkit/base.h"

#include <cstdio>

BASE::BASE(const char*) {
    std::snprintf(name, sizeof name, "BASE_ITEM_%20lu", static_cast<unsigned long>(id));
}

BASE::~BASE() = default;

void BASE::set_position(float px, float py, float pz) {
    x = px;
    y = py;
    z = pz;
}

void BASE::set_x(float v) {
    x = v;
}
void BASE::set_y(float v) {
    y = v;
}
void BASE::set_z(float v) {
    z = v;
}
