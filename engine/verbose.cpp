// The --verbose switch and the print that obeys it.
#include "engine/verbose.h"

#include <cstdarg>
#include <cstdio>

namespace {
bool verbose_on = false;
} // namespace

void set_verbose(bool on) {
    verbose_on = on;
}

bool verbose() {
    return verbose_on;
}

void verbose_printf(const char* format, ...) {
    if (!verbose_on) return;
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
}
