// Benchmarks of loading and saving patches of up to the 10,000 modules a patch may hold, to show
// that the time grows with the size of the patch.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <unistd.h>

#include "engine/module_kinds.h"
#include "engine/modules.h"
#include "patch/patch_reader.h"
#include "patch/patch_writer.h"
#include "tools/patchgen/bench_patch.h"

namespace {

// The benchmark voices, as many as fit, and silent keyboards up to the wanted number of modules.
std::string voices_patch(int modules) {
    int voices = 0;
    while (bench_modules(voices + 1) <= modules)
        ++voices;
    return bench_patch(voices, modules - bench_modules(voices));
}

// The patch of each size, written once to a temporary file.
const std::string& patch_file(int modules) {
    static std::map<int, std::string> files;
    std::string& path = files[modules];
    if (path.empty()) {
        char name[] = "/tmp/tessaro_load_bench_XXXXXX";
        const int fd = mkstemp(name);
        const std::string text = voices_patch(modules);
        if (fd < 0 || write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) std::abort();
        close(fd);
        path = name;
    }
    return path;
}

void load_patch(benchmark::State& state) {
    fill_note_table();
    const int modules = static_cast<int>(state.range(0));
    const std::string& path = patch_file(modules);
    for (auto _ : state) {
        auto* g = new GENERATOR;
        if (load_objects(g, path.c_str()) != 1) state.SkipWithError("patch refused");
        load_links(g, path.c_str());
        if (total_modules(*g) != static_cast<size_t>(modules) || find_master_mixer(g) == nullptr ||
            find_master_mixer(g)->input_count == 0)
            state.SkipWithError("patch not loaded whole");
        state.PauseTiming();
        delete g;
        state.ResumeTiming();
    }
    state.SetComplexityN(modules);
    state.counters["modules_per_s"] =
        benchmark::Counter(static_cast<double>(modules), benchmark::Counter::kIsIterationInvariantRate);
}

void save_patch(benchmark::State& state) {
    fill_note_table();
    const int modules = static_cast<int>(state.range(0));
    GENERATOR g;
    const std::string& path = patch_file(modules);
    load_objects(&g, path.c_str());
    load_links(&g, path.c_str());
    FILE* out = std::tmpfile();
    if (out == nullptr) std::abort();
    for (auto _ : state) {
        std::rewind(out);
        if (!write_patch(out, g)) state.SkipWithError("write failed");
    }
    std::fclose(out);
    state.SetComplexityN(modules);
    state.counters["modules_per_s"] =
        benchmark::Counter(static_cast<double>(modules), benchmark::Counter::kIsIterationInvariantRate);
}

// Sizes up to the most a patch may hold, timed in milliseconds and fitted to a line.
void patch_sizes(benchmark::internal::Benchmark* b) {
    for (int modules : {1250, 2500, 5000, static_cast<int>(PATCH_MODULES_MAX)})
        b->Arg(modules);
    b->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
}

} // namespace

BENCHMARK(save_patch)->Apply(patch_sizes);

BENCHMARK(load_patch)->Apply(patch_sizes);
