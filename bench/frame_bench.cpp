// Benchmark of one panel-view frame in the window: background, every visible panel updated and
// drawn, the dashboards, and the buffer swap, for a small and a large patch; and of opening and
// closing a patch of nearly the most modules a patch may hold, up to its first frame.
#include <benchmark/benchmark.h>

#include <GL/gl.h>
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/frame_loop.h"
#include "app/panel_view.h"
#include "app/patch_load.h"
#include "app/window.h"
#include "engine/generator.h"
#include "panels/build_panels.h"
#include "toolkit/font.h"
#include "toolkit/objet.h"
#include "toolkit/panel_walkers.h"
#include "toolkit/sprite.h"
#include "toolkit/video.h"

namespace {

bool window_open = false;
// The window's state, as the program's frame loop would own it.
SCREEN screen;
std::vector<OBJET*>& panels = screen.panels;

// One window for the whole run: video, background, fonts and dashboards as at start-up.
bool open_window() {
    if (window_open) return true;
    if (!display_available()) return false;
    init_video(WINDOW_WIDTH, WINDOW_HEIGHT, SPRITE_FILE);
    screen.background = new SPRITE("FOND_GLOBAL", 0, 0, 0, 0, 0, 1.0f);
    screen.background->set_image("FOND_ELECTRO");
    screen.background->update();
    load_font(small_font, FONT_FILE, 6);
    load_font(large_font, FONT_FILE, 12);
    create_dashboards(screen);
    window_open = true;
    return true;
}

// The panels go, as when the window closes.
void close_panels() {
    for (OBJET* p : panels)
        delete p;
    panels.clear();
    screen.sequencer_panels.clear();
    reset_interaction(screen);
}

// The patch's panels replace the previous ones.
bool use_patch(const char* path) {
    close_panels();
    const LOADED_PATCH loaded = load_patch_file(path);
    if (!loaded.graph) return false;
    delete install_patch(loaded);
    build_panels(*generator, panels, screen.sequencer_panels);
    for (OBJET* p : panels) {
        p->update();
        fit_to_background(*p);
        mark_all(*p, 1);
    }
    scroll_x = scroll_y = 0;
    return true;
}

void BM_PanelViewFrame(benchmark::State& state, const char* patch) {
    if (!open_window()) {
        state.SkipWithError("no X display");
        return;
    }
    if (!use_patch(patch)) {
        state.SkipWithError("patch not loaded");
        return;
    }
    int visible = 0;
    for (OBJET* p : panels)
        visible += panel_visible(*p, scroll_x, scroll_y);
    for (int i = 0; i < 5; ++i)
        draw_panel_view(screen, FLAG_REDRAW);
    glFinish();
    for (auto _ : state) {
        draw_panel_view(screen, FLAG_REDRAW);
        glFinish();
    }
    state.counters["panels"] = static_cast<double>(panels.size());
    state.counters["visible"] = visible;
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// A patch of about the most modules a patch may hold: 2,499 voices of a keyboard playing an
// oscillator through a filter and an envelope, the first voice into the master mixer (9,997
// modules). Written once into the temporary folder.
const char* biggest_patch() {
    static std::string path;
    if (!path.empty()) return path.c_str();
    const char* tmp = std::getenv("TMPDIR");
    path = std::string(tmp && *tmp ? tmp : "/tmp") + "/tessaro_frame_bench_9997.KVX";
    std::ofstream f(path);
    f << "BEGIN_OBJECTS_DECLARE\n";
    for (int i = 0; i < 2499; ++i)
        f << "VCO_" << i << ";TYPE=1;FREQ=" << 100 + i % 1000 << ";AMOUNT=0.001;\n"
          << "VCA_" << i << ";ATTACK=10;DECAY=10;SUSTAIN=1;RELEASE=10;\n"
          << "PCF_" << i << ";TYPE=1;HICUT=1000;Q=1;GAIN=0;AMOUNT=1;BYPASS=0;\n"
          << "KEY_" << i << ";;\n";
    f << "MIXER_4;;\nEND_OBJECTS_DECLARE\nBEGIN_LINKS_DECLARE\n";
    for (int i = 0; i < 2499; ++i)
        f << "VCO_" << i << ";IN=KEY_" << i << ";\nPCF_" << i << ";IN=VCO_" << i << ";\nVCA_" << i << ";IN=PCF_" << i
          << ";GATE=KEY_" << i << ";\n";
    f << "MIXER_4;ADD_CHANELL=VCA_0;\nEND_LINKS_DECLARE\n";
    return path.c_str();
}

// Loads the patch and draws its first frame; false, with the benchmark told, when it cannot load.
bool show_first_frame(benchmark::State& state, const char* path) {
    if (!use_patch(path)) {
        state.SkipWithError("patch not loaded");
        return false;
    }
    draw_panel_view(screen, FLAG_REDRAW);
    glFinish();
    return true;
}

// From the patch file to the first frame on the screen: reading, building the graph and the
// panels, placing them, and drawing the first frame. The panels of the previous iteration are
// closed outside the timing.
void BM_OpenBiggestPatch(benchmark::State& state) {
    if (!open_window()) {
        state.SkipWithError("no X display");
        return;
    }
    const char* path = biggest_patch();
    for (auto _ : state) {
        state.PauseTiming();
        close_panels();
        state.ResumeTiming();
        if (!show_first_frame(state, path)) return;
    }
    state.counters["panels"] = static_cast<double>(panels.size());
}

// Closing the window's panels of that patch after its first frame, as the program does on ESC.
void BM_CloseBiggestPatch(benchmark::State& state) {
    if (!open_window()) {
        state.SkipWithError("no X display");
        return;
    }
    const char* path = biggest_patch();
    for (auto _ : state) {
        state.PauseTiming();
        if (!show_first_frame(state, path)) return;
        state.ResumeTiming();
        close_panels();
    }
}

// The floor under every frame: clearing the window and swapping the buffers.
void BM_EmptyFrame(benchmark::State& state) {
    if (!open_window()) {
        state.SkipWithError("no X display");
        return;
    }
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT);
        SDL_GL_SwapBuffers();
        glFinish();
    }
}

} // namespace

BENCHMARK(BM_EmptyFrame)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_PanelViewFrame, BASSLINE, "KVX/BASSLINE.KVX")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_PanelViewFrame, BENCH_W3, "KVX/BENCH_W3.KVX")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK(BM_OpenBiggestPatch)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_CloseBiggestPatch)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

BENCHMARK_MAIN();
