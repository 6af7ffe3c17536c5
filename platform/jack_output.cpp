// The JACK client "tessaro": its MIDI input port whenever a server runs, and its two audio
// output ports when JACK is the chosen output.
#include "platform/jack_output.h"

#include <jack/jack.h>
#include <jack/midiport.h>
#include <samplerate.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "engine/load_meter.h"
#include "engine/midi_input.h"
#include "platform/fsound_stream.h"
#include "platform/wave_file.h"

namespace {

constexpr int ENGINE_RATE = 44100;
constexpr int CHUNK = 256;                // engine frames rendered at a time
constexpr uint32_t RECORD_FRAMES = 1u << 18; // about 6 s of sound waiting for the writer

struct JACK_LINK {
    JACK_OPTIONS options;
    bool probed = false;
    bool active = false;
    jack_client_t* client = nullptr;
    jack_port_t* midi_in = nullptr;
    jack_port_t* out[2] = {nullptr, nullptr};
    std::atomic<FSOUND_STREAM*> stream{nullptr};
    std::atomic<int> busy{0};
    std::atomic<bool> gone{false};
    int sample_rate = 0; // the server's, read once the client is open

    // At another server rate: the converter and the buffers it reads and fills.
    SRC_STATE* converter = nullptr;
    double ratio = 1.0;
    float converted[2 * CHUNK];
    float engine_float[2 * CHUNK];
    int16_t engine_frames[2 * CHUNK];
    FSOUND_STREAM* feeding = nullptr;

