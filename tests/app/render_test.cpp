// Offline rendering: the samples of a known patch, the file appearing only on success, and the
// duration argument.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>

#include "app/render.h"
#include "tests/support/program.h"
#include "tests/support/scratch.h"

namespace {

std::vector<unsigned char> file_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

class Render : public testing::Test {
  protected:
    std::string patch(const char* name, const std::string& text) {
        const std::string path = dir + "/" + name;
        write_text(path, text);
        return path;
    }
    // Nothing but the patch is left in the folder: no output, no temporary file.
    void expect_only(const std::vector<std::string>& names) {
        std::vector<std::string> have = folder_names(dir), want = names;
        std::sort(have.begin(), have.end());
        std::sort(want.begin(), want.end());
        EXPECT_EQ(have, want);
    }
    SCRATCH_DIR scratch{testing::UnitTest::GetInstance()->current_test_info()->name()};
    const std::string dir = scratch.path();
};

const char* const SAW_PATCH = "BEGIN_OBJECTS_DECLARE\n"
                              "VCO_1;TYPE=3;FREQ=441;AMOUNT=0.5;PHASE=0;\n"
                              "MIXER_4;;\n"
                              "END_OBJECTS_DECLARE\n"
                              "BEGIN_LINKS_DECLARE\n"
                              "MIXER_4;ADD_CHANELL=VCO_1;\n"
                              "END_LINKS_DECLARE\n";

} // namespace

TEST_F(Render, SawThroughTheMasterSampleBySample) {
    const std::string in = patch("SAW.KVX", SAW_PATCH), out = dir + "/saw.wav";
    PROGRAM_RUN r = run_program({"--render", out, "--seconds", "0.1", in}, "");
    ASSERT_EQ(r.status, 0) << r.output;
    // The last line tells how much faster than real time the render ran.
    EXPECT_NE(r.output.find("Real-time factor "), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("x (0.100 s of sound in "), std::string::npos) << r.output;
    const std::vector<unsigned char> b = file_bytes(out);
    // 0.1 s is 4410 frames: one full block of 3072 and a short one of 1338.
    ASSERT_EQ(b.size(), 44u + 4410u * 4);
    auto u32 = [&](size_t at) {
        return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
    };
    EXPECT_EQ(u32(4), 36u + 17640u);
    EXPECT_EQ(u32(40), 17640u);

    // The oscillator steps its phase by 441/44100 = 0.01 before it speaks, jumps to -1 once past
    // 1, and outputs phase x 0.5. The master mixer (one channel: the average is the channel)
    // and the delay stage run later in the same sweep, so frame n carries the oscillator's n-th
    // sample with no delay. The conversion truncates m x 32767.
    float phase = 0.0f;
    int wraps = 0;
    for (int n = 0; n < 4410; ++n) {
        phase += 441.0f * 2.2675737e-5f;
        if (phase > 1.0f) {
            phase = -1.0f;
            ++wraps;
        }
        const int want = static_cast<int>(static_cast<double>(phase * 0.5f) * 32767.0);
        const size_t at = 44 + 4 * static_cast<size_t>(n);
        const int left = static_cast<int16_t>(b[at] | b[at + 1] << 8);
        const int right = static_cast<int16_t>(b[at + 2] | b[at + 3] << 8);
        ASSERT_EQ(left, right) << "frame " << n;
        // One step of rounding either way is float noise; a misplaced sample is off by ~160.
        ASSERT_LE(std::abs(left - want), 1) << "frame " << n;
    }
    EXPECT_GE(wraps, 20); // the ramp restarted many times, across the block boundary
}

TEST_F(Render, FailuresLeaveNoFileBehind) {
    const std::string good = patch("SAW.KVX", SAW_PATCH);
    const std::string no_master = patch("NOMASTER.KVX", "VCO_1;TYPE=3;\nMIXER_1;;\n");
    const std::string fatal = patch("FATAL.KVX", "BEGIN_OBJECTS_DECLARE\nVCO_1;TYPE=3;;\nMIXER_4;;\n");
    const std::string out = dir + "/out.wav";

    PROGRAM_RUN r = run_program({"--render", out, "--seconds", "1", dir + "/MISSING.KVX"}, "");
    EXPECT_NE(r.status, 0);
    r = run_program({"--render", out, "--seconds", "1", no_master}, "");
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.output.find("No mixer named MIXER_4"), std::string::npos);
    r = run_program({"--render", out, "--seconds", "1", fatal}, "");
    EXPECT_EQ(r.status, 255);
    EXPECT_NE(r.output.find("Erreur, au niveau des parametre ligne [2]"), std::string::npos) << r.output;
    for (const char* bad : {"abc", "-1", "nan", "", "2s"}) {
        r = run_program({"--render", out, "--seconds", bad, good}, "");
        EXPECT_NE(r.status, 0) << bad;
    }
    r = run_program({"--render", dir + "/no-such-folder/out.wav", "--seconds", "1", good}, "");
    EXPECT_NE(r.status, 0);
    expect_only({"SAW.KVX", "NOMASTER.KVX", "FATAL.KVX"});

    // An earlier render under the same name survives a failed one untouched.
    write_text(out, "previous take");
    r = run_program({"--render", out, "--seconds", "1", no_master}, "");
    EXPECT_NE(r.status, 0);
    std::ifstream kept(out);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(kept)), {}), "previous take");
    expect_only({"SAW.KVX", "NOMASTER.KVX", "FATAL.KVX", "out.wav"});
}

