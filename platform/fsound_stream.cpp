// The stream handle: the program's callback and the block it fills, as every output pulls it.
#include "platform/fsound_stream.h"

#include <cstring>

FSOUND_STREAM::FSOUND_STREAM(FSOUND_STREAMCALLBACK cb, int length_bytes, void* user_data)
    : callback(cb), user(user_data), length(length_bytes), block(static_cast<size_t>(length_bytes)),
      position(length_bytes) {}

void FSOUND_STREAM::next_block() {
    std::memset(block.data(), 0, block.size());
    if (!ended && callback(this, block.data(), length, user) == 0) ended = true;
    position = 0;
}

void FSOUND_STREAM::read(unsigned char* out, int len) {
    while (len > 0) {
        if (position >= length) next_block();
        int n = length - position;
        if (n > len) n = len;
        std::memcpy(out, block.data() + position, static_cast<size_t>(n));
        position += n;
        out += n;
        len -= n;
    }
}
