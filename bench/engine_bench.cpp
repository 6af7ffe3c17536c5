// Benchmarks of the engine's real-time rendering (one oscillator, one voice, 8 to 512 voices) by
// the per-frame sweep and by the sub-block plan, and of the least a sweep in SIMD lanes would
// have to move for 64 voices.
#include <benchmark/benchmark.h>

#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "engine/block_plan.h"
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

// How render_frames runs the graph: frame by frame, or through the graph's sub-block plan.
enum class ENGINE { SWEEP, PLAN };

template <class Build> void render(benchmark::State& state, ENGINE engine, Build build) {
    fill_note_table();
    GENERATOR g;
    build(g);
    block_engine.store(engine == ENGINE::PLAN ? 1 : 0);
    g.replan();
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
    block_engine.store(1);

    const double modules = static_cast<double>(module_count(g));
    state.counters["modules"] = modules;
    state.counters["rt_factor"] = frames / static_cast<double>(SAMPLE_RATE) / cpu;
    state.counters["ns_per_module_sample"] = cpu * 1e9 / (frames * modules);
    // A voice is three modules (oscillator, filter, envelope); the sequencer and mixers are
    // counted in its share, so this is what one more voice costs once many are playing.
    if (!g.vcas.empty())
        state.counters["ns_per_voice_frame"] = cpu * 1e9 / (frames * static_cast<double>(g.vcas.size()));
    benchmark::DoNotOptimize(checksum);
}

void W1_one_sine(benchmark::State& state, ENGINE engine) {
    render(state, engine, build_one_oscillator);
}
void W2_one_voice(benchmark::State& state, ENGINE engine) {
    render(state, engine, [](GENERATOR& g) { build_voices(g, 1); });
}
void W3_64_voices(benchmark::State& state, ENGINE engine) {
    render(state, engine, [](GENERATOR& g) { build_voices(g, 64); });
}
// W3's voice in growing numbers, each count by both engines in turn so that a change in the
// host's speed touches both: how the time grows with the graph's size.
const bool voices_registered = [] {
    for (int n = 8; n <= 512; n *= 2)
        for (ENGINE engine : {ENGINE::SWEEP, ENGINE::PLAN}) {
            const std::string name =
                std::string("voices/") + (engine == ENGINE::PLAN ? "plan/" : "sweep/") + std::to_string(n);
            benchmark::RegisterBenchmark(name.c_str(), [n, engine](benchmark::State& state) {
                render(state, engine, [n](GENERATOR& g) { build_voices(g, n); });
            })->Unit(benchmark::kMillisecond);
        }
    return true;
}();

// The least a sweep batching voices in SIMD lanes must do each sample while the modules own
// their parameters: every parameter the three kernels of a voice read, and the four inputs
// through the modules' links, loaded into vectors of W lanes, and the three outputs stored
// back into the modules where other modules read them. No waveform, filter or envelope
// arithmetic is done; the vectors are only added up, so this is a floor, not a sweep.
template <int W> struct FLOAT_LANES { typedef float F __attribute__((vector_size(W * 4))); };
// A vector built in registers from one value per lane; a vector written lane by lane in memory
// and read back whole would wait on its narrow stores.
template <class F, class Get, size_t... j>
[[gnu::always_inline]] inline F build_lanes(Get get, std::index_sequence<j...>) {
    return F{get(j)...};
}
template <int W, class Get> [[gnu::always_inline]] inline typename FLOAT_LANES<W>::F lanes(Get get) {
    return build_lanes<typename FLOAT_LANES<W>::F>(get, std::make_index_sequence<W>());
}

