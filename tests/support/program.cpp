// Runs the real tessaro binary with its console on a pipe: to the end, or alongside a test.
#include "tests/support/program.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

#include "remote/port_probe.h"
#include "tests/support/scratch.h"

const char* tessaro_binary() {
    return TESSARO_BINARY;
}

namespace {

// X, Mesa and SDL keep allocations for the life of a process that opened a window; a sanitizer
// build of the program would report them at exit as its own leaks.
std::string suppressions_path;

void remove_suppressions() {
    unlink(suppressions_path.c_str());
}

const std::string& leak_suppressions() {
    if (suppressions_path.empty()) {
        std::string p = (std::filesystem::temp_directory_path() / "tessaro_lsan_XXXXXX").string();
        const int fd = mkstemp(&p[0]);
        if (fd < 0) return suppressions_path;
        const std::string text = "leak:libX\nleak:libxcb\nleak:libGL\nleak:libglapi\nleak:libgallium\n"
                                 "leak:libLLVM\nleak:swrast\nleak:dri\nleak:libSDL\n";
        const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
        close(fd);
        suppressions_path = p;
        std::atexit(remove_suppressions);
        if (!written) remove_suppressions();
    }
    return suppressions_path;
}

// In the child: becomes the program with the given standard streams.
[[noreturn]] void exec_program(const std::vector<std::string>& args, const std::vector<std::string>& env,
                               const std::string& cwd, const std::string& suppressions) {
    if (!suppressions.empty()) {
        const char* old = std::getenv("LSAN_OPTIONS");
        const std::string options = std::string(old ? old : "") + (old && *old ? ":" : "") +
                                    "suppressions=" + suppressions + ":print_suppressions=0";
        setenv("LSAN_OPTIONS", options.c_str(), 1);
    }
    for (const std::string& e : env)
        putenv(strdup(e.c_str()));
    if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(126);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(TESSARO_BINARY));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(TESSARO_BINARY, argv.data());
    _exit(127);
}

