// The camera's scroll offset, shared by every drawing of the world.
#include "toolkit/camera.h"

int scroll_x = 0;
int scroll_y = 0;
