// Fuzzes the links section reader: the objects of the same file first, then their links.
#include <unistd.h>

#include <cstdio>
#include <stdexcept>
#include <string>

#include "patch/patch_reader.h"

namespace {

[[noreturn]] void throw_fatal(int status) {
    throw std::runtime_error("fatal patch error " + std::to_string(status));
}

const std::string& input_path() {
    static const std::string path = "/tmp/fuzz_patch_links_" + std::to_string(getpid()) + ".KVX";
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
    try {
        load_links(&g, input_path().c_str());
        // A few samples through the wired graph: every connection must point at live data.
        for (int i = 0; i < 64; ++i)
            g.sweep();
    } catch (const std::runtime_error&) {
    }
    std::remove(input_path().c_str());
    return 0;
}
