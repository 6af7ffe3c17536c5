// The shipped example and benchmark patches, rendered by the real program: each one sounds from
// its first second on, stays clear of the clipping ceiling and is centred on 0.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>

#include "program_runner.h"

namespace {

struct LEVELS {
    double mean = 0; // over the whole render
    double rms = 0;
    double peak = 0; // largest magnitude
    double first_second_rms = 0;
    size_t frames = 0;
};

// Left-channel levels of a 16-bit stereo WAVE with the canonical 44-byte header.
LEVELS levels_of(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), {});
    LEVELS l;
    if (b.size() < 44) return l;
    l.frames = (b.size() - 44) / 4;
    double sum = 0, first = 0, total = 0;
    for (size_t i = 0; i < l.frames; ++i) {
        const size_t at = 44 + 4 * i;
        const double v = static_cast<int16_t>(b[at] | b[at + 1] << 8) / 32768.0;
        total += v;
        sum += v * v;
        if (i < 44100) first += v * v;
        l.peak = std::fmax(l.peak, std::fabs(v));
    }
    l.mean = total / l.frames;
    l.rms = std::sqrt(sum / l.frames);
    l.first_second_rms = std::sqrt(first / 44100);
    return l;
}

class ExamplePatches : public testing::TestWithParam<const char*> {};

} // namespace

TEST_P(ExamplePatches, RenderAudibleAndUnclipped) {
    const std::string dir = scratch_folder(GetParam());
    const std::string out = dir + "/out.wav";
    // Samplers name their files relative to the repository root, where the tests run.
    const std::string patch = std::string("KVX/") + GetParam() + ".KVX";
    const PROGRAM_RUN r = run_program({"--render", out, "--seconds", "4", patch}, "");
    ASSERT_EQ(r.status, 0) << r.output;
    const LEVELS l = levels_of(out);
    remove_folder(dir);
    EXPECT_EQ(l.frames, 4u * 44100);
    // -34 dB and more over four seconds: music, not a click or a whisper.
    EXPECT_GT(l.rms, 0.02);
    EXPECT_GT(l.first_second_rms, 0.005) << "silent for its first second";
    // A master near full scale wraps around in 16 bits; keep clear of it.
    EXPECT_LT(l.peak, 0.95);
    // An offset wastes headroom and thumps when the sound stops: voices are centred on 0.
    EXPECT_LT(std::fabs(l.mean), 0.01);
}

INSTANTIATE_TEST_SUITE_P(Shipped, ExamplePatches,
                         testing::Values("BASSLINE", "LEAD", "DRUMS", "MODULATION", "PAD", "BENCH_W1",
                                         "BENCH_W2", "BENCH_W3"));
