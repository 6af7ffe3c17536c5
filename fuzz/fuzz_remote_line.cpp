// Fuzzes the remote line handling: arbitrary receives split into lines, their echo and commands.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "remote/remote_line.h"

namespace {

// The line being gathered, rebuilt independently of the reader: its first bytes, how many it
// has and its last byte.
struct EXPECTED_LINE {
    std::string kept;
    int64_t total = 0;
    char last = 0;

    void append(const char* bytes, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            if (kept.size() < static_cast<size_t>(REMOTE_LINE_MAX) + 2) kept.push_back(bytes[i]);
            ++total;
            last = bytes[i];
        }
    }
    // At a line feed: a carriage return just before it belongs to the line end.
    void end() {
        if (total > 0 && last == '\r') {
            --total;
            if (static_cast<int64_t>(kept.size()) > total) kept.resize(static_cast<size_t>(total));
        }
    }
    void clear() {
        kept.clear();
        total = 0;
        last = 0;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    LINE_READER reader;
    std::string chunk;
    EXPECTED_LINE expected;
    while (in.remaining_bytes() > 0) {
        // A receive is a piece of the input, possibly repeated, so that short inputs can still
        // build lines longer than the kept part.
        const size_t piece = in.ConsumeIntegralInRange<size_t>(0, 64);
        const int repeat = in.ConsumeBool() ? in.ConsumeIntegralInRange<int>(1, 4000) : 1;
        const std::string bytes = in.ConsumeBytesAsString(piece);
        chunk.clear();
        for (int i = 0; i < repeat && chunk.size() + bytes.size() <= REMOTE_CHUNK_BYTES; ++i)
            chunk += bytes;

        std::memcpy(reader.chunk_area(), chunk.data(), chunk.size());
        reader.received(static_cast<int>(chunk.size()));
        size_t at = 0;
        while (reader.next_line()) {
            const size_t end = chunk.find('\n', at);
            if (end == std::string::npos) std::abort();
            expected.append(chunk.data() + at, end - at);
            expected.end();
            at = end + 1;
            const int64_t kept = expected.total < REMOTE_LINE_MAX ? expected.total : REMOTE_LINE_MAX;
            if (reader.total() != expected.total || reader.length() != kept) std::abort();
            if (reader.was_cut() != (expected.total > REMOTE_LINE_MAX)) std::abort();
            if (std::memcmp(reader.line(), expected.kept.data(), static_cast<size_t>(kept)) != 0)
                std::abort();
            if (reader.line()[reader.length()] != '\0') std::abort();
            expected.clear();

            char echo[REMOTE_ECHO_BYTES];
            format_order(echo, sizeof echo, reader.line(), reader.length(), reader.total());
            if (std::strlen(echo) >= sizeof echo) std::abort();
            const COMMAND c = parse_command(reader.line());
            if (c.finish != (std::strstr(reader.line(), "FINISH") != nullptr)) std::abort();
            if (c.set_port && !std::strstr(reader.line(), "PORTA")) std::abort();
        }
        if (reader.pending()) std::abort();
        expected.append(chunk.data() + at, chunk.size() - at);
    }
    return 0;
}
