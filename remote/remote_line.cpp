// The remote dialogue without sockets: line ends across chunks, bounded lines, the commands.
#include "remote/remote_line.h"

#include <cctype>
#include <cstring>
#include <limits>

#include "patch/splitter.h"

std::atomic<int32_t> control_port{0};

bool line_complete(const char* chunk, int length, bool& cr_seen) {
    if (length <= 0) return false;
    bool complete = cr_seen && chunk[0] == '\n';
    for (int i = 0; i + 1 < length && !complete; ++i)
        if (chunk[i] == '\r' && chunk[i + 1] == '\n') complete = true;
    cr_seen = chunk[length - 1] == '\r';
    return complete;
}

LINE_READER::LINE_READER() : chunk(new char[REMOTE_CHUNK_BYTES]), text(new char[REMOTE_LINE_MAX + 1]) {}

bool LINE_READER::feed(const char* chunk, int length) {
    if (length <= 0) return false;
    const bool complete = line_complete(chunk, length, cr_seen);
    int kept = length;
    if (kept > REMOTE_LINE_MAX - used) {
        kept = REMOTE_LINE_MAX - used;
        cut = true;
    }
    std::memcpy(text.get() + used, chunk, static_cast<size_t>(kept));
    used += kept;
    return complete;
}

std::unique_ptr<char[]> LINE_READER::take_line() {
    std::unique_ptr<char[]> line(new char[used + 1]);
    std::memcpy(line.get(), text.get(), static_cast<size_t>(used));
    line[used] = '\0';
    used = 0;
    cut = false;
    return line;
}

bool strip_line_end(char* line) {
    const size_t n = std::strlen(line);
    if (n < 2) {
        line[0] = '\0';
        return false;
    }
    line[n - 2] = '\0';
    return true;
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

int run_command(const char* line, std::atomic<int32_t>& port) {
    const COMMAND c = parse_command(line);
    if (c.set_port) port.store(c.port_value, std::memory_order_relaxed);
    return c.finish ? 1 : 0;
}