    // What plays, for the WAVE recorder's thread.
    bool recording = false;
    int16_t record_ring[2 * RECORD_FRAMES];
    std::atomic<uint32_t> record_head{0}, record_tail{0};
};

JACK_LINK link;

void quiet(const char*) {}

void close_at_exit() {
    if (link.client) jack_client_close(link.client);
    link.client = nullptr;
}

void server_gone(void*) {
    link.gone.store(true);
    std::printf("The JACK server has gone away: no more sound or MIDI (ESC quits)\n");
    std::fflush(stdout);
}

void record(const int16_t* samples, int frames) {
    if (!link.recording) return;
    uint32_t head = link.record_head.load(std::memory_order_relaxed);
    const uint32_t tail = link.record_tail.load(std::memory_order_acquire);
    if (RECORD_FRAMES - (head - tail) < static_cast<uint32_t>(frames)) return; // writer too slow: drop
    for (int i = 0; i < frames; ++i, ++head) {
        const uint32_t at = head & (RECORD_FRAMES - 1);
        link.record_ring[2 * at] = samples[2 * i];
        link.record_ring[2 * at + 1] = samples[2 * i + 1];
    }
    link.record_head.store(head, std::memory_order_release);
}

// frames engine frames of the stream into link.engine_frames (silence once it has ended).
void pull(FSOUND_STREAM* s, int frames) {
    std::memset(link.engine_frames, 0, sizeof link.engine_frames);
    if (!s->ended && s->callback(s, link.engine_frames, frames * 4, s->user) == 0) s->ended = true;
    record(link.engine_frames, frames);
}

// Renders frames (at most CHUNK) straight into the ports from offset at: the 44100 Hz path.
void render_direct(FSOUND_STREAM* s, float* left, float* right, int at, int frames) {
    pull(s, frames);
    for (int i = 0; i < frames; ++i) {
        left[at + i] = link.engine_frames[2 * i] / 32768.0f;
        right[at + i] = link.engine_frames[2 * i + 1] / 32768.0f;
    }
}

// The converter's source: the next chunk of engine frames as interleaved floats.
long feed_converter(void*, float** data) {
    pull(link.feeding, CHUNK);
    for (int i = 0; i < 2 * CHUNK; ++i) link.engine_float[i] = link.engine_frames[i] / 32768.0f;
    *data = link.engine_float;
    return CHUNK;
}

int render_period(jack_nframes_t nframes);

// Measures each period for the load meter around the work it does.
int process(jack_nframes_t nframes, void*) {
    const int64_t start = load_clock_ns();
    const int result = render_period(nframes);
    if (link.stream.load() && link.sample_rate > 0)
        load_period(load_clock_ns() - start, static_cast<int64_t>(nframes) * 1000000000 / link.sample_rate);
    return result;
}

// The server lost or delayed a period; counted while its ports play the program.
int xrun(void*) {
    if (link.stream.load()) load_late_period();
    return 0;
}

int render_period(jack_nframes_t nframes) {
    link.busy.store(1);
    const int n = static_cast<int>(nframes);
    void* midi = link.midi_in ? jack_port_get_buffer(link.midi_in, nframes) : nullptr;
    const uint32_t events = midi ? jack_midi_get_event_count(midi) : 0;
    FSOUND_STREAM* s = link.stream.load();
    jack_midi_event_t ev;
    if (!s || !link.out[0] || !link.out[1]) {
        // MIDI only: another output renders and plays the queue at its next block.
        for (uint32_t i = 0; i < events; ++i)
            if (jack_midi_event_get(&ev, midi, i) == 0) midi_queue.push(ev.buffer, ev.size);
        link.busy.store(0);
        return 0;
    }
    float* left = static_cast<float*>(jack_port_get_buffer(link.out[0], nframes));
    float* right = static_cast<float*>(jack_port_get_buffer(link.out[1], nframes));
    int pos = 0;
    if (!link.converter) {
        // The period is rendered in pieces split at each event's frame, and the event is
        // queued just before the piece that starts at its frame, so it sounds on time.
        for (uint32_t i = 0; i < events; ++i) {
            if (jack_midi_event_get(&ev, midi, i) != 0) continue;
            const int at = ev.time < nframes ? static_cast<int>(ev.time) : n;
            while (pos < at) {
                const int k = at - pos < CHUNK ? at - pos : CHUNK;
                render_direct(s, left, right, pos, k);
                pos += k;
            }
            midi_queue.push(ev.buffer, ev.size);
        }
        while (pos < n) {
            const int k = n - pos < CHUNK ? n - pos : CHUNK;
            render_direct(s, left, right, pos, k);
            pos += k;
        }
    } else {
        // Converted periods take their events at the first engine chunk they pull.
        for (uint32_t i = 0; i < events; ++i)
            if (jack_midi_event_get(&ev, midi, i) == 0) midi_queue.push(ev.buffer, ev.size);
        link.feeding = s;
        while (pos < n) {
            const int k = n - pos < CHUNK ? n - pos : CHUNK;
            const long got = src_callback_read(link.converter, link.ratio, k, link.converted);
            if (got <= 0) break;
            for (long i = 0; i < got; ++i) {
                left[pos + i] = link.converted[2 * i];
                right[pos + i] = link.converted[2 * i + 1];
            }
            pos += static_cast<int>(got);
        }
        for (; pos < n; ++pos) left[pos] = right[pos] = 0.0f;
    }
    link.busy.store(0);
    return 0;
}

bool activate() {
    if (!jack_available()) return false;
    if (link.active) return true;
    if (jack_activate(link.client) != 0) return false;
    link.active = true;
    return true;
}

// The recorder's thread: moves what the callback left in the ring into the file.
std::thread record_thread;
std::atomic<bool> record_stop{false};
WAVE_WRITER recorder;

void drain_record_ring() {
    uint32_t tail = link.record_tail.load(std::memory_order_relaxed);
    const uint32_t head = link.record_head.load(std::memory_order_acquire);
    while (tail != head) {
        const uint32_t at = tail & (RECORD_FRAMES - 1);
        uint32_t run = head - tail;
        if (run > RECORD_FRAMES - at) run = RECORD_FRAMES - at;
        recorder.write_frames(&link.record_ring[2 * at], static_cast<int>(run));
        tail += run;
    }
    link.record_tail.store(tail, std::memory_order_release);
    recorder.update_header();
}

} // namespace

void set_jack_options(const JACK_OPTIONS& options) {
    link.options = options;
}

