// The remote dialogue without sockets: splitting received bytes into lines, bounded lines, the commands.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

// The control word of the remote console: the OR of the words the live clients hold (see
// CLIENT_TABLE), read once per frame by the controller.
extern std::atomic<int32_t> control_port;

// Size of one receive and the most of a line that is kept; the rest of a longer line is
// dropped (its line end is still found).
constexpr int REMOTE_CHUNK_BYTES = 100000;
constexpr int REMOTE_LINE_MAX = 100000;
// The most of a line the console echo shows.
constexpr int REMOTE_ECHO_MAX = 200;

// One connection's line splitter. A line ends at a line feed; a carriage return just before
// it belongs to the line end too, also when the two arrive in separate receives. Every line
// end completes one line, so a receive holding several lines yields them one by one, and a
// partial line waits for the next receive.
class LINE_READER {
  public:
    LINE_READER();
    // REMOTE_CHUNK_BYTES bytes for the next receive.
    char* chunk_area() { return chunk.get(); }
    // The chunk area now holds received new bytes; earlier ones must all have been split.
    void received(int count);
    // Splits the received bytes not yet split up to the next line end. True when a line is
    // ready (line(), length(), total(), was_cut()); it stays ready until the next call.
    bool next_line();
    // Whether received bytes remain that next_line has not split yet.
    bool pending() const { return chunk_at < chunk_used; }

    // The splitter itself: reads bytes up to and including the first line end among them and
    // returns how many it read. When that count ends a line, line_ready() is true.
    int feed(const char* bytes, int count);
    bool line_ready() const { return ready; }
    // Starts an empty line (done by next_line and feed after a ready line).
    void start_line();

    // The kept bytes of the line, without its line end, zero-terminated.
    const char* line() const { return text.get(); }
    int length() const { return used; }
    // Every byte the line had, line end excluded, kept or not.
    int64_t total() const { return seen; }
    bool was_cut() const { return seen > used; }

  private:
    void keep(char byte);

    std::unique_ptr<char[]> chunk;
    std::unique_ptr<char[]> text;
    int chunk_used = 0;
    int chunk_at = 0;
    int used = 0;
    int64_t seen = 0;
    bool cr_held = false; // a carriage return ended the bytes so far: line end or text
    bool ready = false;
};

// The console echo of a line: "ORDER:[text] : ", where text is at most the first
// REMOTE_ECHO_MAX bytes of the line followed, for a longer line, by "... [cut, N bytes]" with
// the line's full length. Control bytes are shown as '.', so a client cannot drive the
// console's terminal. Writes at most size bytes (zero included) to out; returns out.
constexpr size_t REMOTE_ECHO_BYTES = REMOTE_ECHO_MAX + 64;
char* format_order(char* out, size_t size, const char* line, int length, int64_t total);

// The integer at the start of a text, read like atoi (blanks, a sign, digits) but held to the
// 32-bit range instead of overflowing.
int32_t read_integer(const char* text);

// What a command line asks for.
struct COMMAND {
    bool finish = false;   // the line holds "FINISH"
    bool set_port = false; // the line holds "PORTA" and a value after its first "="
    int32_t port_value = 0;
};

// Reads the commands of a line without its line end (several may share it).
COMMAND parse_command(const char* line);
