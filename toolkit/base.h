// An item with a position: x, y in pixels (relative to its panel for a panel's items) and z.
#pragma once
#include "toolkit/zel_engine.h"

class BASE : public ZEL_ENGINE {
  public:
    float x = 0, y = 0, z = 0;

    BASE() = default;
    // The name given is not kept: such an item is called "BASE_ITEM_" and its serial number.
    explicit BASE(const char* name);
    ~BASE() override;

    virtual void set_position(float px, float py, float pz);
    virtual void set_x(float v);
    virtual void set_y(float v);
    virtual void set_z(float v);
};
