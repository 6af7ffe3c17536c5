// Engine start-up and shutdown: the patch, the console audio menus, the remote-control
// socket and the audio stream.
#pragma once
#include <SDL_net.h>

#include "platform/fsound.h"

// The stream's block length in frames (--block; 3072 by default).
extern int stream_block_frames;
constexpr unsigned int STREAM_MODE = 0x1000150; // 16-bit, signed, stereo, non-blocking
constexpr int MIXER_CHANNELS = 32;

// The remote-control listening socket, open from init_engine to the end of the process; null
// when the remote control is off.
extern TCPsocket server_socket;
// The stream init_engine started; closed by shutdown_audio.
extern FSOUND_STREAM* audio_stream;

// The fixed text of a sound-library error code.
const char* audio_error_text(int code);

// Answers to the two console menus given on the command line, as the keys a user would press
// ('1'..'4' for the output type, '1'.. for the driver); 0 leaves that menu to the console.
void answer_audio_menus(int output_key, int driver_key);

// The console menus of output type and driver, then FSOUND_Init. Returns 1 when the library
// was initialised, 0 otherwise; ESC (or the end of input) ends the process with status 0.
int choose_audio_output();

// Loads the patch named by argv[1] and installs it, runs the audio menus, opens the
// remote-control socket (as remote_config says) and starts the stream. Returns 0 when the patch
// argument is missing, 1 when the engine runs;
// every other failure ends the process with its status.
int init_engine(int argc, char** argv);

// Closes the stream, then the sound library.
void shutdown_audio();
