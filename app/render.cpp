// Offline rendering: a patch played for a given time straight into a WAVE file.
#include "app/render.h"

#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "app/patch_load.h"
#include "app/startup.h"
#include "engine/modules.h"
#include "patch/patch_reader.h"
#include "patch/save_patch.h"
#include "platform/wave_file.h"

namespace {

// The temporary file being written, removed by every way out that is not success.
char temp_path[4200] = "";

void remove_temp() {
    if (temp_path[0]) unlink(temp_path);
    temp_path[0] = '\0';
}

void fatal_patch_error(int status) {
    remove_temp();
    std::fprintf(stderr, "Render aborted by a patch error: nothing written\n");
    std::exit(status);
}

void interrupted(int sig) {
    if (temp_path[0]) unlink(temp_path);
    signal(sig, SIG_DFL);
    raise(sig);
}

void show_bar(long long done, long long total) {
    const int width = 40;
    const int percent = total > 0 ? static_cast<int>(done * 100 / total) : 100;
    const int filled = percent * width / 100;
    std::fprintf(stderr, "\r[%.*s%*s] %3d%%", filled, "########################################",
                 width - filled, "", percent);
    std::fflush(stderr);
}

int fail(const char* what, const char* path) {
    remove_temp();
    std::fprintf(stderr, "%s [%s]\n", what, path);
    return 1;
}

} // namespace

std::string real_time_factor_text(double sound_seconds, double took_seconds) {
    char text[128];
    if (took_seconds <= 0)
        std::snprintf(text, sizeof text, "Real-time factor: not measurable (%.3f s of sound)", sound_seconds);
    else
        std::snprintf(text, sizeof text, "Real-time factor %.1fx (%.3f s of sound in %.3f s)",
                      sound_seconds / took_seconds, sound_seconds, took_seconds);
    return text;
}

long long frames_for_seconds(double seconds) {
    return std::llround(seconds * SAMPLE_RATE);
}

bool parse_seconds(const char* text, double* seconds) {
    if (!text || !*text) return false;
    errno = 0;
    char* end = nullptr;
    const double s = std::strtod(text, &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(s) || s < 0) return false;
    if (frames_for_seconds(s) > static_cast<long long>(WAVE_MAX_DATA_BYTES / 4)) return false;
    *seconds = s;
    return true;
}

int render_patch(const char* patch_path, const char* out_path, double seconds, bool show_progress) {
    // The output's folder is tried first, so a bad name costs no rendering; temporaries that
    // killed renders or saves left there go first.
    remove_stale_temporaries(out_path);
    std::string temp = std::string(out_path) + ".partial-XXXXXX";
    if (temp.size() >= sizeof temp_path) return fail("Output name too long", out_path);
    std::strcpy(temp_path, temp.c_str());
    const int fd = mkstemp(temp_path);
    if (fd < 0) {
        temp_path[0] = '\0';
        return fail("Cannot write", out_path);
    }
    // mkstemp makes the file private (0600); a render is an ordinary file of the user's.
    fchmod(fd, replacement_mode(out_path));
    signal(SIGINT, interrupted);
    signal(SIGTERM, interrupted);
    signal(SIGHUP, interrupted);
    FILE* file = fdopen(fd, "wb");
    if (!file) {
        close(fd);
        return fail("Cannot write", out_path);
    }
    WAVE_WRITER wave;
    if (!wave.attach(file)) return fail("Cannot write", out_path);

    patch_fatal_hook = fatal_patch_error;
    fill_note_table();
    std::printf("Loading [%s]\n", patch_path);
    if (access(patch_path, R_OK) != 0) return fail("Cannot read the patch", patch_path);
    const LOADED_PATCH loaded = load_patch_file(patch_path);
    if (!loaded.graph) return fail("Nothing to render from", patch_path);
    install_patch(loaded);
    audio_running = 1;

    const long long total = frames_for_seconds(seconds);
    const auto started = std::chrono::steady_clock::now();
    int16_t block[BLOCK_FRAMES * 2];
    int last_percent = -1;
    for (long long done = 0; done < total;) {
        const int frames = total - done < BLOCK_FRAMES ? static_cast<int>(total - done) : BLOCK_FRAMES;
        render_block(nullptr, block, frames * 4, nullptr);
        report_sampler_restarts(generator->samplers);
        if (!wave.write_frames(block, frames)) return fail("Cannot write", out_path);
        done += frames;
        const int percent = static_cast<int>(done * 100 / total);
        if (show_progress && percent != last_percent) {
            show_bar(done, total);
            last_percent = percent;
        }
    }
    audio_running = 0;
    if (show_progress) std::fprintf(stderr, "\n");

    if (!wave.update_header() || fsync(fileno(wave.stream())) != 0 || !wave.close())
        return fail("Cannot write", out_path);
    if (std::rename(temp_path, out_path) != 0) return fail("Cannot write", out_path);
    temp_path[0] = '\0';
    std::printf("Rendered %lld frames (%.3f s) to [%s]\n", total, seconds, out_path);
    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("%s\n", real_time_factor_text(seconds, took).c_str());
    return 0;
}

int run_render(int argc, char** argv) {
    const char* out = nullptr;
    const char* seconds_text = nullptr;
    const char* patch = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--render") == 0 && i + 1 < argc)
            out = argv[++i];
        else if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc)
            seconds_text = argv[++i];
        else if (!patch && argv[i][0] != '-')
            patch = argv[i];
        else {
            std::fprintf(stderr, "Unexpected argument [%s]\n", argv[i]);
            return 2;
        }
    }
    if (!out || !seconds_text || !patch) {
        std::fprintf(stderr, "Usage: tessaro --render OUT.wav --seconds S PATCH.KVX\n");
        return 2;
    }
    double seconds = 0;
    if (!parse_seconds(seconds_text, &seconds)) {
        std::fprintf(stderr, "Bad duration [%s]: give a number of seconds, 0 or more\n", seconds_text);
        return 2;
    }
    return render_patch(patch, out, seconds, isatty(STDERR_FILENO) != 0);
}
