// Runs the real tessaro binary with console input from a pipe and collects what it prints.
#include "program_runner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

PROGRAM_RUN run_program(const std::vector<std::string>& args, const std::string& input,
                        const std::vector<std::string>& env, int hold_ms, int timeout_ms,
                        const std::string& cwd) {
    PROGRAM_RUN run;
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) return run;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(in[0], STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        dup2(out[1], STDERR_FILENO);
        close(in[0]);
        close(in[1]);
        close(out[0]);
        close(out[1]);
        for (const std::string& e : env)
            putenv(const_cast<char*>(e.c_str()));
        if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(126);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(TESSARO_BINARY));
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(TESSARO_BINARY, argv.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    signal(SIGPIPE, SIG_IGN);
    // A program that has already quit leaves the rest unread; that is not an error here.
    const ssize_t sent = write(in[1], input.data(), input.size());
    (void)sent;

    using clock = std::chrono::steady_clock;
    const auto start = clock::now();
    const auto close_at = start + std::chrono::milliseconds(hold_ms);
    const auto kill_at = start + std::chrono::milliseconds(timeout_ms);
    bool input_open = true;
    char buf[4096];
    for (;;) {
        const auto now = clock::now();
        if (input_open && now >= close_at) {
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
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string scratch_folder(const char* tag) {
    std::string dir = testing::TempDir() + "tessaro_" + tag + "_" + std::to_string(getpid());
    mkdir(dir.c_str(), 0755);
    return dir;
}

void remove_folder(const std::string& dir) {
    for (const std::string& name : folder_names(dir))
        unlink((dir + "/" + name).c_str());
    rmdir(dir.c_str());
}

void write_text(const std::string& path, const std::string& text) {
    std::ofstream(path) << text;
}

std::vector<std::string> folder_names(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (struct dirent* e = readdir(d)) {
            const std::string n = e->d_name;
            if (n != "." && n != "..") names.push_back(n);
        }
        closedir(d);
    }
    return names;
}
