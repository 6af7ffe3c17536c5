// Fuzzes the remote line handling: arbitrary chunks through the line reader and the commands.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "remote/remote_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    LINE_READER reader;
    std::atomic<int32_t> port{0};
    std::string chunk;
    while (in.remaining_bytes() > 0) {
        // A chunk is a piece of the input, possibly repeated, so that short inputs can still
        // build lines longer than the kept part.
        const size_t piece = in.ConsumeIntegralInRange<size_t>(0, 64);
        const int repeat = in.ConsumeBool() ? in.ConsumeIntegralInRange<int>(1, 4000) : 1;
        const std::string bytes = in.ConsumeBytesAsString(piece);
        chunk.clear();
        for (int i = 0; i < repeat && chunk.size() + bytes.size() <= REMOTE_CHUNK_BYTES; ++i)
            chunk += bytes;

        const bool complete = reader.feed(chunk.data(), static_cast<int>(chunk.size()));
        if (reader.length() > REMOTE_LINE_MAX) std::abort();
        if (!complete) continue;
        std::unique_ptr<char[]> line = reader.take_line();
        if (reader.length() != 0) std::abort();
        strip_line_end(line.get());
        const int32_t before = port;
        const int result = run_command(line.get(), port);
        if (result != (std::strstr(line.get(), "FINISH") ? 1 : 0)) std::abort();
        if (port != before && !std::strstr(line.get(), "PORTA")) std::abort();
    }
    return 0;
}
