// Plays a stream on the machine's sound device through SDL audio.
#pragma once
#include <cstdint>
#include "platform/audio_output.h"

// The name of the audio driver SDL uses ("pulse", "alsa", "dummy"...), or null when SDL finds
// no usable audio device. Starts SDL's audio subsystem on first use.
const char* sdl_audio_driver();
// Shuts SDL's audio subsystem down again (after every SDL_OUTPUT has been destroyed).
void sdl_audio_quit();

// The stream's block length in frames; the device buffer is the largest power of two not above
// it (SDL wants a power of two), 2048 for the default 3072. Set before the output opens.
void set_sdl_block_frames(int frames);
int sdl_device_frames(int block_frames);

class SDL_OUTPUT : public AUDIO_OUTPUT {
  public:
    ~SDL_OUTPUT() override;
    bool open() override;
    bool start(FSOUND_STREAM* stream) override;
    void stop() override;

  private:
    static void fill(void* self, unsigned char* out, int len);
    FSOUND_STREAM* stream_ = nullptr; // changed only while SDL's audio lock is held
    bool opened_ = false;
    int64_t due_ns_ = 0; // when the device should ask next, for the load meter's late count
};
