// SFX_DELAY processing: the effect stage passes the master signal through.
#include "sfx_delay.h"

int SFX_DELAY::process() {
    value = input != nullptr ? *input : 0.0f;
    return 1;
}
