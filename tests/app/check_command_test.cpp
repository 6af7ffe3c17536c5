// `tessaro --check`: exit status 0 for clean patches, 1 with one line per problem.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/program.h"
#include "tests/support/scratch.h"

namespace {

int lines(const std::string& text) {
    int n = 0;
    for (char c : text)
        n += c == '\n';
    return n;
}

TEST(CheckCommand, CleanPatchesExitZeroSilently) {
    const PROGRAM_RUN r = run_program({"--check", "KVX/BASSLINE.KVX", "KVX/DRUMS.KVX", "KVX/LEAD.KVX"}, "");
    EXPECT_EQ(0, r.status) << r.output;
    EXPECT_EQ("", r.output);
}

TEST(CheckCommand, OneLinePerProblemAndExitOne) {
    const SCRATCH_DIR scratch("check");
    const std::string& dir = scratch.path();
    write_text(dir + "/BAD.KVX",
               "BEGIN_OBJECTS_DECLARE VCO_1;FREQ=-5; MIXER_4;; END_OBJECTS_DECLARE "
               "BEGIN_LINKS_DECLARE MIXER_4;ADD_CHANELL=VCO_1;ADD_CHANELL=VCO_9; END_LINKS_DECLARE");
    const PROGRAM_RUN r = run_program({"--check", "KVX/PAD.KVX", dir + "/BAD.KVX", dir + "/ABSENT.KVX"}, "");
    EXPECT_EQ(1, r.status);
    EXPECT_EQ(3, lines(r.output)) << r.output;
    EXPECT_NE(std::string::npos, r.output.find(dir + "/BAD.KVX:1: 'FREQ=-5' in VCO_1: outside 0 to 22050"))
        << r.output;
    EXPECT_NE(std::string::npos,
              r.output.find(dir + "/BAD.KVX:1: 'ADD_CHANELL=VCO_9' in the links of MIXER_4: "
                                  "source not declared as a VCO"))
        << r.output;
    EXPECT_NE(std::string::npos, r.output.find(dir + "/ABSENT.KVX: cannot be read")) << r.output;
}

TEST(CheckCommand, NothingToCheckIsAnError) {
    const PROGRAM_RUN r = run_program({"--check"}, "");
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.output.find("Usage: tessaro --check")) << r.output;
}

} // namespace
