// Where a module's panel stands in the window and how it is shown, as a patch file keeps it.
#pragma once
#include <cstdint>

struct PANEL_PLACE {
    float x = 0, y = 0; // top-left corner in world pixels
    uint32_t mode = 1;  // 1 front side, 2 folded
};
