// Benchmarks of the engine's real-time rendering: one oscillator, one voice, 64 voices.
#include <benchmark/benchmark.h>

#include <ctime>
#include <vector>

#include "engine/modules.h"

namespace {

// The modules of a graph, for the per-module cost.
size_t module_count(const GENERATOR& g) {
    return g.sequencers.size() + g.keyboards.size() + g.vcos.size() + g.mixers.size() + g.samplers.size() +
           g.vcas.size() + g.filters.size() + g.effects.size();
}

MIXER* add_mixer(GENERATOR& g, const char* name) {
    auto* m = new MIXER;
    copy_name(m->name, sizeof m->name, name);
    GENERATOR::push_front(g.mixers, m);
    return m;
}

// The master path as the program builds it: "MIXER_4" into the delay stage, which is heard.
void finish_master(GENERATOR& g, MIXER* master) {
    auto* delay = new SFX_DELAY;
    delay->input = &master->value;
    GENERATOR::push_front(g.effects, delay);
    point_master_out(&delay->value);
}

// A four-bar line of notes over two octaves, eight steps a second.
SEQUENCER* add_sequencer(GENERATOR& g) {
    auto* seq = new SEQUENCER;
    copy_name(seq->name, sizeof seq->name, "SEQ_1");
    seq->DIVIDER = seq->next_divider = 8.0f;
    seq->NBR_STEP = 16;
    const int notes[16] = {0, 3, 7, 10, 0, 5, 8, 0, 2, 7, 11, 2, 4, 9, 0, 4};
    for (int s = 0; s < 16; ++s) {
        seq->step_note[0][s] = notes[s];
        seq->step_octave[0][s] = 3 + s % 2;
        seq->step_length[0][s] = 0.6f;
    }
    GENERATOR::push_front(g.sequencers, seq);
    return seq;
}

// SAW oscillator -> low-pass filter -> envelope, note and gate from the sequencer.
VCA* add_voice(GENERATOR& g, SEQUENCER* seq, int i) {
    auto* osc = new VCO;
    osc->TYPE = WAVE_SAW;
    osc->FREQ = 44.0f * (1.0f + 0.0007f * i);
    osc->input = &seq->value;
    osc->gate_in = &seq->gate;
    GENERATOR::push_front(g.vcos, osc);

    auto* filter = new PCF;
    filter->TYPE = 1;
    filter->BYPASS = 0;
    filter->HICUT = 800 + 25 * i;
    filter->Q = 2.0f;
    filter->GAIN = 0.0f;
    filter->AMOUNT = 0.0f;
    filter->input = &osc->value;
    GENERATOR::push_front(g.filters, filter);

    auto* amp = new VCA;
    amp->ATTACK = 5.0f;
    amp->DECAY = 100.0f;
    amp->SUSTAIN = 0.5f;
    amp->RELEASE = 150.0f;
    amp->gate_in = &seq->gate;
    amp->input = &filter->value;
    GENERATOR::push_front(g.vcas, amp);
    return amp;
}

void build_one_oscillator(GENERATOR& g) {
    auto* osc = new VCO;
    osc->TYPE = WAVE_SIN;
    osc->FREQ = 440.0f;
    GENERATOR::push_front(g.vcos, osc);
    MIXER* master = add_mixer(g, "MIXER_4");
    master->add_channel(&osc->value);
    finish_master(g, master);
}

// Voices share one sequencer; a mixer holds 24 channels, so sub-mixers feed the master.
void build_voices(GENERATOR& g, int voices) {
    SEQUENCER* seq = add_sequencer(g);
    MIXER* master = add_mixer(g, "MIXER_4");
    MIXER* sub = nullptr;
    for (int i = 0; i < voices; ++i) {
        VCA* out = add_voice(g, seq, i);
        if (voices == 1) {
            master->add_channel(&out->value);
            continue;
        }
        if (sub == nullptr || sub->input_count == MIXER_SLOTS) {
            sub = add_mixer(g, "SUB_MIXER");
            master->add_channel(&sub->value);
        }
        sub->add_channel(&out->value);
    }
    finish_master(g, master);
}

double thread_cpu_seconds() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec * 1e-9;
}

template <class Build> void render(benchmark::State& state, Build build) {
    fill_note_table();
    GENERATOR g;
    build(g);
    generator = &g;
    audio_resume();
    std::vector<int16_t> buffer(BLOCK_FRAMES * 2);
    // One second first, so that the sequencer is past its first step and every voice sounds.
    for (int i = 0; i < SAMPLE_RATE / BLOCK_FRAMES + 1; ++i)
        render_block(nullptr, buffer.data(), BLOCK_BYTES, nullptr);
    int64_t frames = 0;
    long checksum = 0;
    const double cpu_start = thread_cpu_seconds();
    for (auto _ : state) {
        render_block(nullptr, buffer.data(), BLOCK_BYTES, nullptr);
        frames += BLOCK_FRAMES;
        checksum += buffer[0];
        benchmark::DoNotOptimize(buffer.data());
    }
    const double cpu = thread_cpu_seconds() - cpu_start;
    audio_pause();
    generator = nullptr;
    point_master_out(nullptr);

    const double modules = static_cast<double>(module_count(g));
    state.counters["modules"] = modules;
    state.counters["rt_factor"] = frames / static_cast<double>(SAMPLE_RATE) / cpu;
    state.counters["ns_per_module_sample"] = cpu * 1e9 / (frames * modules);
    benchmark::DoNotOptimize(checksum);
}

void W1_one_sine(benchmark::State& state) {
    render(state, build_one_oscillator);
}
void W2_one_voice(benchmark::State& state) {
    render(state, [](GENERATOR& g) { build_voices(g, 1); });
}
void W3_64_voices(benchmark::State& state) {
    render(state, [](GENERATOR& g) { build_voices(g, 64); });
}

} // namespace

BENCHMARK(W1_one_sine)->Unit(benchmark::kMillisecond);
BENCHMARK(W2_one_voice)->Unit(benchmark::kMillisecond);
BENCHMARK(W3_64_voices)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
