// The interface shared by the places a stream can play to: a sound device, a clock, a file.
#pragma once

struct FSOUND_STREAM;

class AUDIO_OUTPUT {
  public:
    virtual ~AUDIO_OUTPUT() = default;
    // Acquires the device or file; false when it cannot be had.
    virtual bool open() = 0;
    // Begins pulling blocks from stream on the output's own thread.
    virtual bool start(FSOUND_STREAM* stream) = 0;
    // Returns once the stream's callback is not running and will not run again.
    virtual void stop() = 0;
};
