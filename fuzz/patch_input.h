// What the patch fuzzers share: fatal errors as exceptions and the input as a file to open.
#pragma once
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "patch/patch_reader.h"

[[noreturn]] inline void throw_fatal(int status) {
    throw std::runtime_error("fatal patch error " + std::to_string(status));
}

// Writes the input to a file of this fuzzing process (named after tag) and returns its path,
// empty when it cannot be written. Also routes fatal patch errors to exceptions.
inline std::string patch_input_file(const char* tag, const uint8_t* data, size_t size) {
    patch_fatal_hook = throw_fatal;
    const std::string path = "/tmp/" + std::string(tag) + "_" + std::to_string(getpid()) + ".KVX";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return "";
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    return path;
}
