// The remote dialogue without sockets: line ends across chunks, bounded lines, the commands.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>

// The control word of the remote console: written by any connection, read once per frame by
// the controller. One aligned 32-bit store; the last writer wins.
extern std::atomic<int32_t> control_port;

// Size of one receive and the most of a line that is kept; the rest of a longer line is
// dropped (its line end is still found).
constexpr int REMOTE_CHUNK_BYTES = 100000;
constexpr int REMOTE_LINE_MAX = 100000;

// Whether a received chunk completes the line: it holds a carriage return immediately followed
// by a line feed, or it begins with a line feed while the previous chunk of the same
// connection ended with a carriage return. cr_seen belongs to one connection; it is updated
// to whether this chunk ends with a carriage return.
bool line_complete(const char* chunk, int length, bool& cr_seen);

// One connection's receive buffers: the area each chunk is received into and the line being
// gathered from the chunks.
class LINE_READER {
  public:
    LINE_READER();
    // REMOTE_CHUNK_BYTES bytes for the next receive.
    char* chunk_area() { return chunk.get(); }
    // Appends a chunk (what does not fit is dropped) and returns whether the line is complete.
    bool feed(const char* chunk, int length);
    // The bytes kept so far, as a new zero-terminated text; the reader starts a new line.
    std::unique_ptr<char[]> take_line();
    int length() const { return used; }
    bool was_cut() const { return cut; }

  private:
    std::unique_ptr<char[]> chunk;
    std::unique_ptr<char[]> text;
    int used = 0;
    bool cut = false;
    bool cr_seen = false;
};

// Ends a received line two characters before its end (its carriage return and line feed).
// Returns false, leaving the text empty, for a line shorter than two characters.
bool strip_line_end(char* line);

// The integer at the start of a text, read like atoi (blanks, a sign, digits) but held to the
// 32-bit range instead of overflowing.
int32_t read_integer(const char* text);

// What a command line asks for.
struct COMMAND {
    bool finish = false;   // the line holds "FINISH"
    bool set_port = false; // the line holds "PORTA" and a value after its first "="
    int32_t port_value = 0;
};

// Reads the commands of a stripped line (several may share it).
COMMAND parse_command(const char* line);

// Acts on a stripped line: stores a PORTA value in port. Returns the reply's result: 1 when
// the line held FINISH, else 0.
int run_command(const char* line, std::atomic<int32_t>& port);