int status_of(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

bool wait_for_free_port(int port, int timeout_ms) {
    return wait_until([port] { return port_bind_error(0, port, true) == 0; }, timeout_ms, 100);
}

int free_tcp_port() {
    // Ports 20000 to 32767: below those the kernel gives the local end of outgoing connections
    // (32768 on), so neither a client of the test nor a server asked to bind port 0 can hold
    // the port when the program comes to open it, nor may a client connecting early find itself
    // connected to its own end. Each test process starts its search at its process id, so that
    // processes started one after the other search apart; the probe only binds, so that no
    // other test's client connects to it.
    constexpr int FIRST = 20000, COUNT = 12768;
    static int next = static_cast<int>(getpid() % COUNT);
    for (int tried = 0; tried < COUNT; ++tried) {
        const int port = FIRST + next;
        next = (next + 1) % COUNT;
        if (port_bind_error(0, port) == 0) return port;
    }
    return -1;
}

namespace {

// Runs the program with input on its console, which is closed once close_now says so for the
// output so far and the time since the start; killed after timeout_ms.
PROGRAM_RUN run_until(const std::vector<std::string>& args, const std::string& input,
                      const std::vector<std::string>& env, int timeout_ms, const std::string& cwd,
                      const std::function<bool(const std::string&, std::chrono::milliseconds)>& close_now) {
    PROGRAM_RUN run;
    const std::string suppressions = leak_suppressions();
    int in[2], out[2];
    if (pipe(in) != 0) return run;
    if (pipe(out) != 0) {
        close(in[0]);
        close(in[1]);
        return run;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(in[0], STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        dup2(out[1], STDERR_FILENO);
        close(in[0]);
        close(in[1]);
        close(out[0]);
        close(out[1]);
        exec_program(args, env, cwd, suppressions);
    }
    close(in[0]);
    close(out[1]);
    signal(SIGPIPE, SIG_IGN);
    // A program that has already quit leaves the rest unread; that is not an error here.
    const ssize_t sent = write(in[1], input.data(), input.size());
    (void)sent;

    using clock = std::chrono::steady_clock;
    const auto start = clock::now();
    const auto kill_at = start + std::chrono::milliseconds(timeout_ms);
    bool input_open = true;
    char buf[4096];
    for (;;) {
        const auto now = clock::now();
        if (input_open &&
            close_now(run.output, std::chrono::duration_cast<std::chrono::milliseconds>(now - start))) {
            close(in[1]);
            input_open = false;
        }
        if (now >= kill_at) {
            kill(pid, SIGKILL);
            run.timed_out = true;
            break;
        }
        struct pollfd p = {out[0], POLLIN, 0};
        if (poll(&p, 1, 10) > 0) {
            const ssize_t n = read(out[0], buf, sizeof buf);
            if (n <= 0) break;
            run.output.append(buf, static_cast<size_t>(n));
        }
    }
    if (input_open) close(in[1]);
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    run.status = status_of(status);
    return run;
}

} // namespace

PROGRAM_RUN run_program(const std::vector<std::string>& args, const std::string& input,
                        const std::vector<std::string>& env, int hold_ms, int timeout_ms,
                        const std::string& cwd) {
    return run_until(args, input, env, timeout_ms, cwd,
                     [hold_ms](const std::string&, std::chrono::milliseconds since) { return since.count() >= hold_ms; });
}

PROGRAM_RUN run_program_until(const std::vector<std::string>& args, const std::string& input,
                              const std::function<bool(const std::string& output)>& ready,
                              const std::vector<std::string>& env, int timeout_ms, const std::string& cwd) {
    return run_until(args, input, env, timeout_ms, cwd,
                     [&ready](const std::string& output, std::chrono::milliseconds) { return ready(output); });
}

PROGRAM::PROGRAM() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tessaro_console_XXXXXX").string();
    const int fd = mkstemp(&pattern[0]);
    if (fd >= 0) {
        close(fd);
        output_path = pattern;
    }
}

PROGRAM::~PROGRAM() {
    if (pid > 0) finish(5000);
    if (!output_path.empty()) unlink(output_path.c_str());
}

bool PROGRAM::start(const std::vector<std::string>& args, const std::vector<std::string>& env,
                    const std::string& cwd) {
    const std::string suppressions = leak_suppressions();
    int in[2];
    if (output_path.empty() || pipe(in) != 0) return false;
    signal(SIGPIPE, SIG_IGN);
    pid = fork();
    if (pid == 0) {
        dup2(in[0], STDIN_FILENO);
        close(in[0]);
        close(in[1]);
        const int out = open(output_path.c_str(), O_WRONLY | O_TRUNC);
        dup2(out, STDOUT_FILENO);
        dup2(out, STDERR_FILENO);
        close(out);
        exec_program(args, env, cwd, suppressions);
    }
    close(in[0]);
    console = in[1];
    return pid > 0;
}

bool PROGRAM::type(const std::string& text) {
    return console >= 0 && write(console, text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

bool PROGRAM::alive() {
    if (pid <= 0) return false;
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) != pid) return true;
    exit_status = status_of(status);
    pid = -1;
    return false;
}

int PROGRAM::wait(int timeout_ms) {
    if (pid > 0 && !wait_until([this] { return !alive(); }, timeout_ms, 10)) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        pid = -1;
        exit_status = -1;
    }
    if (console >= 0) close(console);
    console = -1;
    return exit_status;
}

int PROGRAM::finish(int timeout_ms) {
    if (console >= 0) close(console);
    console = -1;
    return wait(timeout_ms);
}

std::string PROGRAM::output() const {
    return read_text(output_path);
}

bool PROGRAM::wait_for_output(const std::string& text, int timeout_ms) {
    return wait_for_count(text, 1, 0, timeout_ms);
}

bool PROGRAM::wait_for_count(const std::string& text, int count, size_t from, int timeout_ms) {
    auto enough = [&] {
        const std::string out = output();
        return from <= out.size() && count_of(out.substr(from), text) >= count;
    };
    // A program that has ended prints no more: its last words are all there is to check.
    wait_until([&] { return enough() || !alive(); }, timeout_ms);
    return enough();
}

long PROGRAM::status_field(const char* key) const {
    std::ifstream f("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(f, line))
        if (line.rfind(key, 0) == 0) return std::stol(line.substr(std::strlen(key)));
    return -1;
}
