// The tessaro program: command line dispatch to the player, the headless player or the renderer.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/headless.h"
#include "app/render.h"
#include "platform/console.h"
#include "remote/remote_config.h"

#ifndef TESSARO_VERSION
#define TESSARO_VERSION "unknown"
#endif

namespace {

void print_usage() {
    std::printf(
        "Usage:\n"
        "  tessaro PATCH.KVX                               play a patch\n"
        "  tessaro --headless PATCH.KVX                    play a patch without a window\n"
        "  tessaro --render OUT.wav --seconds S PATCH.KVX  render S seconds of a patch to a WAVE file\n"
        "  tessaro --help | --version\n"
        "\n"
        "The console asks for the audio output and driver; ESC quits.\n"
        "Remote control listens on TCP port 9999 of every interface; --remote ADDR:PORT (e.g.\n"
        "--remote 127.0.0.1:9999) or --remote off, anywhere on the line, changes that.\n");
}

} // namespace

int main(int argc, char** argv) {
    // --remote SPEC, anywhere on the line, is taken out before the rest is read.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--remote") != 0) continue;
        if (i + 1 >= argc || !set_remote_config(argv[i + 1])) {
            if (i + 1 >= argc) set_remote_config(nullptr);
            return -1;
        }
        for (int j = i; j + 2 <= argc; ++j)
            argv[j] = argv[j + 2];
        argc -= 2;
        --i;
    }
    if (argc == 1) {
        std::printf("Supply a synthethiseur file .KVX (KVXOrgue.KVX for eg)");
        console_getch();
        std::exit(-1);
    }
    if (std::strcmp(argv[1], "--help") == 0) {
        print_usage();
        return 0;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("tessaro %s\n", TESSARO_VERSION);
        return 0;
    }
    if (std::strcmp(argv[1], "--render") == 0) return run_render(argc, argv);
    if (std::strcmp(argv[1], "--headless") == 0) return run_headless(argc - 1, argv + 1);
    return run_headless(argc, argv);
}
