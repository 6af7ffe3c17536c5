// Engine start-up and shutdown: the patch, the console audio menus, the remote-control
// socket and the audio stream.
#include "app/startup.h"
#include "app/controller.h"
#include "app/patch_load.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/modules.h"
#include "patch/patch_reader.h"
#include "platform/console.h"
#include "platform/jack_output.h"
#include "platform/sdl_output.h"
#include "remote/listen_queue.h"
#include "remote/port_probe.h"
#include "remote/remote_config.h"
#include "remote/remote_line.h"

TCPsocket server_socket = nullptr;
FSOUND_STREAM* audio_stream = nullptr;
int stream_block_frames = BLOCK_FRAMES;

namespace {

const char* const ERROR_TEXTS[] = {
    "No errors",
    "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.",
    "This command failed because FSOUND_Init was not called",
    "Error initializing output device.",
    "The output device is already in use and cannot be reused.",
    "Playing the sound failed.",
    "Soundcard does not support the features needed for this soundsystem (16bit stereo output)",
    "Error setting cooperative level for hardware.",
    "Error creating hardware sound buffer.",
    "File not found",
    "Unknown file format",
    "Error loading file",
    "Not enough memory ",
    "The version number of this file format is not supported",
    "An invalid parameter was passed to this function",
    "Tried to use an EAX command on a non EAX enabled channel or output.",
    "Failed to allocate a new channel",
    "Recording not supported on this device",
    "Required Mediaplayer codec is not installed",
};

void print_ruler() {
    std::printf("---------------------------------------------------------\n");
}

void print_prompt() {
    std::printf("Press a corresponding number or ESC to quit\n");
}

const char* output_name(int type) {
    switch (type) {
    case FSOUND_OUTPUT_NOSOUND:
        return "NoSound";
    case FSOUND_OUTPUT_WINMM:
        return "Windows Multimedia Waveout";
    case FSOUND_OUTPUT_DSOUND:
        return "Direct Sound";
    case FSOUND_OUTPUT_OSS:
        return "Open Sound System";
    case FSOUND_OUTPUT_ESD:
        return "Enlightment Sound Daemon";
    case FSOUND_OUTPUT_ALSA:
        return "Alsa";
    case FSOUND_OUTPUT_ASIO:
        return "ASIO";
    default:
        return "";
    }
}

void print_audio_error() {
    std::printf("Error!\n");
    std::printf("%s\n", audio_error_text(FSOUND_GetError()));
}

// The listening socket as remote_config asks: none when off, on every interface by default,
// else moved to the one address. A port that cannot be had ends the process with status 2.
void open_remote_socket() {
    if (!remote_config.enabled) {
        std::printf("\tRemote control off\n");
        std::fflush(stdout);
        return;
    }
    char where[64] = "";
    if (remote_config.host != 0) {
        const uint32_t h = remote_config.host;
        std::snprintf(where, sizeof where, " of %u.%u.%u.%u", h >> 24, h >> 16 & 255u, h >> 8 & 255u,
                      h & 255u);
    }
    std::printf("\tInit SDL_Net for the remote control on port %d%s\n", remote_config.port, where);
    std::fflush(stdout);
    if (SDLNet_Init() < 0) {
        std::fprintf(stderr, "Couldn't initialize net: %s\n", SDLNet_GetError());
        std::exit(1);
    }
    std::atexit(SDLNet_Quit);
    IPaddress address;
    if (SDLNet_ResolveHost(&address, nullptr, static_cast<Uint16>(remote_config.port)) < 0) {
        std::printf("SDLNet_ResolveHost: %s\n", SDLNet_GetError());
        std::exit(1);
    }
    server_socket = SDLNet_TCP_Open(&address);
    if (!server_socket) {
        const int error = errno;
        std::printf("SDLNet_TCP_Open: %s\n", SDLNet_GetError());
        std::fputs(port_taken_line(remote_config.port, error).c_str(), stdout);
        std::exit(2);
    }
    if (remote_config.host != 0) {
        // SDL_net only listens on every interface; the socket is moved to the one address.
        if (!bind_listener(remote_config.port, remote_config.host)) {
            std::printf("SDLNet_TCP_Open: cannot listen on%s port %d: %s\n", where, remote_config.port,
                        std::strerror(errno));
            std::exit(2);
        }
    } else {
        // Room for a burst of remote clients while the frame loop takes one per frame.
        widen_listen_queue(remote_config.port);
    }
}

// The menu keys --audio and --driver stand for; 0 where the console is asked.
struct MENU_ANSWERS {
    int output = 0;
    int driver = 0;
};
MENU_ANSWERS menu_answers;

// The output type a key of the first menu selects; -1 for any other key.
int output_for_key(int key) {
    switch (key) {
    case '1':
        return FSOUND_OUTPUT_DSOUND;
    case '2':
        return FSOUND_OUTPUT_WINMM;
    case '3':
        return FSOUND_OUTPUT_ASIO;
    case '4':
        return FSOUND_OUTPUT_NOSOUND;
    default:
        return -1;
    }
}

// Said when the sound card cannot be opened, so the user knows what else plays here.
void report_no_device() {
    std::printf("No sound device answers through SDL here (%s); outputs that work: 4 - NoSound "
                "(--audio none) and the WAVE file recorder, driver 2 of every output (--audio record)\n",
                FSOUND_GetDriverName(0));
}

// A port another program holds is said before the menus ask anything, with the way out.
void check_remote_port() {
    if (!remote_config.enabled) return;
    const int error = port_bind_error(remote_config.host, remote_config.port);
    if (error == 0) return;
    std::printf("SDLNet_TCP_Open: ");
    std::fputs(port_taken_line(remote_config.port, error).c_str(), stdout);
    std::fflush(stdout);
    std::exit(2);
}

// ESC leaves the program from either menu, before anything has been started.
int read_menu_key() {
    int key = console_getch();
    if (key == CONSOLE_ESC) std::exit(0);
    return key;
}

} // namespace

