// Writes the drum kit's WAVE files into a folder (by default KVX/samples): tessaro_make_samples [DIR]
#include <cstdio>
#include <string>

#include "drum_synth.h"
#include "wave_writer.h"

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : "KVX/samples";
    int status = 0;
    for (const DrumSound& d : drum_kit()) {
        const std::string path = dir + "/" + d.file;
        const std::vector<float> s = d.make();
        if (write_wave(path, s)) {
            std::printf("%-28s %6zu frames\n", path.c_str(), s.size());
        } else {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            status = 1;
        }
    }
    return status;
}
