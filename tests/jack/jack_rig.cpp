// A private JACK server for the tests and a MIDI keyboard that plays scripted messages into it.
#include "jack_rig.h"

#include <jack/midiport.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "tests/support/wait.h"

namespace {
void quiet(const char*) {}

// A client of the named server, or null when it does not answer.
jack_client_t* open_client(const std::string& server, const char* name) {
    jack_set_error_function(quiet);
    jack_set_info_function(quiet);
    jack_status_t status;
    return jack_client_open(name, static_cast<jack_options_t>(JackNoStartServer | JackServerName), &status,
                            server.c_str());
}
} // namespace

bool jackd_installed() {
    return access("/usr/bin/jackd", X_OK) == 0;
}

JACK_SERVER::~JACK_SERVER() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
}

bool JACK_SERVER::start(int rate, int period) {
    if (!jackd_installed()) return false;
    name_ = "tessaro-test-" + std::to_string(getpid());
    const std::string r = std::to_string(rate), p = std::to_string(period);
    pid_ = fork();
    if (pid_ == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execl("/usr/bin/jackd", "jackd", "-n", name_.c_str(), "-d", "dummy", "-r", r.c_str(), "-p", p.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    for (int i = 0; i < 200; ++i) {
        if (jack_client_t* c = open_client(name_, "tessaro-probe")) {
            jack_client_close(c);
            return true;
        }
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

void JACK_SERVER::stop_now() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

MIDI_KEYS::~MIDI_KEYS() {
    if (client_) jack_client_close(client_);
}

bool MIDI_KEYS::open(const std::string& server) {
    client_ = open_client(server, "tessaro-test-keys");
    if (!client_) return false;
    port_ = jack_port_register(client_, "keys", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    listen_ = jack_port_register(client_, "listen", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    jack_set_process_callback(client_, process, this);
    jack_set_xrun_callback(client_, xrun, this);
    return port_ && listen_ && jack_activate(client_) == 0;
}

std::string MIDI_KEYS::port() const {
    return port_ ? jack_port_name(port_) : "";
}

bool MIDI_KEYS::listen_to(const std::string& source) {
    listening_.store(true);
    return jack_connect(client_, source.c_str(), jack_port_name(listen_)) == 0;
}

bool MIDI_KEYS::connected(const std::string& port) const {
    jack_port_t* p = jack_port_by_name(client_, port.c_str());
    return p && jack_port_connected(p) > 0;
}

std::vector<double> MIDI_KEYS::heard() const {
    const size_t n = heard_count_.load();
    return std::vector<double>(heard_.begin(), heard_.begin() + static_cast<long>(n));
}

void MIDI_KEYS::go(std::vector<MESSAGE> script) {
    // A script still playing is being read by the callback: stop it and let the callback under
    // way finish (the server gone, none is) before the script is replaced.
    if (playing_.exchange(false)) {
        const unsigned seen = periods_.load();
        wait_until([&] { return periods_.load() != seen; }, 2000, 1);
    }
    script_ = std::move(script);
    next_.store(0);
    based_ = false;
    playing_.store(true);
}

int MIDI_KEYS::xrun(void* self) {
    static_cast<MIDI_KEYS*>(self)->xruns_.fetch_add(1);
    return 0;
}

int MIDI_KEYS::process(jack_nframes_t nframes, void* self) {
    MIDI_KEYS& k = *static_cast<MIDI_KEYS*>(self);
    void* buffer = jack_port_get_buffer(k.port_, nframes);
    jack_midi_clear_buffer(buffer);
    if (k.listening_.load()) {
        const float* in = static_cast<const float*>(jack_port_get_buffer(k.listen_, nframes));
        size_t n = k.heard_count_.load();
        for (jack_nframes_t i = 0; i < nframes && n < k.heard_.size(); ++i) k.heard_[n++] = in[i];
        k.heard_count_.store(n);
    }
    if (!k.playing_.load()) {
        k.periods_.fetch_add(1);
        return 0;
    }
    const jack_nframes_t now = jack_last_frame_time(k.client_);
    if (!k.based_) {
        k.base_ = now;
        k.based_ = true;
    }
    size_t i = k.next_.load();
    for (; i < k.script_.size(); ++i) {
        const MESSAGE& m = k.script_[i];
        const jack_nframes_t at = k.base_ + m.frame;
        if (at >= now + nframes) break;
        const jack_nframes_t offset = at > now ? at - now : 0;
        jack_midi_event_write(buffer, offset, m.bytes.data(), m.bytes.size());
    }
    k.next_.store(i);
    k.periods_.fetch_add(1);
    return 0;
}

std::vector<uint8_t> on(int note) {
    return {0x90, static_cast<uint8_t>(note), 100};
}
std::vector<uint8_t> off(int note) {
    return {0x80, static_cast<uint8_t>(note), 0};
}
std::vector<uint8_t> cc(int number, int value) {
    return {0xB0, static_cast<uint8_t>(number), static_cast<uint8_t>(value)};
}