void answer_audio_menus(int output_key, int driver_key) {
    menu_answers.output = output_key;
    menu_answers.driver = driver_key;
}

const char* audio_error_text(int code) {
    if (code < 0 || code >= static_cast<int>(sizeof ERROR_TEXTS / sizeof ERROR_TEXTS[0]))
        return "Unknown error";
    return ERROR_TEXTS[code];
}

int choose_audio_output() {
    if (FSOUND_GetVersion() < FMOD_VERSION) {
        std::printf("Error : You are using the wrong DLL version!  You should be using FMOD %.02f\n", 3.74);
        return 0;
    }
    int output = output_for_key(menu_answers.output);
    if (output < 0) {
        print_ruler();
        std::printf("Output Type\n");
        print_ruler();
        std::printf("1 - Direct Sound\n");
        std::printf("2 - Windows Multimedia Waveout\n");
        std::printf("3 - ASIO\n");
        std::printf("4 - NoSound\n");
        print_ruler();
        print_prompt();
        while (output < 0)
            output = output_for_key(read_menu_key());
    }
    FSOUND_SetOutput(output);

    const int drivers = FSOUND_GetNumDrivers();
    int driver = menu_answers.driver - '1';
    if (menu_answers.driver == 0) {
        print_ruler();
        std::printf("%s", output_name(FSOUND_GetOutput()));
        std::printf(" Driver list\n");
        print_ruler();
        for (int i = 0; i < drivers; ++i)
            std::printf("%d - %s\n", i + 1, FSOUND_GetDriverName(i));
        print_ruler();
        print_prompt();
        do {
            driver = read_menu_key() - '1';
        } while (driver < 0 || driver >= drivers);
    } else if (driver < 0 || driver >= drivers) {
        std::printf("--driver %d: the %s output has drivers 1 to %d\n", driver + 1, output_name(output), drivers);
        std::exit(2);
    }
    FSOUND_SetDriver(driver);
    std::printf("Audio: %s, driver %d - %s\n", output_name(output), driver + 1, FSOUND_GetDriverName(driver));
    std::fflush(stdout);
    if (!FSOUND_Init(SAMPLE_RATE, MIXER_CHANNELS, 0)) {
        print_audio_error();
        if (output != FSOUND_OUTPUT_NOSOUND && driver != drivers - 1) report_no_device();
        return 0;
    }
    return 1;
}

int init_engine(int argc, char** argv) {
    scope_zoom = 1.0f;
    scope_mode = 0;
    control_port = 0;
    fill_note_table();
    if (argc < 2) {
        std::printf("U must supply a syntheziser file (.KVX)\n");
        console_getch();
        return 0;
    }
    std::printf("Loading [%s]\n", argv[1]);
    const LOADED_PATCH loaded = load_patch_file(argv[1]);
    if (!loaded.graph) std::exit(-1);
    install_patch(loaded);

    check_remote_port();
    choose_audio_output();

    open_remote_socket();
    start_jack_midi();

    set_sdl_block_frames(stream_block_frames);
    audio_stream = FSOUND_Stream_Create(render_block, stream_block_frames * FRAME_BYTES, STREAM_MODE, SAMPLE_RATE,
                                        nullptr);
    if (!audio_stream || FSOUND_Stream_Play(0, audio_stream) == -1) {
        print_audio_error();
        std::exit(1);
    }
    return 1;
}

void shutdown_audio() {
    if (audio_stream) FSOUND_Stream_Close(audio_stream);
    audio_stream = nullptr;
    FSOUND_Close();
}
