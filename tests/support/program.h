// Runs the real tessaro binary with its console on a pipe: to the end, or alongside a test.
#pragma once
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/wait.h"

// The tessaro binary under test.
const char* tessaro_binary();

struct PROGRAM_RUN {
    int status = -1;    // exit status 0..255, or -1 when killed
    std::string output; // standard output and standard error, interleaved
    bool timed_out = false;
};

// Starts the program with args and extra "NAME=value" environment entries (in the folder cwd
// when one is given), writes input to its console, keeps the console open hold_ms milliseconds
// longer, then closes it (which the program reads as ESC). Kills it after timeout_ms.
PROGRAM_RUN run_program(const std::vector<std::string>& args, const std::string& input,
                        const std::vector<std::string>& env = {}, int hold_ms = 0, int timeout_ms = PATIENCE_MS,
                        const std::string& cwd = "");

// As run_program, but the console stays open until ready holds for what was printed so far (a
// line the program prints once it has done what the test looks at), then closes.
PROGRAM_RUN run_program_until(const std::vector<std::string>& args, const std::string& input,
                              const std::function<bool(const std::string& output)>& ready,
                              const std::vector<std::string>& env = {}, int timeout_ms = PATIENCE_MS,
                              const std::string& cwd = "");

// The program running beside the test: console on a pipe that stays open, output in a file.
class PROGRAM {
  public:
    PROGRAM();
    ~PROGRAM();
    PROGRAM(const PROGRAM&) = delete;
    PROGRAM& operator=(const PROGRAM&) = delete;

    bool start(const std::vector<std::string>& args, const std::vector<std::string>& env = {},
               const std::string& cwd = "");
    // Writes text to the program's console; false once the program stopped reading it.
    bool type(const std::string& text);
    bool alive();
    // Waits for the program to end on its own; its exit status, or -1 when it is still running
    // after timeout_ms (it is then killed) or ended by a signal.
    int wait(int timeout_ms = PATIENCE_MS);
    // Closes the console (read as ESC), then waits as above.
    int finish(int timeout_ms = PATIENCE_MS);
    // Everything printed so far.
    std::string output() const;
    // Waits until the output holds text; false after timeout_ms or when the program ended first.
    bool wait_for_output(const std::string& text, int timeout_ms = PATIENCE_MS);
    // Waits until the output from byte offset from on holds text count times; false after
    // timeout_ms or when the program ended first.
    bool wait_for_count(const std::string& text, int count, size_t from = 0, int timeout_ms = PATIENCE_MS);
    // A number of kB or threads from /proc/PID/status; -1 when unknown.
    long status_field(const char* key) const;

    pid_t pid = -1;
    int exit_status = -1;

  private:
    int console = -1;
    std::string output_path;
};

// Waits until a TCP port can be listened on again (an earlier program may still hold it); false
// after timeout_ms.
bool wait_for_free_port(int port, int timeout_ms = PATIENCE_MS);

// A TCP port nobody listens on now, out of the range of the ports the system picks by itself, for
// a program's remote control (`--remote 127.0.0.1:PORT`), so that programs of tests running side
// by side never wait on each other's port.
int free_tcp_port();
