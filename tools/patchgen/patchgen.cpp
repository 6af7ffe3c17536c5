// Writes the generated benchmark patches into a folder (by default KVX): tessaro_patchgen [DIR]
#include <cstdio>
#include <string>

#include "bench_patch.h"

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : "KVX";
    const struct {
        const char* file;
        int voices;
    } patches[] = {{"BENCH_W2.KVX", 1}, {"BENCH_W3.KVX", 64}};
    for (const auto& p : patches) {
        const std::string path = dir + "/" + p.file;
        const std::string text = bench_patch(p.voices);
        std::FILE* f = std::fopen(path.c_str(), "w");
        const bool ok = f && std::fwrite(text.data(), 1, text.size(), f) == text.size();
        if (f && std::fclose(f) != 0) return 1;
        if (!ok) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s: %d voices\n", path.c_str(), p.voices);
    }
    return 0;
}
