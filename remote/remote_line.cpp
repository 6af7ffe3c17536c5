// The remote dialogue without sockets: splitting received bytes into lines, bounded lines, the commands.
#include "remote/remote_line.h"

#include <cctype>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <limits>

#include "patch/splitter.h"

std::atomic<int32_t> control_port{0};

LINE_READER::LINE_READER() : chunk(new char[REMOTE_CHUNK_BYTES]), text(new char[REMOTE_LINE_MAX + 1]) {
    text[0] = '\0';
}

void LINE_READER::received(int count) {
    chunk_used = count < 0 ? 0 : count > REMOTE_CHUNK_BYTES ? REMOTE_CHUNK_BYTES : count;
    chunk_at = 0;
}

bool LINE_READER::next_line() {
    if (ready) start_line();
    if (chunk_at < chunk_used) chunk_at += feed(chunk.get() + chunk_at, chunk_used - chunk_at);
    return ready;
}

void LINE_READER::start_line() {
    used = 0;
    seen = 0;
    cr_held = false;
    ready = false;
    text[0] = '\0';
}

void LINE_READER::keep(char byte) {
    if (used < REMOTE_LINE_MAX) text[used++] = byte;
    ++seen;
}

int LINE_READER::feed(const char* bytes, int count) {
    if (ready) start_line();
    for (int i = 0; i < count; ++i) {
        const char byte = bytes[i];
        if (byte == '\n') {
            // The line end: the carriage return held just before it goes with it.
            cr_held = false;
            text[used] = '\0';
            ready = true;
            return i + 1;
        }
        // A carriage return not followed by a line feed is a byte of the line like any other.
        if (cr_held) keep('\r');
        cr_held = byte == '\r';
        if (!cr_held) keep(byte);
    }
    text[used] = '\0';
    return count < 0 ? 0 : count;
}

char* format_order(char* out, size_t size, const char* line, int length, int64_t total) {
    if (size == 0) return out;
    char shown[REMOTE_ECHO_MAX + 1];
    int n = 0;
    for (; n < length && n < REMOTE_ECHO_MAX && line[n] != '\0'; ++n) {
        const unsigned char c = static_cast<unsigned char>(line[n]);
        shown[n] = c < 0x20 || c == 0x7f ? '.' : static_cast<char>(c);
    }
    shown[n] = '\0';
    if (total > REMOTE_ECHO_MAX)
        std::snprintf(out, size, "ORDER:[%s... [cut, %" PRId64 " bytes]] : ", shown, total);
    else
        std::snprintf(out, size, "ORDER:[%s] : ", shown);
    return out;
}

int32_t read_integer(const char* text) {
    while (std::isspace(static_cast<unsigned char>(*text)))
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    // Accumulated as a negative number so that the lowest value fits too.
    const int64_t lowest = std::numeric_limits<int32_t>::min();
    int64_t v = 0;
    for (; std::isdigit(static_cast<unsigned char>(*text)); ++text) {
        v = v * 10 - (*text - '0');
        if (v < lowest) v = lowest;
    }
    if (!negative)
        v = v < -int64_t{std::numeric_limits<int32_t>::max()} ? std::numeric_limits<int32_t>::max() : -v;
    return static_cast<int32_t>(v);
}

COMMAND parse_command(const char* line) {
    COMMAND c;
    c.finish = std::strstr(line, "FINISH") != nullptr;
    if (std::strstr(line, "PORTA")) {
        SPLITTER split{'=', line};
        if (auto value = split.field_at(1)) {
            c.set_port = true;
            c.port_value = read_integer(value.get());
        }
    }
    return c;
}
