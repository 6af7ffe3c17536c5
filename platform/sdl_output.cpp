// Plays a stream on the machine's sound device through SDL audio.
#include "platform/sdl_output.h"

#include <SDL.h>
#include <cstring>

#include "engine/load_meter.h"
#include "engine/stream_format.h"
#include "platform/fsound_stream.h"

namespace {
bool audio_subsystem_up = false;
char driver_name[64];
int device_frames = 2048;
} // namespace

int sdl_device_frames(int block_frames) {
    int n = 1;
    while (n * 2 <= block_frames && n < 32768) n *= 2;
    return n;
}

void set_sdl_block_frames(int frames) {
    device_frames = sdl_device_frames(frames);
}

const char* sdl_audio_driver() {
    if (!audio_subsystem_up) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return nullptr;
        audio_subsystem_up = true;
    }
    if (!SDL_AudioDriverName(driver_name, sizeof driver_name)) return nullptr;
    return driver_name;
}

void sdl_audio_quit() {
    if (!audio_subsystem_up) return;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audio_subsystem_up = false;
}

SDL_OUTPUT::~SDL_OUTPUT() {
    stop();
    if (opened_) SDL_CloseAudio();
}

bool SDL_OUTPUT::open() {
    if (opened_) return true;
    if (!sdl_audio_driver()) return false;
    SDL_AudioSpec want;
    std::memset(&want, 0, sizeof want);
    want.freq = SAMPLE_RATE;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = static_cast<Uint16>(device_frames); // 2048 by default: about 46 ms per device period
    want.callback = &SDL_OUTPUT::fill;
    want.userdata = this;
    // No "obtained" format: SDL converts to whatever the device really takes.
    if (SDL_OpenAudio(&want, nullptr) != 0) return false;
    opened_ = true;
    return true;
}

bool SDL_OUTPUT::start(FSOUND_STREAM* stream) {
    if (!opened_) return false;
    SDL_LockAudio();
    stream_ = stream;
    SDL_UnlockAudio();
    SDL_PauseAudio(0);
    return true;
}

void SDL_OUTPUT::stop() {
    if (!opened_) return;
    // SDL holds this lock around every callback, so once we own it the callback is finished,
    // and it finds no stream when it runs again.
    SDL_LockAudio();
    stream_ = nullptr;
    SDL_UnlockAudio();
    SDL_PauseAudio(1);
}

void SDL_OUTPUT::fill(void* self, unsigned char* out, int len) {
    SDL_OUTPUT& output = *static_cast<SDL_OUTPUT*>(self);
    FSOUND_STREAM* stream = output.stream_;
    if (!stream) {
        std::memset(out, 0, static_cast<size_t>(len));
        output.due_ns_ = 0;
        return;
    }
    // The device asks for len bytes of 4-byte frames at 44100 Hz: that much sound is the period.
    const int64_t period_ns = static_cast<int64_t>(len / 4) * 1000000000 / SAMPLE_RATE;
    const int64_t start = load_clock_ns();
    if (late_callback(output.due_ns_, start, period_ns)) load_late_period();
    stream->read(out, len);
    load_period(load_clock_ns() - start, period_ns);
}
