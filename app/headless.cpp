// The console loop that keeps the program playing without a window.
#include "app/headless.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "app/controller.h"
#include "app/midi_control.h"
#include "app/module_dash.h"
#include "app/startup.h"
#include "engine/audio.h"
#include "engine/generator.h"
#include "app/save_dialog.h"
#include "platform/console.h"
#include "remote/remote_server.h"

void headless_loop() {
    const auto pass = std::chrono::microseconds(1000000 / 60);
    CONTROLLER controller;
    for (;;) {
        step_controller(controller);
        const MIDI_CONTROLS midi = take_midi_controls(nullptr);
        if (midi.program >= 0) load_program(nullptr, midi.program);
        report_sampler_restarts(generator->samplers);
        while (console_key_ready()) {
            const int key = console_getch();
            if (key == CONSOLE_ESC) return;
            if (key == 's' || key == 'S') {
                save_user_patch();
                std::printf("Playing [%s] - ESC to quit, s to save\n", generator->patch_path);
                std::fflush(stdout);
            }
        }
        accept_remote_client(server_socket);
        std::this_thread::sleep_for(pass);
    }
}

int run_headless(int argc, char** argv) {
    if (!init_engine(argc, argv)) return 1;
    std::printf("Playing [%s] - ESC to quit, s to save\n", argv[1]);
    std::fflush(stdout);
    audio_running = 1;
    headless_loop();
    // Without a window the load meter is told once, at the end: the last second's average, the
    // peak of the last five and the late periods of the whole run.
    std::printf("Load: %s\n", load_text(load_reading()).c_str());
    std::fflush(stdout);
    audio_pause();
    shutdown_audio();
    return 0;
}