TEST(RenderDuration, SecondsToFramesAndWhatIsRefused) {
    EXPECT_EQ(frames_for_seconds(0.1), 4410);
    EXPECT_EQ(frames_for_seconds(1.00001), 44100); // 44100.44 rounds down
    EXPECT_EQ(frames_for_seconds(1.00002), 44101); // 44100.88 rounds up
    EXPECT_EQ(frames_for_seconds(0), 0);

    double s = -5;
    EXPECT_TRUE(parse_seconds("2.5", &s));
    EXPECT_EQ(s, 2.5);
    EXPECT_TRUE(parse_seconds("1e1", &s));
    EXPECT_EQ(s, 10.0);
    for (const char* bad : {"", "abc", "3s", "-1", "nan", "inf", "1e400", "100000"})
        EXPECT_FALSE(parse_seconds(bad, &s)) << bad;
    EXPECT_FALSE(parse_seconds(nullptr, &s));
}

TEST_F(Render, ASampleFileWithoutSoundIsRefusedAndThePatchPlaysOn) {
    const std::string notes = patch("notes.wav", "not a sound at all\n");
    const std::string in = patch("TWO.KVX", "BEGIN_OBJECTS_DECLARE\n"
                                            "SEQUENCER_1;DIVIDER=8;NBR_STEP=4;\n"
                                            "SAMPLER_1;FILE=KVX/samples/kick.wav;\n"
                                            "SAMPLER_2;FILE=" +
                                                notes +
                                                ";\n"
                                                "MIXER_4;;\n"
                                                "END_OBJECTS_DECLARE\n"
                                                "BEGIN_LINKS_DECLARE\n"
                                                "SAMPLER_2;IN=SEQUENCER_1;GATE=SEQUENCER_1;\n"
                                                "SAMPLER_1;IN=SEQUENCER_1;GATE=SEQUENCER_1;\n"
                                                "MIXER_4;ADD_CHANELL=SAMPLER_1;ADD_CHANELL=SAMPLER_2;\n"
                                                "END_LINKS_DECLARE\n");
    const std::string out = dir + "/two.wav";
    const PROGRAM_RUN r = run_program({"--render", out, "--seconds", "0.5", in}, "");
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("Sample refused [" + notes + "]: the file is not a sound file"),
              std::string::npos)
        << r.output;
    EXPECT_EQ(r.output.find("Loaded WAVE file [" + notes), std::string::npos) << r.output;
    // The silent sampler leaves the shared gate open: the kick still sounds.
    const std::vector<unsigned char> b = file_bytes(out);
    ASSERT_EQ(b.size(), 44u + 22050u * 4);
    int loudest = 0;
    for (size_t at = 44; at < b.size(); at += 4)
        loudest = std::max(loudest, std::abs(static_cast<int16_t>(b[at] | b[at + 1] << 8)));
    EXPECT_GT(loudest, 3000);
}

TEST_F(Render, TemporariesOfKilledRendersAreClearedOnceOld) {
    const std::string in = patch("SAW.KVX", SAW_PATCH), out = dir + "/saw.wav";
    write_text(dir + "/take.wav.partial-Ab12Cd", "half");
    write_text(dir + "/saw.wav.partial-Zz99yy", "running");
    // An hour ago, and a moment ago.
    std::system(("touch -d '1 hour ago' '" + dir + "/take.wav.partial-Ab12Cd'").c_str());
    PROGRAM_RUN r = run_program({"--render", out, "--seconds", "0.01", in}, "");
    ASSERT_EQ(r.status, 0) << r.output;
    expect_only({"SAW.KVX", "saw.wav", "saw.wav.partial-Zz99yy"});
}
