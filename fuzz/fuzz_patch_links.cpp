// Fuzzes the links section reader: the objects of the same file first, then their links.
#include "patch_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = patch_input_file("fuzz_patch_links", data, size);
    if (path.empty()) return 0;
    GENERATOR g;
    try {
        load_objects(&g, path.c_str());
    } catch (const std::runtime_error&) {
    }
    try {
        load_links(&g, path.c_str());
        // A few samples through the wired graph: every connection must point at live data.
        for (int i = 0; i < 64; ++i)
            g.sweep();
    } catch (const std::runtime_error&) {
    }
    std::remove(path.c_str());
    return 0;
}