// With PARAMS false only the links are read and the outputs stored: what remains when the sweep
// keeps the parameters in lane arrays of its own and loads them whole.
template <int W, bool PARAMS>
[[gnu::always_inline]] inline void field_floor_group(VCO* const* o, PCF* const* f, VCA* const* a) {
    typedef typename FLOAT_LANES<W>::F F;
    auto to_f = [](int32_t v) { return static_cast<float>(v); };
    F osc = lanes<W>([&](size_t j) { return *o[j]->input; });
    F filter = lanes<W>([&](size_t j) { return *f[j]->input; });
    F env = lanes<W>([&](size_t j) { return *a[j]->input; }) +
            lanes<W>([&](size_t j) { return to_f(*a[j]->gate_in); });
    if (PARAMS) {
        osc += lanes<W>([&](size_t j) { return o[j]->FREQ; }) *
                   lanes<W>([&](size_t j) { return o[j]->AMOUNT; }) +
               lanes<W>([&](size_t j) { return to_f(o[j]->TYPE); });
        filter +=
            lanes<W>([&](size_t j) { return to_f(f[j]->TYPE); }) +
            lanes<W>([&](size_t j) { return to_f(f[j]->HICUT); }) +
            lanes<W>([&](size_t j) { return f[j]->Q; }) + lanes<W>([&](size_t j) { return f[j]->GAIN; }) +
            lanes<W>([&](size_t j) { return to_f(f[j]->BYPASS); }) +
            lanes<W>([&](size_t j) { return f[j]->AMOUNT; }) + lanes<W>([&](size_t j) { return f[j]->mix; });
        env += lanes<W>([&](size_t j) { return a[j]->ATTACK; }) +
               lanes<W>([&](size_t j) { return a[j]->DECAY; }) +
               lanes<W>([&](size_t j) { return a[j]->SUSTAIN; }) +
               lanes<W>([&](size_t j) { return a[j]->RELEASE; }) +
               lanes<W>([&](size_t j) { return a[j]->peak; }) +
               lanes<W>([&](size_t j) { return to_f(a[j]->INVERT); }) +
               lanes<W>([&](size_t j) { return a[j]->value; });
    }
    for (int j = 0; j < W; ++j) {
        o[j]->value = osc[j];
        f[j]->value = filter[j];
        a[j]->value = env[j];
    }
}

template <int W, bool PARAMS> [[gnu::always_inline]] inline void field_floor_frame(const GENERATOR& g) {
    const int n = static_cast<int>(g.vcas.size());
    for (int i = 0; i + W <= n; i += W)
        field_floor_group<W, PARAMS>(&g.vcos[i], &g.filters[i], &g.vcas[i]);
}
template <bool PARAMS> void field_floor_sse2(const GENERATOR& g) {
    field_floor_frame<4, PARAMS>(g);
}
template <bool PARAMS> [[gnu::target("avx2")]] void field_floor_avx2(const GENERATOR& g) {
    field_floor_frame<8, PARAMS>(g);
}
template <bool PARAMS> [[gnu::target("avx512f")]] void field_floor_avx512(const GENERATOR& g) {
    field_floor_frame<16, PARAMS>(g);
}

// Nanoseconds per frame of the floor above for W3's 64 voices, and the real-time factor a sweep
// could not pass even if its arithmetic and its mixers, sequencer and delay cost nothing.
void W3_field_floor(benchmark::State& state, void (*frame)(const GENERATOR&)) {
    GENERATOR g;
    build_voices(g, 64);
    int64_t frames = 0;
    const double cpu_start = thread_cpu_seconds();
    for (auto _ : state) {
        for (int i = 0; i < BLOCK_FRAMES; ++i)
            frame(g);
        frames += BLOCK_FRAMES;
        benchmark::ClobberMemory();
    }
    const double cpu = thread_cpu_seconds() - cpu_start;
    point_master_out(nullptr);
    state.counters["ns_per_frame"] = cpu * 1e9 / frames;
    state.counters["rt_ceiling"] = frames / static_cast<double>(SAMPLE_RATE) / cpu;
}

} // namespace

BENCHMARK_CAPTURE(W1_one_sine, sweep, ENGINE::SWEEP)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(W1_one_sine, plan, ENGINE::PLAN)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(W2_one_voice, sweep, ENGINE::SWEEP)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(W2_one_voice, plan, ENGINE::PLAN)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(W3_64_voices, sweep, ENGINE::SWEEP)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(W3_64_voices, plan, ENGINE::PLAN)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(W3_field_floor, sse2, field_floor_sse2<true>)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(W3_field_floor, avx2, field_floor_avx2<true>)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(W3_field_floor, avx512, field_floor_avx512<true>)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(W3_field_floor, links_only_sse2, field_floor_sse2<false>)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(W3_field_floor, links_only_avx2, field_floor_avx2<false>)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(W3_field_floor, links_only_avx512, field_floor_avx512<false>)
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
