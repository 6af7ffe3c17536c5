// A private JACK server for the tests and a MIDI keyboard that plays scripted messages into it.
#pragma once
#include <jack/jack.h>
#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

// jackd with the dummy back end under a name of its own; stopped by the destructor.
class JACK_SERVER {
  public:
    ~JACK_SERVER();
    // False when jackd is not installed or does not come up within 10 s.
    bool start(int rate = 44100, int period = 256);
    // Ends the server under its clients. A terminated server gives up its slot in JACK's
    // registry of servers; a killed one would keep it for good, and the registry holds eight.
    void stop_now();
    const std::string& name() const { return name_; }
    // "JACK_DEFAULT_SERVER=name", for the program's environment.
    std::string env() const { return "JACK_DEFAULT_SERVER=" + name_; }

  private:
    std::string name_;
    pid_t pid_ = -1;
};

// True when a jackd binary can be run.
bool jackd_installed();

// A JACK client with one MIDI output port "keys" that sends each message at its frame, counted
// from the first period after go(), and an audio input port "listen" that keeps what it hears.
class MIDI_KEYS {
  public:
    struct MESSAGE {
        uint32_t frame;
        std::vector<uint8_t> bytes;
    };
    ~MIDI_KEYS();
    bool open(const std::string& server);
    std::string port() const; // full name, for --midi-connect
    // Connects a port of another client to "listen" (and so starts keeping what comes in).
    bool listen_to(const std::string& source);
    // True when the named port of another client has any connection.
    bool connected(const std::string& port) const;
    // What "listen" heard so far, at the server's rate.
    std::vector<double> heard() const;
    // Plays the script (sorted by frame) from the next period on.
    void go(std::vector<MESSAGE> script);
    // True once every message of the script went out.
    bool done() const { return next_.load() >= script_.size(); }
    // Periods the server reported late or missed since open(): a loaded machine drops whole
    // periods, and with them the frame distances a script was written with.
    int xruns() const { return xruns_.load(); }

  private:
    static int process(jack_nframes_t nframes, void* self);
    static int xrun(void* self);
    jack_client_t* client_ = nullptr;
    jack_port_t* port_ = nullptr;
    jack_port_t* listen_ = nullptr;
    std::vector<float> heard_ = std::vector<float>(48000 * 20);
    std::atomic<size_t> heard_count_{0};
    std::atomic<bool> listening_{false};
    std::vector<MESSAGE> script_;
    std::atomic<bool> playing_{false};
    std::atomic<size_t> next_{0};
    std::atomic<int> xruns_{0};
    std::atomic<unsigned> periods_{0}; // callbacks finished, so go() knows none still reads the script
    bool based_ = false;
    jack_nframes_t base_ = 0;
};

// The bytes of MIDI messages on channel 1: a note on at velocity 100, its note off, a controller.
std::vector<uint8_t> on(int note);
std::vector<uint8_t> off(int note);
std::vector<uint8_t> cc(int number, int value);
