// VCA: the out-of-line entry of the envelope's per-sample processing.
#include "vca.h"

int VCA::process() {
    return tick();
}
