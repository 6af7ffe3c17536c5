// Console services: single-key reads without echo, word input, clearing and folder listings.
#include "platform/console.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

// The terminal settings found before the first raw read, restored by every exit path.
struct termios saved_mode;
std::atomic<bool> have_saved_mode{false};
std::atomic<bool> raw_now{false};
bool handlers_installed = false;

void restore_terminal() {
    if (raw_now.load() && have_saved_mode.load()) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_mode);
        raw_now = false;
    }
}

// Only async-signal-safe calls: put the terminal back, then die of the same signal.
void restore_and_reraise(int sig) {
    if (raw_now.load() && have_saved_mode.load()) tcsetattr(STDIN_FILENO, TCSANOW, &saved_mode);
    signal(sig, SIG_DFL);
    raise(sig);
}

void install_handlers() {
    if (handlers_installed) return;
    handlers_installed = true;
    std::atexit(restore_terminal);
    const int signals[] = {SIGINT, SIGTERM, SIGHUP};
    for (int sig : signals) {
        struct sigaction action = {};
        action.sa_handler = restore_and_reraise;
        sigemptyset(&action.sa_mask);
        sigaction(sig, &action, nullptr);
    }
}

// Switches a terminal to unechoed, unbuffered input. Output processing and the signal keys
// stay on, so line breaks still print and Ctrl-C still stops the program.
void enter_raw_mode() {
    if (raw_now.load() || !isatty(STDIN_FILENO)) return;
    if (!have_saved_mode.load()) {
        if (tcgetattr(STDIN_FILENO, &saved_mode) != 0) return;
        have_saved_mode = true;
    }
    install_handlers();
    struct termios raw = saved_mode;
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    // Marked raw before the switch: a signal landing just after it must still put the terminal
    // back, and one landing just before only restores what is already there.
    raw_now = true;
    if (tcsetattr(STDIN_FILENO, TCSANOW, &raw) != 0) raw_now = false;
}

// One byte from standard input: the byte, or -1 at the end of input or on an error.
int read_byte() {
    unsigned char c;
    for (;;) {
        ssize_t n = read(STDIN_FILENO, &c, 1);
        if (n == 1) return c;
        if (n < 0 && errno == EINTR) continue;
        return -1;
    }
}

bool is_blank(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

void console_restore() {
    restore_terminal();
}

int console_getch() {
    std::fflush(stdout);
    enter_raw_mode();
    int c = read_byte();
    return c < 0 ? CONSOLE_ESC : c;
}

int console_key_ready() {
    enter_raw_mode();
    struct pollfd p = {STDIN_FILENO, POLLIN, 0};
    int n;
    do {
        n = poll(&p, 1, 0);
    } while (n < 0 && errno == EINTR);
    // A hang-up or error counts as ready: the read then reports the end of input.
    return n > 0 ? 1 : n < 0 ? 1 : 0;
}

int console_read_word(char* buf, int size) {
    if (!buf || size <= 0) return 0;
    buf[0] = '\0';
    std::fflush(stdout);
    // Typing a name wants the usual echo and line editing.
    restore_terminal();
    int c;
    do {
        c = read_byte();
    } while (c >= 0 && is_blank(c));
    if (c < 0) return 0;
    int len = 0;
    while (c >= 0 && !is_blank(c)) {
        if (len < size - 1) buf[len++] = static_cast<char>(c);
        c = read_byte();
    }
    buf[len] = '\0';
    return 1;
}

void console_clear() {
    if (!isatty(STDOUT_FILENO)) return;
    std::fputs("\033[2J\033[H", stdout);
    std::fflush(stdout);
}

std::vector<std::string> folder_entries(const char* dir) {
    std::vector<std::string> names;
    DIR* d = dir ? opendir(dir) : nullptr;
    if (!d) return names;
    while (struct dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        std::string full = std::string(dir) + "/" + name;
        struct stat st;
        if (stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) name = "[" + name + "]";
        names.push_back(name);
    }
    closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

std::string format_columns(const std::vector<std::string>& names, int width) {
    if (names.empty()) return "";
    size_t longest = 0;
    for (const std::string& n : names)
        longest = std::max(longest, n.size());
    const size_t column = longest + 2;
    size_t per_row = width > 0 ? static_cast<size_t>(width) / column : 1;
    if (per_row == 0) per_row = 1;
    std::string out;
    for (size_t i = 0; i < names.size(); ++i) {
        const bool row_end = (i + 1) % per_row == 0 || i + 1 == names.size();
        out += names[i];
        if (row_end)
            out += '\n';
        else
            out.append(column - names[i].size(), ' ');
    }
    return out;
}

void console_list_folder(const char* dir) {
    std::vector<std::string> names = folder_entries(dir);
    std::printf("\n Folder of %s\n\n", dir ? dir : "");
    std::fputs(format_columns(names, 80).c_str(), stdout);
    std::printf("\n%8d File(s)\n", static_cast<int>(names.size()));
    std::fflush(stdout);
}
