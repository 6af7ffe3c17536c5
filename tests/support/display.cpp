// An X display for window tests: the one in $DISPLAY, or a private virtual one started here.
#include "tests/support/display.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "tests/support/program.h"

namespace {

pid_t xvfb_pid = -1;

void stop_xvfb() {
    if (xvfb_pid > 0) {
        kill(xvfb_pid, SIGTERM);
        waitpid(xvfb_pid, nullptr, 0);
        xvfb_pid = -1;
    }
}

// A local display ":N" is served when its socket exists; others are trusted to the tools.
bool display_answers(const std::string& display) {
    if (display.empty()) return false;
    if (have_command("xdpyinfo")) {
        int status = -1;
        shell_output("DISPLAY=" + shell_quoted(display) + " xdpyinfo >/dev/null 2>&1", &status);
        return status == 0;
    }
    if (display[0] != ':') return true;
    const std::string number = display.substr(1, display.find('.') - 1);
    return access(("/tmp/.X11-unix/X" + number).c_str(), F_OK) == 0;
}

bool start_xvfb() {
    if (!have_command("Xvfb")) return false;
    int n = 97;
    while (access(("/tmp/.X11-unix/X" + std::to_string(n)).c_str(), F_OK) == 0 ||
           access(("/tmp/.X" + std::to_string(n) + "-lock").c_str(), F_OK) == 0)
        ++n;
    const std::string display = ":" + std::to_string(n);
    xvfb_pid = fork();
    if (xvfb_pid == 0) {
        freopen("/dev/null", "w", stdout);
        freopen("/dev/null", "w", stderr);
        // No reset when the last client leaves: a test connecting during one finds no display.
        execlp("Xvfb", "Xvfb", display.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    if (xvfb_pid < 0) return false;
    std::atexit(stop_xvfb);
    if (wait_until([&] { return display_answers(display); }, PATIENCE_MS, 50)) {
        setenv("DISPLAY", display.c_str(), 1);
        return true;
    }
    stop_xvfb();
    return false;
}

} // namespace

std::string shell_quoted(const std::string& word) {
    std::string q = "'";
    for (char c : word)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string shell_output(const std::string& command, int* status) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p) {
        if (status) *status = -1;
        return out;
    }
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        out.append(buf, n);
    const int s = pclose(p);
    if (status) *status = WIFEXITED(s) ? WEXITSTATUS(s) : -1;
    return out;
}

bool have_command(const std::string& name) {
    int status = -1;
    shell_output("command -v " + shell_quoted(name) + " >/dev/null 2>&1", &status);
    return status == 0;
}

bool x_display_ready() {
    static int ready = -1;
    if (ready < 0) {
        const char* d = std::getenv("DISPLAY");
        ready = (d && display_answers(d)) || start_xvfb();
    }
    return ready == 1;
}
