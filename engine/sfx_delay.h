// SFX_DELAY: the effect stage behind the master mixer; passes its input through.
#pragma once
#include "ports.h"

struct SFX_DELAY : INPUT, OUTPUT, INPUT_SYNC {
    int process() override;
};
