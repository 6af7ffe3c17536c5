// Frames from a MIDI note-on to its first sound, and the DSP load of the W3 workload, measured on
// the real program through a private JACK server (jackd -d dummy). Prints figures; asserts none.
//
//   tessaro_midi_bench [TESSARO] [SOURCE_DIR]
//
// A sender client writes each note-on at the first frame of a period and a listener client,
// after the program in JACK's graph, stamps the first frame of out_1 that is not silent; their
// difference is the latency inside the server, in frames (44100 Hz).
#include <fcntl.h>
#include <jack/jack.h>
#include <jack/midiport.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

// One voice whose square wave sounds from the gate's first frame (no attack).
const char* const VOICE = "BEGIN_OBJECTS_DECLARE\nKEY_1;;\nVCO_1;TYPE=2;FREQ=44;AMOUNT=1;\n"
                          "VCA_1;ATTACK=0;DECAY=1;SUSTAIN=1;RELEASE=0;\nMIXER_4;;\nEND_OBJECTS_DECLARE\n"
                          "BEGIN_LINKS_DECLARE\nVCO_1;IN=KEY_1;SYNC=KEY_1;\nVCA_1;IN=VCO_1;GATE=KEY_1;\n"
                          "MIXER_4;ADD_CHANELL=VCA_1;\nEND_LINKS_DECLARE\n";

void quiet(const char*) {}

