// Tests of the patch checker against the readers' pitfalls, of the benchmark-patch generator,
// and of every patch shipped in KVX/.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "bench_patch.h"
#include "patch/patch_check.h"

namespace {

std::string read_file(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A sound patch: a sequenced SIN VCO through an envelope into the master.
std::string patch(const std::string& objects, const std::string& links) {
    return "BEGIN_OBJECTS_DECLARE SEQUENCER_1;DIVIDER=4; VCO_1;TYPE=1;FREQ=44; VCA_1;ATTACK=5; MIXER_4;; " +
           objects + " END_OBJECTS_DECLARE BEGIN_LINKS_DECLARE VCO_1;IN=SEQUENCER_1; " +
           "VCA_1;IN=VCO_1;GATE=SEQUENCER_1; MIXER_4;ADD_CHANELL=VCA_1; " + links + " END_LINKS_DECLARE";
}

// The findings' texts joined, for readable failure messages and substring checks.
std::string findings(const std::string& text) {
    std::string all;
    for (const CHECK_FINDING& f : check_patch_text(text, ""))
        all += std::to_string(f.word) + ": " + f.text + "\n";
    return all;
}

int count(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t p = text.find(part); p != std::string::npos; p = text.find(part, p + 1))
        ++n;
    return n;
}

} // namespace

TEST(PatchWords, SplitLikeScanfAndKeepEmptyFields) {
    const auto w = patch_words("  VCO_1;TYPE=1;\n\t# two words\r\n");
    ASSERT_EQ(w.size(), 4u);
    EXPECT_EQ(w[0], "VCO_1;TYPE=1;");
    EXPECT_EQ(w[1], "#");
    EXPECT_EQ(w[3], "words");
    const auto f = split_fields("A;;B;", ';');
    ASSERT_EQ(f.size(), 4u);
    EXPECT_EQ(f[1], "");
    EXPECT_EQ(f[3], "");
}

TEST(PatchLint, ASoundPatchHasNoFinding) {
    EXPECT_EQ(findings(patch("", "")), "");
}

TEST(PatchLint, WordGrammarPitfalls) {
    // A blank inside a declaration makes two words, each with too few ';'. Word numbers count
    // from the file's first word: BEGIN + 4 declarations, so the extra words are 6 and 7.
    EXPECT_NE(findings(patch("VCO_2; TYPE=1;", "")).find("6: 'VCO_2;' has fewer than two ';'"),
              std::string::npos);
    // The last field needs its ';': FREQ=440 is ignored.
    EXPECT_NE(findings(patch("VCO_2;TYPE=2;FREQ=440", "")).find("after the last ';' is ignored"),
              std::string::npos);
    // A comment with blanks: only its first word is a comment.
    EXPECT_NE(findings(patch("#a comment", "")).find("'comment' has fewer"), std::string::npos);
    // An empty field stops the reader.
    EXPECT_NE(findings(patch("VCO_2;TYPE=1;;FREQ=3;", "")).find("empty field"), std::string::npos);
    // Missing markers.
    EXPECT_NE(findings("VCO_1;TYPE=1;").find("markers"), std::string::npos);
}

TEST(PatchLint, KeysMatchedAsSubstrings) {
    // FREQ is no filter key, but its Q applies the key Q.
    EXPECT_NE(findings(patch("PCF_1;FREQ=5;BYPASS=0;", "")).find("'FREQ=5' in PCF_1: unknown"),
              std::string::npos);
    // A field holding two keys of its kind applies both.
    EXPECT_NE(findings(patch("VCA_2;DECAY=ATTACK;", "")).find("more than one key"), std::string::npos);
    // Step keys: the row must have three digits; NOTE has no short form.
    EXPECT_NE(findings(patch("SEQUENCER_2;NOTE_01_002=3;", "")).find("unknown or misspelt"),
              std::string::npos);
    EXPECT_NE(findings(patch("SEQUENCER_2;NOTE_5=3;", "")).find("unknown or misspelt"), std::string::npos);
    EXPECT_NE(findings(patch("SEQUENCER_2;NOTE_000_064=3;", "")).find("unknown or misspelt"),
              std::string::npos);
    EXPECT_EQ(findings(patch("SEQUENCER_2;BYPASS_5=1;VOLUME_001_063=0.5;NOTE_000_003=0;", "")), "");
    // Values of the wrong type or outside their table.
    EXPECT_NE(findings(patch("VCO_2;TYPE=7;", "")).find("bad value"), std::string::npos);
    EXPECT_NE(findings(patch("SEQUENCER_2;NOTE_000_001=2000;", "")).find("outside 0 to 1999"),
              std::string::npos);
    EXPECT_NE(findings(patch("PCF_1;Q=0;BYPASS=0;", "")).find("outside 0.001 to 1000"), std::string::npos);
    // The filter plays a type outside 0..7 as 7 or 0: it is taken as it stands.
    EXPECT_EQ(findings(patch("PCF_1;TYPE=9;BYPASS=0;", "")), "");
}