bool jack_available() {
    if (!link.probed) {
        link.probed = true;
        jack_set_error_function(quiet);
        jack_set_info_function(quiet);
        jack_status_t status;
        link.client = jack_client_open("tessaro", JackNoStartServer, &status);
        if (link.client) {
            link.sample_rate = static_cast<int>(jack_get_sample_rate(link.client));
            jack_set_process_callback(link.client, process, nullptr);
            jack_set_xrun_callback(link.client, xrun, nullptr);
            jack_on_shutdown(link.client, server_gone, nullptr);
            std::atexit(close_at_exit);
        }
    }
    return link.client != nullptr && !link.gone.load();
}

int jack_period() {
    return jack_available() ? static_cast<int>(jack_get_buffer_size(link.client)) : 0;
}

int jack_rate() {
    return jack_available() ? static_cast<int>(jack_get_sample_rate(link.client)) : 0;
}

bool start_jack_midi() {
    if (!jack_available()) return false;
    if (!link.midi_in) {
        link.midi_in = jack_port_register(link.client, "midi_in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
        if (!link.midi_in) return false;
    }
    if (!activate()) return false;
    const std::string& source = link.options.midi_source;
    if (!source.empty() && jack_connect(link.client, source.c_str(), jack_port_name(link.midi_in)) != 0) {
        std::printf("Cannot connect MIDI source [%s] to %s\n", source.c_str(), jack_port_name(link.midi_in));
        std::fflush(stdout);
    }
    return true;
}

bool jack_server_gone() {
    return link.gone.load();
}

JACK_OUTPUT::JACK_OUTPUT(std::string record_path) : record_path_(std::move(record_path)) {}

JACK_OUTPUT::~JACK_OUTPUT() {
    stop();
}

bool JACK_OUTPUT::open() {
    if (!jack_available()) return false;
    const char* names[2] = {"out_1", "out_2"};
    for (int i = 0; i < 2; ++i) {
        if (!link.out[i])
            link.out[i] = jack_port_register(link.client, names[i], JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
        if (!link.out[i]) return false;
    }
    const int rate = jack_rate();
    if (rate != ENGINE_RATE && !link.converter) {
        int error = 0;
        link.converter = src_callback_new(feed_converter, SRC_SINC_FASTEST, 2, &error, nullptr);
        if (!link.converter) return false;
        link.ratio = static_cast<double>(rate) / ENGINE_RATE;
        std::printf("JACK runs at %d Hz: converting tessaro's %d Hz to it\n", rate, ENGINE_RATE);
        std::fflush(stdout);
    }
    if (!record_path_.empty() && !recorder.is_open() && !recorder.open(record_path_.c_str())) return false;
    link.recording = recorder.is_open();
    return true;
}

bool JACK_OUTPUT::start(FSOUND_STREAM* stream) {
    if (!link.out[0] || !activate()) return false;
    if (link.recording && !record_thread.joinable()) {
        record_stop.store(false);
        record_thread = std::thread([] {
            while (!record_stop.load()) {
                drain_record_ring();
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        });
    }
    link.stream.store(stream);
    if (link.options.connect_playback) {
        const char** playback =
            jack_get_ports(link.client, nullptr, JACK_DEFAULT_AUDIO_TYPE, JackPortIsPhysical | JackPortIsInput);
        for (int i = 0; playback && i < 2 && playback[i]; ++i)
            jack_connect(link.client, jack_port_name(link.out[i]), playback[i]);
        if (playback) jack_free(playback);
    }
    return true;
}

void JACK_OUTPUT::stop() {
    link.stream.store(nullptr);
    // The callback raises busy before it reads the stream, so once busy is seen low after the
    // stream was cleared, no callback uses it; a dead server runs no callback at all.
    while (link.busy.load() != 0 && !link.gone.load())
        std::this_thread::yield();
    if (record_thread.joinable()) {
        record_stop.store(true);
        record_thread.join();
        drain_record_ring();
    }
    if (recorder.is_open()) recorder.close();
    link.recording = false;
}
