// tessaro's sound library: the FSOUND_ calls the program uses, played through SDL audio,
// a silent real-time clock, or a WAVE-file recorder.
#include "platform/fsound.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/fsound_stream.h"
#include "platform/jack_output.h"
#include "platform/paced_output.h"
#include "platform/sdl_output.h"

namespace {

// The library's state. Everything but the error code is touched by the calling thread only.
struct SOUND_STATE {
    int output = FSOUND_OUTPUT_NOSOUND;
    int driver = 0;
    bool initialised = false;
    std::unique_ptr<AUDIO_OUTPUT> device;
    std::unique_ptr<FSOUND_STREAM> stream;
    bool playing = false;
};

SOUND_STATE state;
std::atomic<int> last_error{FMOD_ERR_NONE};

char device_name[96];
char recorder_name[1100];

bool fail(int code) {
    last_error = code;
    return false;
}

int fail_channel(int code) {
    last_error = code;
    return -1;
}

bool known_output(int type) {
    return type >= FSOUND_OUTPUT_NOSOUND && type <= FSOUND_OUTPUT_ASIO && type != FSOUND_OUTPUT_A3D;
}

// Every output offers its own driver first, then JACK when a server runs, and the WAVE
// recorder last.
constexpr int JACK_DRIVER = 1;
int driver_count() {
    return jack_available() ? 3 : 2;
}
int recorder_driver() {
    return driver_count() - 1;
}
char jack_name[96];

// Beside JACK the recorder runs only when TESSARO_RECORD names a file.
bool recording_asked() {
    const char* path = std::getenv("TESSARO_RECORD");
    return path && *path;
}

// An exit from anywhere stops the output first, so its thread never runs into a program
// that is being torn down.
void stop_at_exit() {
    if (state.stream) FSOUND_Stream_Close(state.stream.get());
}

} // namespace

const char* record_file_path() {
    const char* path = std::getenv("TESSARO_RECORD");
    return path && *path ? path : RECORD_FILE_NAME;
}

float FSOUND_GetVersion() {
    return FMOD_VERSION;
}

bool FSOUND_SetOutput(int outputtype) {
    if (state.initialised) return fail(FMOD_ERR_BUSY);
    if (!known_output(outputtype)) return fail(FMOD_ERR_INVALID_PARAM);
    state.output = outputtype;
    state.driver = 0;
    return true;
}

int FSOUND_GetOutput() {
    return state.output;
}

int FSOUND_GetNumDrivers() {
    return driver_count();
}

const char* FSOUND_GetDriverName(int id) {
    if (id == recorder_driver()) {
        std::snprintf(recorder_name, sizeof recorder_name, "WAVE file recorder (%s)", record_file_path());
        return recorder_name;
    }
    if (id == JACK_DRIVER && jack_available()) {
        std::snprintf(jack_name, sizeof jack_name, "JACK (%d frames at %d Hz)", jack_period(), jack_rate());
        return jack_name;
    }
    if (id != 0) return nullptr;
    if (state.output == FSOUND_OUTPUT_NOSOUND) return "NoSound (real-time clock, no output)";
    const char* sdl = sdl_audio_driver();
    if (sdl)
        std::snprintf(device_name, sizeof device_name, "SDL audio (%s)", sdl);
    else
        std::snprintf(device_name, sizeof device_name, "SDL audio (no device found)");
    return device_name;
}

bool FSOUND_SetDriver(int driver) {
    if (state.initialised) return fail(FMOD_ERR_BUSY);
    if (driver < 0 || driver >= driver_count()) return fail(FMOD_ERR_INVALID_PARAM);
    state.driver = driver;
    return true;
}

int FSOUND_GetDriver() {
    return state.driver;
}

bool FSOUND_Init(int mixrate, int, unsigned int) {
    if (state.initialised) return fail(FMOD_ERR_BUSY);
    if (mixrate <= 0) return fail(FMOD_ERR_INVALID_PARAM);
    std::unique_ptr<AUDIO_OUTPUT> device;
    if (state.driver == recorder_driver())
        device.reset(new PACED_OUTPUT(record_file_path()));
    else if (state.driver == JACK_DRIVER)
        device.reset(new JACK_OUTPUT(recording_asked() ? record_file_path() : ""));
    else if (state.output == FSOUND_OUTPUT_NOSOUND)
        device.reset(new PACED_OUTPUT(""));
    else
        device.reset(new SDL_OUTPUT());
    if (!device->open()) {
        device.reset();
        sdl_audio_quit();
        return fail(FMOD_ERR_INIT);
    }
    static bool exit_hook = false;
    if (!exit_hook) exit_hook = std::atexit(stop_at_exit) == 0;
    state.device = std::move(device);
    state.initialised = true;
    last_error = FMOD_ERR_NONE;
    return true;
}

void FSOUND_Close() {
    if (state.stream) FSOUND_Stream_Close(state.stream.get());
    state.device.reset();
    sdl_audio_quit();
    state.initialised = false;
}

int FSOUND_GetError() {
    return last_error;
}

FSOUND_STREAM* FSOUND_Stream_Create(FSOUND_STREAMCALLBACK callback, int length, unsigned int mode,
                                    int samplerate, void* userdata) {
    if (!state.initialised) {
        fail(FMOD_ERR_UNINITIALIZED);
        return nullptr;
    }
    const unsigned int needed = FSOUND_16BITS | FSOUND_SIGNED | FSOUND_STEREO;
    if (!callback || length <= 0 || length % 4 != 0 || (mode & needed) != needed || samplerate != SAMPLE_RATE) {
        fail(FMOD_ERR_INVALID_PARAM);
        return nullptr;
    }
    if (state.stream) {
        fail(FMOD_ERR_CHANNEL_ALLOC);
        return nullptr;
    }
    state.stream.reset(new FSOUND_STREAM(callback, length, userdata));
    state.playing = false;
    return state.stream.get();
}

int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream) {
    if (!state.initialised) return fail_channel(FMOD_ERR_UNINITIALIZED);
    if (!stream || stream != state.stream.get() || channel < FSOUND_FREE)
        return fail_channel(FMOD_ERR_INVALID_PARAM);
    if (state.playing) return fail_channel(FMOD_ERR_PLAY);
    if (!state.device->start(stream)) return fail_channel(FMOD_ERR_PLAY);
    state.playing = true;
    return channel == FSOUND_FREE ? 0 : channel;
}

bool FSOUND_Stream_Close(FSOUND_STREAM* stream) {
    if (!stream || stream != state.stream.get()) return fail(FMOD_ERR_INVALID_PARAM);
    if (state.playing && state.device) state.device->stop();
    state.playing = false;
    state.stream.reset();
    return true;
}
