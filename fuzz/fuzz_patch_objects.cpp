// Fuzzes the objects section reader with arbitrary patch files.
#include "patch_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = patch_input_file("fuzz_patch_objects", data, size);
    if (path.empty()) return 0;
    GENERATOR g;
    try {
        load_objects(&g, path.c_str());
    } catch (const std::runtime_error&) {
    }
    std::remove(path.c_str());
    return 0;
}
