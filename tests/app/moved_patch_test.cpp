// A sampler patch moved together with its samples plays from any folder: the samples are found
// beside the patch, not in the folder the program was started from.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "tests/support/program.h"
#include "tests/support/scratch.h"
#include "tests/support/wave.h"

TEST(MovedPatch, RendersWithItsSamplesFromAThirdFolder) {
    const std::string from = std::string(TESSARO_SOURCE_DIR) + "/KVX/";
    const SCRATCH_DIR moved("moved"), elsewhere("elsewhere");
    ASSERT_EQ(0, mkdir(moved.file("samples").c_str(), 0755));
    for (const std::string& name : folder_names(from + "samples"))
        write_text(moved.file("samples/" + name), read_text(from + "samples/" + name));
    write_text(moved.file("DRUMS.KVX"), read_text(from + "DRUMS.KVX"));
    const std::string out = elsewhere.file("drums.wav");
    const PROGRAM_RUN r = run_program({"--render", out, "--seconds", "2", moved.file("DRUMS.KVX")}, "", {}, 0,
                                      60000, elsewhere.path());
    ASSERT_EQ(0, r.status) << r.output;
    EXPECT_EQ(6, count_of(r.output, "Loaded WAVE file")) << r.output;
    // Without its samples the patch is silent: the kick alone peaks far above this.
    EXPECT_GT(peak(left_channel(out)), 0.05);
}
