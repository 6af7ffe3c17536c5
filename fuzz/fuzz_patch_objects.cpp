// Fuzzes the objects section reader with arbitrary patch files.
#include <unistd.h>

#include <cstdio>
#include <stdexcept>
#include <string>

#include "patch/patch_reader.h"

namespace {

[[noreturn]] void throw_fatal(int status) {
    throw std::runtime_error("fatal patch error " + std::to_string(status));
}

// The input as a file the reader can open; one per fuzzing process.
const std::string& input_path() {
    static const std::string path = "/tmp/fuzz_patch_objects_" + std::to_string(getpid()) + ".KVX";
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    patch_fatal_hook = throw_fatal;
    FILE* f = std::fopen(input_path().c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    GENERATOR g;
    try {
        load_objects(&g, input_path().c_str());
    } catch (const std::runtime_error&) {
    }
    std::remove(input_path().c_str());
    return 0;
}
