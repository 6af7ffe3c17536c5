// The tessaro program: reads the command line and runs the window, the headless player or the
// renderer.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/headless.h"
#include "app/options.h"
#include "app/patch_folders.h"
#include "app/recovery.h"
#include "app/render.h"
#include "app/startup.h"
#include "app/window.h"
#include "engine/block_plan.h"
#include "engine/midi_input.h"
#include "engine/verbose.h"
#include "patch/patch_check.h"
#include "platform/console.h"
#include "platform/jack_output.h"
#include "remote/remote_config.h"

#ifndef TESSARO_VERSION
#define TESSARO_VERSION "unknown"
#endif

int main(int argc, char** argv) {
    const OPTIONS o = parse_options(argc, argv);
    set_verbose(o.verbose);
    if (o.kind == RUN_KIND::NO_ARGUMENT) {
        std::printf("Supply a synthethiseur file .KVX (KVXOrgue.KVX for eg)");
        console_getch();
        std::exit(-1);
    }
    if (o.kind == RUN_KIND::CHECK && o.patches.empty()) {
        std::printf("Usage: tessaro --check PATCH.KVX...\n");
        return 1;
    }
    if (!o.error.empty()) {
        std::fprintf(stderr, "tessaro: %s\n\n%s", o.error.c_str(), usage_text());
        return 2;
    }
    if (o.have_remote && !set_remote_config(o.remote.c_str())) return -1;
    JACK_OPTIONS jack;
    jack.connect_playback = o.jack_connect;
    jack.midi_source = o.midi_connect;
    set_jack_options(jack);
    midi_channel = o.midi_channel;
    stream_block_frames = o.block_frames;
    block_engine.store(o.sub_blocks ? 1 : 0);
    // Only these two answers depend on a server; asking opens the client, as the menu would.
    const bool jack_server = (o.audio == "jack" || o.audio == "record") && jack_available();
    if (o.audio == "jack" && !jack_server) {
        std::fprintf(stderr, "tessaro: no JACK server answers; start one, or play with --audio sdl (the sound "
                             "card through SDL), --audio none (no output) or --audio record (a WAVE file)\n");
        return 1;
    }
    const MENU_KEYS keys = menu_keys_for(o.audio, o.driver, jack_server);
    answer_audio_menus(keys.output, keys.driver);
    std::string patch = o.patch() ? located_patch(o.patch()) : std::string();
    const bool plays = o.kind == RUN_KIND::WINDOW || o.kind == RUN_KIND::HEADLESS || o.kind == RUN_KIND::RENDER;
    if (plays && !patch.empty()) {
        const std::string copy = recovery_path_for(patch);
        if (o.recover) {
            if (access(copy.c_str(), R_OK) != 0) {
                std::fprintf(stderr, "tessaro: --recover: no recovery copy of [%s] at %s\n", patch.c_str(), copy.c_str());
                return 1;
            }
            std::printf("Playing the recovery copy %s\n", copy.c_str());
            patch = copy;
        } else {
            std::fputs(recovery_notice(copy, patch).c_str(), stdout);
        }
        std::fflush(stdout);
    }
    switch (o.kind) {
    case RUN_KIND::HELP:
        std::fputs(usage_text(), stdout);
        return 0;
    case RUN_KIND::VERSION:
        std::printf("tessaro %s\n", TESSARO_VERSION);
        return 0;
    case RUN_KIND::CHECK: {
        // The checker reads patch files only: no audio, no window, no console prompt.
        std::vector<char*> paths;
        for (const std::string& p : o.patches) paths.push_back(const_cast<char*>(p.c_str()));
        return check_patches(static_cast<int>(paths.size()), paths.data());
    }
    case RUN_KIND::RENDER:
        return render_patch(patch.c_str(), o.render_out.c_str(), o.seconds, isatty(STDERR_FILENO) != 0);
    case RUN_KIND::HEADLESS: {
        char program[] = "tessaro";
        char* args[] = {program, const_cast<char*>(patch.c_str()), nullptr};
        return run_headless(2, args);
    }
    case RUN_KIND::WINDOW:
    default:
        return run_window(patch.c_str());
    }
}