TEST(PatchLint, ModuleKindsComeFromKeywordsInTheName) {
    EXPECT_NE(findings(patch("VCO_MIXER;TYPE=1;", "")).find("creates several modules"), std::string::npos);
    EXPECT_NE(findings(patch("OSC_1;TYPE=1;", "")).find("creates nothing"), std::string::npos);
    EXPECT_NE(findings(patch("VCO_1;TYPE=2;", "")).find("declared twice"), std::string::npos);
    // A filter without BYPASS=0 is silently bypassed.
    EXPECT_NE(findings(patch("PCF_1;HICUT=800;", "")).find("stays bypassed"), std::string::npos);
}

TEST(PatchLint, LinksThatTheReaderWouldIgnoreOrMisapply) {
    // A source name holding "IN" also applies the VCO's IN port.
    EXPECT_NE(findings(patch("SEQUENCER_MAIN;DIVIDER=2;", "VCO_1;GATE=SEQUENCER_MAIN;"))
                  .find("also applies the port IN"),
              std::string::npos);
    // A VCO does not take another VCO as its note source.
    EXPECT_NE(findings(patch("VCO_2;TYPE=1;", "VCO_1;IN=VCO_2;")).find("does not accept"), std::string::npos);
    // Unknown names on either side.
    EXPECT_NE(findings(patch("", "VCO_9;IN=SEQUENCER_1;")).find("'VCO_9' is not declared"),
              std::string::npos);
    EXPECT_NE(findings(patch("", "VCA_1;IN=VCO_7;")).find("source not declared"), std::string::npos);
    // With a single keyboard any KEY name finds it; with two the name must match.
    EXPECT_EQ(findings(patch("KEY_1;;", "VCO_1;SYNC=KEY_9;")), "");
    EXPECT_NE(findings(patch("KEY_1;; KEY_2;;", "VCO_1;SYNC=KEY_9;")).find("source not declared"),
              std::string::npos);
    // The writer's master line matches no target kind and is harmless.
    EXPECT_EQ(findings(patch("", "OUTPUT_1;MIXER_4;")), "");
}

TEST(PatchLint, WiringThatCannotSound) {
    std::string many;
    for (int i = 0; i < 23; ++i)
        many += "ADD_CHANELL=VCA_1;";
    EXPECT_EQ(findings(patch("", "MIXER_4;" + many)), ""); // 1 + 23 channels fit
    const std::string over = findings(patch("", "MIXER_4;" + many + "ADD_CHANELL=VCA_1;"));
    EXPECT_EQ(count(over, "more than 24 channels"), 1);
    EXPECT_NE(findings(patch("VCA_2;ATTACK=1;", "")).find("VCA_2 has no GATE"), std::string::npos);
    EXPECT_NE(findings(patch("VCA_2;ATTACK=1;", "VCA_2;GATE=SEQUENCER_1;")).find("no IN"), std::string::npos);
    EXPECT_NE(findings(patch("SAMPLER_1;FILE=x.wav;", "")).find("never plays"), std::string::npos);
    std::string text = patch("", "");
    text.replace(text.find("MIXER_4;;"), 9, "MIXER_5;;");
    EXPECT_NE(findings(text).find("no mixer named MIXER_4"), std::string::npos);
}

TEST(PatchLint, SamplerFilesMustBeSoundTheSamplerPlays) {
    const std::string src = TESSARO_SOURCE_DIR;
    const std::string good = patch("SAMPLER_1;FILE=KVX/samples/kick.wav;", "SAMPLER_1;GATE=SEQUENCER_1;");
    EXPECT_TRUE(check_patch_text(good, src).empty());
    const std::string missing = patch("SAMPLER_1;FILE=KVX/samples/none.wav;", "SAMPLER_1;GATE=SEQUENCER_1;");
    ASSERT_EQ(check_patch_text(missing, src).size(), 1u);
    EXPECT_NE(check_patch_text(missing, src)[0].text.find("the sample file cannot be opened"), std::string::npos);
    const std::string text = patch("SAMPLER_1;FILE=README.md;", "SAMPLER_1;GATE=SEQUENCER_1;");
    ASSERT_EQ(check_patch_text(text, src).size(), 1u);
    EXPECT_NE(check_patch_text(text, src)[0].text.find("the sample file is not a sound file"), std::string::npos);
}

