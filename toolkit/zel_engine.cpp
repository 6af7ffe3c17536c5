// The root item: serial numbers and default names.
#include "toolkit/zel_engine.h"

#include <cstdio>

uint32_t next_item_id = 0;

ZEL_ENGINE::ZEL_ENGINE() : id(next_item_id++) {
    std::snprintf(name, sizeof name, "ITEM_%20lu", static_cast<unsigned long>(id));
}

ZEL_ENGINE::~ZEL_ENGINE() = default;

int ZEL_ENGINE::update() {
    return 0;
}

int ZEL_ENGINE::reserved(int, int) {
    return 0;
}

void ZEL_ENGINE::set_name(const char* text) {
    std::snprintf(name, sizeof name, "%s", text ? text : "");
}