void sleep_ms(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

pid_t spawn(const std::vector<std::string>& args, const std::string& env, int stdin_fd, const std::string& out) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (!env.empty()) putenv(const_cast<char*>(env.c_str()));
        const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(o, 1);
        dup2(o, 2);
        if (stdin_fd >= 0) dup2(stdin_fd, 0);
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

void end(pid_t pid) {
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

struct RIG {
    jack_client_t* keys = nullptr;
    jack_client_t* ears = nullptr;
    jack_port_t* out = nullptr;
    jack_port_t* in = nullptr;
    std::atomic<int> send{0}; // 1 note-on, 2 note-off, taken by the next period
    std::atomic<long long> sent_at{-1}, heard_at{-1};
    std::atomic<bool> listening{false};

    static int keys_process(jack_nframes_t n, void* self) {
        RIG& r = *static_cast<RIG*>(self);
        void* buffer = jack_port_get_buffer(r.out, n);
        jack_midi_clear_buffer(buffer);
        const int what = r.send.exchange(0);
        if (what == 0) return 0;
        const uint8_t on[3] = {0x90, 69, 100}, off[3] = {0x80, 69, 0};
        jack_midi_event_write(buffer, 0, what == 1 ? on : off, 3);
        if (what == 1) r.sent_at.store(jack_last_frame_time(r.keys));
        return 0;
    }
    static int ears_process(jack_nframes_t n, void* self) {
        RIG& r = *static_cast<RIG*>(self);
        const float* x = static_cast<const float*>(jack_port_get_buffer(r.in, n));
        if (!r.listening.load() || r.heard_at.load() >= 0) return 0;
        for (jack_nframes_t i = 0; i < n; ++i)
            if (std::fabs(x[i]) > 1e-3f) {
                r.heard_at.store(static_cast<long long>(jack_last_frame_time(r.ears)) + i);
                break;
            }
        return 0;
    }
};

jack_client_t* client(const std::string& server, const char* name) {
    jack_status_t status;
    return jack_client_open(name, static_cast<jack_options_t>(JackNoStartServer | JackServerName), &status,
                            server.c_str());
}

bool wait_for(const std::function<bool()>& ready, int seconds = 20) {
    for (int i = 0; i < seconds * 50; ++i) {
        if (ready()) return true;
        sleep_ms(20);
    }
    return false;
}

struct SERVER {
    std::string name;
    pid_t pid = -1;
    bool start(int period) {
        name = "tessaro-bench-" + std::to_string(getpid()) + "-" + std::to_string(period);
        pid = spawn({"/usr/bin/jackd", "-n", name, "-d", "dummy", "-r", "44100", "-p", std::to_string(period)}, "",
                    -1, "/dev/null");
        return wait_for([&] {
            jack_client_t* c = client(name, "bench-probe");
            if (c) jack_client_close(c);
            return c != nullptr;
        });
    }
    ~SERVER() {
        if (pid > 0) end(pid);
    }
};

// The program headless on a patch through JACK; closing its console is ESC.
struct TESSARO {
    pid_t pid = -1;
    int console = -1;
    std::string log;
    bool start(const std::string& exe, const SERVER& s, const std::string& patch, const std::string& midi,
               const std::string& cwd) {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) return false;
        log = "/tmp/tessaro-bench-" + std::to_string(getpid()) + ".log";
        unlink(log.c_str()); // a previous run's "Playing [" must not count
        std::vector<std::string> args = {exe, "--headless", "--audio", "jack", "--jack-connect", "none",
                                         "--remote", "off"};
        if (!midi.empty()) args.insert(args.end(), {"--midi-connect", midi});
        args.push_back(patch);
        const std::string here = get_current_dir_name();
        if (chdir(cwd.c_str()) != 0) return false;
        pid = spawn(args, "JACK_DEFAULT_SERVER=" + s.name, fds[0], log);
        if (chdir(here.c_str()) != 0) return false;
        close(fds[0]);
        console = fds[1];
        return true;
    }
    std::string output() const {
        std::ifstream in(log);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::string finish() {
        close(console);
        waitpid(pid, nullptr, 0);
        return output();
    }
};

void latency(const std::string& exe, int period) {
    SERVER server;
    if (!server.start(period)) {
        std::printf("period %4d: jackd -d dummy did not start\n", period);
        return;
    }
    const std::string patch = "/tmp/tessaro-bench-voice-" + std::to_string(getpid()) + ".KVX";
    std::ofstream(patch) << VOICE;
    RIG rig;
    rig.keys = client(server.name, "bench-keys");
    rig.ears = client(server.name, "bench-ears");
    rig.out = jack_port_register(rig.keys, "keys", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    rig.in = jack_port_register(rig.ears, "in", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    jack_set_process_callback(rig.keys, RIG::keys_process, &rig);
    jack_set_process_callback(rig.ears, RIG::ears_process, &rig);
    jack_activate(rig.keys);
    jack_activate(rig.ears);
    TESSARO t;
    t.start(exe, server, patch, "bench-keys:keys", ".");
    const bool up = wait_for([&] { return t.output().find("Playing [") != std::string::npos; });
    if (!up || jack_connect(rig.ears, "tessaro:out_1", "bench-ears:in") != 0) {
        std::printf("period %4d: the program did not come up\n%s", period, t.finish().c_str());
        return;
    }
    std::vector<long long> frames;
    for (int note = 0; note < 20; ++note) {
        rig.heard_at.store(-1);
        rig.sent_at.store(-1);
        rig.listening.store(true);
        rig.send.store(1);
        if (!wait_for([&] { return rig.heard_at.load() >= 0 && rig.sent_at.load() >= 0; }, 5)) break;
        frames.push_back(rig.heard_at.load() - rig.sent_at.load());
        rig.listening.store(false);
        rig.send.store(2);
        sleep_ms(60);
    }
    t.finish();
    jack_client_close(rig.keys);
    jack_client_close(rig.ears);
    unlink(patch.c_str());
    if (frames.empty()) {
        std::printf("period %4d: no note was heard\n", period);
        return;
    }
    std::sort(frames.begin(), frames.end());
    std::printf("period %4d frames: note-on to first sound min %lld, median %lld, max %lld frames (%zu notes)\n",
                period, frames.front(), frames[frames.size() / 2], frames.back(), frames.size());
    std::fflush(stdout);
}

void load(const std::string& exe, const std::string& source) {
    SERVER server;
    if (!server.start(256)) return;
    TESSARO t;
    t.start(exe, server, "KVX/BENCH_W3.KVX", "", source);
    wait_for([&] { return t.output().find("Playing [") != std::string::npos; });
    sleep_ms(10000);
    const std::string out = t.finish();
    const size_t at = out.find("Load: ");
    std::printf("BENCH_W3 at 256 frames, 10 s: %s", at == std::string::npos ? "no load line\n" : out.substr(at).c_str());
}

} // namespace

int main(int argc, char** argv) {
    jack_set_error_function(quiet);
    jack_set_info_function(quiet);
    const std::string exe = argc > 1 ? argv[1] : "./build/tessaro";
    const std::string source = argc > 2 ? argv[2] : ".";
    char path[4096];
    const std::string full = realpath(exe.c_str(), path) ? path : exe;
    for (int period : {64, 256, 1024}) latency(full, period);
    load(full, source);
    return 0;
}
