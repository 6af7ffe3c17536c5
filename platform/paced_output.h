// Pulls a stream at real-time pace on a thread of its own, discarding the blocks or
// recording them to a WAVE file.
#pragma once
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "platform/audio_output.h"
#include "platform/wave_file.h"

// Microseconds of sound in a block of length bytes of 16-bit stereo at 44100 Hz.
long long block_duration_us(int length_bytes);

class PACED_OUTPUT : public AUDIO_OUTPUT {
  public:
    // With an empty path the blocks are discarded; otherwise they are written to that file.
    explicit PACED_OUTPUT(std::string record_path);
    ~PACED_OUTPUT() override;
    bool open() override;
    bool start(FSOUND_STREAM* stream) override;
    void stop() override;

  private:
    void run(FSOUND_STREAM* stream);

    std::string record_path_;
    WAVE_WRITER recorder_;
    std::thread worker_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
};
