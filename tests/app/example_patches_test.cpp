// The shipped example and benchmark patches, rendered by the real program: each one sounds from
// its first second on, stays clear of the clipping ceiling and is centred on 0.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/program.h"
#include "tests/support/scratch.h"
#include "tests/support/wave.h"

namespace {

class ExamplePatches : public testing::TestWithParam<const char*> {};

} // namespace

TEST_P(ExamplePatches, RenderAudibleAndUnclipped) {
    const SCRATCH_DIR dir(GetParam());
    const std::string out = dir.file("out.wav");
    // Samplers name their files relative to the repository root, where the tests run.
    const std::string patch = std::string("KVX/") + GetParam() + ".KVX";
    const PROGRAM_RUN r = run_program({"--render", out, "--seconds", "4", patch}, "");
    ASSERT_EQ(r.status, 0) << r.output;
    const std::vector<double> left = left_channel(out);
    EXPECT_EQ(left.size(), 4u * 44100);
    // -34 dB and more over four seconds: music, not a click or a whisper.
    EXPECT_GT(rms(left, 0, left.size()), 0.02);
    EXPECT_GT(rms(left, 0, 44100), 0.005) << "silent for its first second";
    // A master near full scale wraps around in 16 bits; keep clear of it.
    EXPECT_LT(peak(left), 0.95);
    // An offset wastes headroom and thumps when the sound stops: voices are centred on 0.
    EXPECT_LT(std::fabs(mean(left)), 0.01);
}

INSTANTIATE_TEST_SUITE_P(Shipped, ExamplePatches,
                         testing::Values("BASSLINE", "LEAD", "DRUMS", "MODULATION", "PAD", "BENCH_W1",
                                         "BENCH_W2", "BENCH_W3"));
