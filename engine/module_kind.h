// The seven kinds of sound module, named alone so that the key tables can use them without the
// kinds table that lists those key tables.
#pragma once

// In the order the panels are laid out, column after column.
enum MODULE_KIND { KIND_KEYBOARD, KIND_VCO, KIND_SAMPLER, KIND_VCA, KIND_SEQUENCER, KIND_PCF, KIND_MIXER, KIND_COUNT };
