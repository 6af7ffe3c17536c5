// What a patch may not do: values the modules cannot use, links to modules that do not exist,
// more modules than a patch may hold, and a flood of messages from a file that is no patch.
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "engine/module_kinds.h"
#include "patch/patch_check.h"
#include "patch/patch_words.h"
#include "patch_files.h"

namespace {

class Guards : public PatchTest {};

// One refused value: the declaration, the warning it gives, and a check that the module kept
// what it had.
struct REFUSED {
    const char* declaration;
    const char* warning;
    std::function<bool(GENERATOR&)> kept;
};

TEST_F(Guards, EachRefusedValueGivesOneWarningAndKeepsTheDefault) {
    const std::vector<REFUSED> cases = {
        {"VCO_1;FREQ=-5;", "VCO_1 : FREQ=-5 refuse, hors de 0 a 22050",
         [](GENERATOR& g) { return g.vcos[0]->FREQ == 110.0f; }},
        {"VCO_1;FREQ=nan;", "VCO_1 : FREQ=nan refuse, hors de 0 a 22050",
         [](GENERATOR& g) { return g.vcos[0]->FREQ == 110.0f; }},
        {"VCO_1;AMOUNT=inf;", "VCO_1 : AMOUNT=inf refuse, hors de 0 a 22050",
         [](GENERATOR& g) { return g.vcos[0]->AMOUNT == 1.0f; }},
        {"VCO_1;FREQ=1e39;", "VCO_1 : FREQ=1e39 refuse, hors de 0 a 22050",
         [](GENERATOR& g) { return g.vcos[0]->FREQ == 110.0f; }},
        {"VCO_1;PWM=-0.5;", "VCO_1 : PWM=-0.5 refuse, hors de 0 a 22050",
         [](GENERATOR& g) { return g.vcos[0]->PWM == 0.1f; }},
        {"VCO_1;TYPE=9;", "VCO_1 : TYPE=9 refuse, forme 1 a 6 attendue",
         [](GENERATOR& g) { return g.vcos[0]->TYPE == 1; }},
        {"VCO_1;WAVEFORM=7;", "VCO_1 : WAVEFORM=7 refuse, hors de 0 a 6",
         [](GENERATOR& g) { return g.vcos[0]->TYPE == 1; }},
        {"PCF_1;Q=0;", "PCF_1 : Q=0 refuse, hors de 0.001 a 1000",
         [](GENERATOR& g) { return g.filters[0]->Q == 1.0f; }},
        {"PCF_1;HICUT=-300;", "PCF_1 : HICUT=-300 refuse, hors de 1 a 22050",
         [](GENERATOR& g) { return g.filters[0]->HICUT == 300; }},
        // A refused GAIN sets neither GAIN nor AMOUNT.
        {"PCF_1;GAIN=1e30;", "PCF_1 : GAIN=1e30 refuse, hors de -100 a 100",
         [](GENERATOR& g) { return g.filters[0]->GAIN == 1.0f && g.filters[0]->AMOUNT == 1.0f; }},
        {"SEQUENCER_1;DIVIDER=0;", "SEQUENCER_1 : DIVIDER=0 refuse, hors de 0.001 a 44100",
         [](GENERATOR& g) {
             return g.sequencers[0]->DIVIDER == 2.0f && g.sequencers[0]->next_divider == 2.0f;
         }},
        {"SEQUENCER_1;NBR_STEP=0;", "SEQUENCER_1 : NBR_STEP=0 refuse, hors de 1 a 64",
         [](GENERATOR& g) { return g.sequencers[0]->NBR_STEP == 32; }},
        {"SEQUENCER_1;NOTE_000_001=2000;", "SEQUENCER_1 : NOTE_000_001=2000 refuse, hors de 0 a 1999",
         [](GENERATOR& g) {
             return g.sequencers[0]->step_note[0][1] == 10 && g.sequencers[0]->step_octave[0][1] == 3;
         }},
        {"SEQUENCER_1;VOLUME_000_001=-101;", "SEQUENCER_1 : VOLUME_000_001=-101 refuse, hors de -100 a 100",
         [](GENERATOR& g) { return g.sequencers[0]->step_volume[0][1] == 1.0f; }},
        {"SEQUENCER_1;LENGHT_2=nan;", "SEQUENCER_1 : LENGHT_2=nan refuse, hors de 0 a 65536",
         [](GENERATOR& g) { return g.sequencers[0]->step_length[0][2] == 1.0f; }},
        {"SEQUENCER_1;PLAYING_PATTERN=32;", "SEQUENCER_1 : PLAYING_PATTERN=32 refuse, hors de 0 a 31",
         [](GENERATOR& g) { return g.sequencers[0]->pattern == 0; }},
        {"SEQUENCER_1;NOTE_064_000=1;", "SEQUENCER_1 : NOTE_064_000=1 ne designe aucune case",
         [](GENERATOR& g) { return g.sequencers[0]->step_note[0][0] == 10; }},
        {"VCA_1;ATTACK=-1;", "VCA_1 : ATTACK=-1 refuse, hors de 0 a 3.6e+06",
         [](GENERATOR& g) { return g.vcas[0]->ATTACK == 1000.0f; }},
        {"VCA_1;SUSTAIN=11;", "VCA_1 : SUSTAIN=11 refuse, hors de 0 a 10",
         [](GENERATOR& g) { return g.vcas[0]->SUSTAIN == 1.0f; }},
        {"KEY_1;OCTAVE=-1;", "KEY_1 : OCTAVE=-1 refuse, hors de 0 a 166",
         [](GENERATOR& g) { return g.keyboards[0]->octave == 4; }},
        {"MIXER_1;LEVEL_03=-11;", "MIXER_1 : LEVEL_03=-11 refuse, hors de -10 a 10",
         [](GENERATOR& g) { return g.mixers[0]->level[3] == 1.0f; }},
        {"MIXER_1;MUTE_30=1;", "MIXER_1 : MUTE_30=1 ne designe aucune case",
         [](GENERATOR& g) { return g.mixers[0]->mute[0] == 0.0f; }},
    };
    for (const REFUSED& c : cases) {
        SCOPED_TRACE(c.declaration);
        graph_ = std::make_unique<GENERATOR>();
        const std::string out = load_printing(c.declaration);
        EXPECT_EQ(at(1) + c.warning + "\n", out);
        EXPECT_TRUE(c.kept(g()));
    }
}

TEST_F(Guards, TheRestOfTheDeclarationAndThePatchLoadAsBefore) {
    const std::string out = load_printing("VCO_1;FREQ=-5;AMOUNT=0.5;TYPE=3; MIXER_4;; END_OBJECTS_DECLARE "
                                          "BEGIN_LINKS_DECLARE MIXER_4;ADD_CHANELL=VCO_1;");
    ASSERT_EQ(1u, g().vcos.size());
    EXPECT_EQ(110.0f, g().vcos[0]->FREQ);
    EXPECT_EQ(0.5f, g().vcos[0]->AMOUNT);
    EXPECT_EQ(3, g().vcos[0]->TYPE);
    EXPECT_EQ(1, g().mixers[0]->input_count);
    EXPECT_EQ(at(1) + "VCO_1 : FREQ=-5 refuse, hors de 0 a 22050\n", out);
}

TEST_F(Guards, FilterTypesAndSwitchesThatPlayLoadAsTheyStand) {
    // The filter plays a type below 0 as 7 and above 7 as 0; a switch is off for 0 and on for any
    // other number. Files rely on both, so any whole number loads, and --check has nothing to say.
    const std::string fields = "PCF_1;TYPE=-1;BYPASS=5;POWER=-1; PCF_2;TYPE=2147483647;BYPASS=0; VCO_1;POWER=2; "
                               "MIXER_4;ENABLED=3;";
    EXPECT_EQ("", load_printing(fields));
    EXPECT_EQ(-1, g().filters[1]->TYPE);
    EXPECT_EQ(2147483647, g().filters[0]->TYPE);
    EXPECT_EQ(5, g().filters[1]->BYPASS);
    EXPECT_EQ(-1, g().filters[1]->power);
    EXPECT_EQ(2, g().vcos[0]->power);
    EXPECT_EQ(3, g().mixers[0]->enabled);
    const auto notes = check_patch_text("BEGIN_OBJECTS_DECLARE " + fields + " END_OBJECTS_DECLARE", "", "t.KVX");
    for (const CHECK_FINDING& f : notes) EXPECT_EQ(f.text.find("TYPE="), std::string::npos) << f.text;
}

TEST_F(Guards, BoundsThemselvesAreAccepted) {
    const std::string out =
        load_printing("VCO_1;FREQ=0;PHASE=-360;NOTE=0; VCO_2;FREQ=22050;PHASE=360; "
                      "PCF_1;Q=0.001;HICUT=1;GAIN=-100; SEQUENCER_1;NBR_STEP=64;DIVIDER=44100;");
    EXPECT_EQ("", out);
    EXPECT_EQ(22050.0f, g().vcos[0]->FREQ);
    EXPECT_EQ(-100.0f, g().filters[0]->GAIN);
    EXPECT_EQ(-10.0f, g().filters[0]->AMOUNT);
    EXPECT_EQ(64, g().sequencers[0]->NBR_STEP);
}

// KEY_1;; ... KEY_n;;
std::string keyboards(size_t n) {
    std::string text;
    for (size_t i = 1; i <= n; ++i)
        text += "KEY_" + std::to_string(i) + ";;\n";
    return text;
}

TEST_F(Guards, APatchMayHoldTenThousandModulesAndNoMore) {
    std::string p = dir_.write("full.KVX", keyboards(PATCH_MODULES_MAX));
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(1, load_objects(graph_.get(), p.c_str()));
    EXPECT_EQ("", ::testing::internal::GetCapturedStdout());
    ASSERT_EQ(PATCH_MODULES_MAX, g().keyboards.size());
    // Newest first, as one module at a time would have put them.
    EXPECT_STREQ("KEY_10000", g().keyboards.front()->name);
    EXPECT_STREQ("KEY_1", g().keyboards.back()->name);

    // One more, here a name that creates two modules: the whole patch is refused.
    graph_ = std::make_unique<GENERATOR>();
    p = dir_.write("over.KVX", keyboards(PATCH_MODULES_MAX - 1) + "VCO_MIXER;TYPE=2;\n");
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(0, load_objects(graph_.get(), p.c_str()));
    EXPECT_EQ("Patch [" + p + "] refuse : plus de 10000 modules\n", ::testing::internal::GetCapturedStdout());
    EXPECT_EQ(0u, total_modules(g()));
}

TEST_F(Guards, AFileThatIsNoPatchGivesAScreenfulNotALinePerWord) {
    // Bytes of a program: words of every length, few of them with two ";".
    std::mt19937 rng(7);
    std::string bytes;
    for (int i = 0; i < 200000; ++i)
        bytes += static_cast<char>(rng() % 256);
    const std::string out = load_printing(bytes);
    int lines = 0, short_words = 0;
    for (size_t at = 0; (at = out.find('\n', at)) != std::string::npos; ++at)
        ++lines;
    for (size_t at = 0; (at = out.find("moins de 2 parametres\n", at)) != std::string::npos; ++at)
        ++short_words;
    EXPECT_EQ(patch_read::MESSAGES_PER_KIND, short_words);
    EXPECT_LE(lines, patch_read::MSG_KIND_COUNT * (patch_read::MESSAGES_PER_KIND + 1));
    // The count of what was left out closes the section.
    const size_t summary = out.find("messages de plus non affiches (mots de moins de 2 parametres)\n");
    ASSERT_NE(std::string::npos, summary) << out;
    EXPECT_EQ(out.size(), out.find('\n', summary) + 1);
}

TEST_F(Guards, TheCapCountsEachSectionAndKindApart) {
    std::string objects, links;
    for (int i = 0; i < 25; ++i) {
        objects += "word" + std::to_string(i) + " VCO_" + std::to_string(i) + ";FREQ=-1; ";
        links += "MIXER_4;ADD_CHANELL=VCO_" + std::to_string(100 + i) + "; ";
    }
    const std::string out =
        load_printing("MIXER_4;; " + objects + " END_OBJECTS_DECLARE BEGIN_LINKS_DECLARE " + links);
    EXPECT_NE(std::string::npos,
              out.find("... 5 messages de plus non affiches (mots de moins de 2 parametres)\n"));
    EXPECT_NE(std::string::npos, out.find("... 5 messages de plus non affiches (valeurs refusees)\n"));
    EXPECT_NE(std::string::npos, out.find("... 5 messages de plus non affiches (modules absents)\n"));
    EXPECT_NE(std::string::npos, out.find(at(1) + "VCO_19 : FREQ=-1")) << "twenty of each kind are shown";
    EXPECT_EQ(std::string::npos, out.find("VCO_20 : FREQ=-1"));
}

TEST_F(Guards, KeysMeantForTheTextBeforeTheEqualSignIgnoreTheSourceName) {
    // Sources whose names hold the keys ADD_CHANELL, SLOT and AUDIO, named after a key that
    // connects nothing: the fields must stay without effect.
    load("VCO_1;TYPE=1; VCO_AUDIO;TYPE=1; VCO_ADD_CHANELL;TYPE=1; VCO_SLOT;TYPE=1; MIXER_4;; "
         "END_OBJECTS_DECLARE BEGIN_LINKS_DECLARE "
         "MIXER_4;X=VCO_ADD_CHANELL;Y=VCO_SLOT; VCO_1;GATE=VCO_AUDIO;");
    EXPECT_EQ(0, g().mixers[0]->input_count);
    VCO* v1 = g().vcos[3];
    ASSERT_STREQ("VCO_1", v1->name);
    EXPECT_EQ(nullptr, v1->input);
    EXPECT_EQ(nullptr, v1->gate_in);
}

} // namespace
