// Fuzzes the objects section reader and the patch checker with arbitrary patch files.
#include "patch/patch_check.h"
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
    // The checker reads the same text without opening files or ending the process.
    check_patch_text(std::string(reinterpret_cast<const char*>(data), size), "");
    return 0;
}