TEST(BenchPatch, VoicesSubMixersAndFrequencies) {
    EXPECT_EQ(bench_sub_mixers(1), 0);
    EXPECT_EQ(bench_sub_mixers(24), 0);
    EXPECT_EQ(bench_sub_mixers(25), 2);
    EXPECT_EQ(bench_sub_mixers(64), 4);
    // Voice 0: root, detuned by (0 - 7.5) x 1.5 = -11.25 cents; voice 1: fifth, same detune;
    // voice 63: tenth (16 semitones), (15 - 7.5) x 1.5 = +11.25 cents.
    EXPECT_NEAR(bench_voice_freq(0), 88.0 * std::pow(2.0, -0.1125 / 12), 1e-9);
    EXPECT_NEAR(bench_voice_freq(1), 88.0 * std::pow(2.0, (7 - 0.1125) / 12), 1e-9);
    EXPECT_NEAR(bench_voice_freq(63), 88.0 * std::pow(2.0, (16 + 0.1125) / 12), 1e-9);

    const std::string one = bench_patch(1);
    EXPECT_EQ(findings(one), "");
    EXPECT_NE(one.find("MIXER_4;ADD_CHANELL=VCA_01;\n"), std::string::npos);
    EXPECT_EQ(count(one, "MIXER_SUB"), 0);

    const std::string big = bench_patch(64);
    EXPECT_EQ(findings(big), "");
    EXPECT_EQ(count(big, "VCO_64;TYPE=3;"), 1);
    EXPECT_EQ(count(big, "PCF_64;TYPE=1;"), 1);
    EXPECT_EQ(count(big, "GATE=SEQUENCER_1;"), 64);
    EXPECT_EQ(count(big, "ADD_CHANELL=VCA_"), 64);
    EXPECT_NE(big.find("MIXER_SUB_4;ADD_CHANELL=VCA_49;"), std::string::npos);
    EXPECT_NE(big.find("MIXER_4;ADD_CHANELL=MIXER_SUB_1;ADD_CHANELL=MIXER_SUB_2;ADD_CHANELL=MIXER_SUB_3;"
                       "ADD_CHANELL=MIXER_SUB_4;\n"),
              std::string::npos);
}

TEST(ShippedPatches, GeneratedBenchmarksAreUpToDate) {
    const std::string kvx = std::string(TESSARO_SOURCE_DIR) + "/KVX/";
    EXPECT_EQ(read_file(kvx + "BENCH_W2.KVX"), bench_patch(1));
    EXPECT_EQ(read_file(kvx + "BENCH_W3.KVX"), bench_patch(64));
}

TEST(ShippedPatches, EveryPatchIsCleanAndTogetherTheyUseEveryKindAndPort) {
    namespace fs = std::filesystem;
    std::string all;
    int patches = 0;
    for (const auto& e : fs::directory_iterator(std::string(TESSARO_SOURCE_DIR) + "/KVX")) {
        if (e.path().extension() != ".KVX") continue;
        ++patches;
        const std::string text = read_file(e.path().string());
        std::string found;
        for (const CHECK_FINDING& f : check_patch_text(text, TESSARO_SOURCE_DIR, e.path().string()))
            found += std::to_string(f.word) + ": " + f.text + "\n";
        EXPECT_EQ(found, "") << e.path().filename();
        all += text;
    }
    EXPECT_GE(patches, 8);
    for (const char* kind : {"SEQUENCER_", "VCO_", "VCA_", "PCF_", "MIXER_", "SAMPLER_", "KEY_"})
        EXPECT_NE(all.find(kind), std::string::npos) << kind;
    for (const char* port :
         {";IN=", ";GATE=", ";SYNC=", ";MOD_FREQ=", ";MOD_PHASE=", ";MOD_AMP=", ";MOD_PWM=", ";ADD_CHANELL="})
        EXPECT_NE(all.find(port), std::string::npos) << port;
    bool keyboard_restarts_sequencer = false;
    for (const std::string& w : patch_words(all))
        if (w.rfind("SEQUENCER", 0) == 0 && w.find(";SYNC=KEY") != std::string::npos)
            keyboard_restarts_sequencer = true;
    EXPECT_TRUE(keyboard_restarts_sequencer);
}
