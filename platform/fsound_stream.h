// The stream handle: the program's callback and the block it fills, as every output pulls it.
#pragma once
#include <vector>

// Fills buffer with length bytes of interleaved 16-bit stereo frames; returning 0 ends the
// stream (it then plays silence). Called on the output's own thread.
typedef int (*FSOUND_STREAMCALLBACK)(void* stream, void* buffer, int length, void* user);

struct FSOUND_STREAM {
    FSOUND_STREAM(FSOUND_STREAMCALLBACK cb, int length_bytes, void* user_data);

    // Clears the block and asks the callback for the next one. Once the callback has returned
    // 0 the stream is over and every later block stays silent. Runs on the output's thread:
    // no allocation.
    void next_block();

    // Copies len bytes of the stream into out, pulling new blocks whenever the current one is
    // used up, so an output may ask for any length.
    void read(unsigned char* out, int len);

    FSOUND_STREAMCALLBACK callback;
    void* user;
    int length;
    std::vector<unsigned char> block;
    int position; // bytes of block already handed out; length means "pull a new one"
    bool ended = false;
};
