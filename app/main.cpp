// The tessaro program: command line dispatch to the player, the headless player or the renderer.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/headless.h"
#include "app/render.h"
#include "patch/patch_check.h"
#include "platform/console.h"

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
        "  tessaro --check PATCH.KVX...                    check patches: one line per problem\n"
        "  tessaro --help | --version\n"
        "\n"
        "The console asks for the audio output and driver; ESC quits.\n"
        "Remote control listens on TCP port 9999.\n");
}

} // namespace

int main(int argc, char** argv) {
    // The checker reads patch files only: no audio, no window, no console prompt.
    if (argc > 1 && std::strcmp(argv[1], "--check") == 0) {
        if (argc == 2) {
            std::printf("Usage: tessaro --check PATCH.KVX...\n");
            return 1;
        }
        return check_patches(argc - 2, argv + 2);
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
