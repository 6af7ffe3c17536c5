// tessaro's sound library: the FSOUND_ calls the program uses, played through SDL audio,
// a silent real-time clock, or a WAVE-file recorder.
#pragma once
#include "platform/fsound_stream.h"

// The version this library implements; callers refuse anything older.
constexpr float FMOD_VERSION = 3.74f;

// Output types, numbered as the sound library has always numbered them.
enum FSOUND_OUTPUTTYPES {
    FSOUND_OUTPUT_NOSOUND = 0,
    FSOUND_OUTPUT_WINMM = 1,
    FSOUND_OUTPUT_DSOUND = 2,
    FSOUND_OUTPUT_A3D = 3,
    FSOUND_OUTPUT_OSS = 4,
    FSOUND_OUTPUT_ESD = 5,
    FSOUND_OUTPUT_ALSA = 6,
    FSOUND_OUTPUT_ASIO = 7,
};

// Error codes returned by FSOUND_GetError.
enum FMOD_ERRORS {
    FMOD_ERR_NONE = 0,
    FMOD_ERR_BUSY = 1,          // called after FSOUND_Init
    FMOD_ERR_UNINITIALIZED = 2, // FSOUND_Init was not called
    FMOD_ERR_INIT = 3,          // the output device could not be opened
    FMOD_ERR_ALLOCATED = 4,
    FMOD_ERR_PLAY = 5,
    FMOD_ERR_OUTPUT_FORMAT = 6,
    FMOD_ERR_COOPERATIVELEVEL = 7,
    FMOD_ERR_CREATEBUFFER = 8,
    FMOD_ERR_FILE_NOTFOUND = 9,
    FMOD_ERR_FILE_FORMAT = 10,
    FMOD_ERR_FILE_BAD = 11,
    FMOD_ERR_MEMORY = 12,
    FMOD_ERR_VERSION = 13,
    FMOD_ERR_INVALID_PARAM = 14,
    FMOD_ERR_NO_EAX = 15,
    FMOD_ERR_CHANNEL_ALLOC = 16,
    FMOD_ERR_RECORD = 17,
    FMOD_ERR_MEDIAPLAYER = 18,
};

// Stream mode bits; the only format streamed is 16-bit signed stereo.
constexpr unsigned int FSOUND_16BITS = 0x10;
constexpr unsigned int FSOUND_STEREO = 0x40;
constexpr unsigned int FSOUND_SIGNED = 0x100;
constexpr unsigned int FSOUND_NONBLOCKING = 0x1000000;

// Pass as the channel of FSOUND_Stream_Play to let the library pick one.
constexpr int FSOUND_FREE = -1;


// Where the WAVE recorder writes: $TESSARO_RECORD, else this file in the working directory.
constexpr const char* RECORD_FILE_NAME = "tessaro-record.wav";
const char* record_file_path();

float FSOUND_GetVersion();

// Both only before FSOUND_Init (else false with FMOD_ERR_BUSY). Choosing an output resets the
// driver to 0.
bool FSOUND_SetOutput(int outputtype);
int FSOUND_GetOutput();

// The drivers of the current output: the output's own device, JACK when a server runs, then
// the WAVE recorder (last).
int FSOUND_GetNumDrivers();
const char* FSOUND_GetDriverName(int id); // null when id is out of range
bool FSOUND_SetDriver(int driver);
int FSOUND_GetDriver();

// Opens the selected driver. mixrate must be positive; channel count and flags are accepted
// as they are (the stand-in mixes nothing itself).
bool FSOUND_Init(int mixrate, int maxsoftwarechannels, unsigned int flags);
// Stops any stream and releases the device. Harmless when not initialised.
void FSOUND_Close();

int FSOUND_GetError();

// One stream at a time: 44100 Hz, mode with FSOUND_16BITS | FSOUND_SIGNED | FSOUND_STEREO,
// length a positive multiple of 4 bytes. Null on failure (FSOUND_GetError says why).
FSOUND_STREAM* FSOUND_Stream_Create(FSOUND_STREAMCALLBACK callback, int length, unsigned int mode,
                                    int samplerate, void* userdata);
// Starts the callbacks; returns the channel used, or -1.
int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream);
// Returns once the callback is no longer running and will not be called again.
bool FSOUND_Stream_Close(FSOUND_STREAM* stream);
