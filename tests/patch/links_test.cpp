// The links section: where it starts, target and source kinds, and each connection form.
#include <string>
#include <unistd.h>

#include "patch_files.h"

namespace {

class Links : public PatchTest {
  protected:
    // Declares the modules, then the links between them.
    void wire(const std::string& objects, const std::string& links) {
        load("BEGIN_OBJECTS_DECLARE\n" + objects + "\nEND_OBJECTS_DECLARE\nBEGIN_LINKS_DECLARE\n" + links +
             "\nEND_LINKS_DECLARE\n");
    }
    template <class M> M* named(const std::vector<M*>& list, const char* name) {
        for (M* m : list)
            if (std::string(m->name) == name) return m;
        ADD_FAILURE() << "no module " << name;
        return nullptr;
    }
    static float* through(MOD_SLOT slot) { return slot != nullptr ? *slot : nullptr; }
};

TEST_F(Links, OnlyWordsAfterTheBeginMarkerConnect) {
    load("VCO_1;TYPE=1; VCA_1;IN=VCO_1; MIXER_4;; END_OBJECTS_DECLARE\nVCA_1;IN=VCO_1;\n");
    // Without BEGIN_LINKS_DECLARE nothing is connected, even words that look like links.
    EXPECT_EQ(nullptr, g().vcas[0]->input);
}

TEST_F(Links, MixerChannelsInFieldOrder) {
    wire("VCO_1;TYPE=1; VCA_1;BYPASS=0; MIXER_4;;", "MIXER_4;ADD_CHANELL=VCO_1;ADD_CHANELL=VCA_1;");
    MIXER* m = g().mixers[0];
    EXPECT_EQ(2, m->input_count);
    EXPECT_EQ(&g().vcos[0]->value, m->inputs[0].input);
    EXPECT_EQ(&g().vcas[0]->value, m->inputs[1].input);
}

TEST_F(Links, ChannelsBeyondTheLastSlotAreIgnored) {
    std::string links = "MIXER_4;";
    for (int i = 0; i < MIXER_SLOTS + 5; ++i)
        links += "ADD_CHANELL=VCO_1;";
    wire("VCO_1;TYPE=1; MIXER_4;;", links);
    MIXER* m = g().mixers[0];
    EXPECT_EQ(MIXER_SLOTS, m->input_count);
    EXPECT_EQ(&g().vcos[0]->value, m->inputs[MIXER_SLOTS - 1].input);
}

TEST_F(Links, LaterModulationReplacesEarlier) {
    wire("VCO_1;TYPE=1; VCO_2;TYPE=1; VCO_3;TYPE=1; VCA_1;BYPASS=0;",
         "VCO_1;MOD_FREQ=VCO_2;MOD_FREQ=VCO_3;MOD_AMP=VCA_1;MOD_PWM=VCO_2;");
    VCO* v1 = named(g().vcos, "VCO_1");
    EXPECT_EQ(&named(g().vcos, "VCO_3")->value, through(v1->mod_freq));
    EXPECT_EQ(&g().vcas[0]->value, through(v1->mod_amp));
    EXPECT_EQ(&named(g().vcos, "VCO_2")->value, through(v1->mod_pwm));
    EXPECT_EQ(nullptr, v1->mod_phase);
}

TEST_F(Links, SingleKeyboardAnswersToAnyKeyName) {
    wire("KEY_A;; VCO_1;TYPE=1; VCA_1;BYPASS=0;", "VCA_1;IN=VCO_1;GATE=KEY_9; VCO_1;IN=KEY_A;SYNC=KEY_7;");
    KEYBOARD* k = g().keyboards[0];
    EXPECT_EQ(&g().vcos[0]->value, g().vcas[0]->input);
    EXPECT_EQ(&k->gate, g().vcas[0]->gate_in);
    EXPECT_EQ(&k->value, g().vcos[0]->input);
    EXPECT_EQ(&k->sync_pulse, g().vcos[0]->sync_in);
}

TEST_F(Links, SeveralKeyboardsAreFoundByName) {
    wire("KEY_1;; KEY_2;; VCO_1;TYPE=1; VCO_2;TYPE=1;", "VCO_1;IN=KEY_1; VCO_2;IN=KEY_3;");
    EXPECT_EQ(&named(g().keyboards, "KEY_1")->value, named(g().vcos, "VCO_1")->input);
    EXPECT_EQ(nullptr, named(g().vcos, "VCO_2")->input);
}

TEST_F(Links, SourceKindsARuleDoesNotAcceptChangeNothing) {
    wire("VCO_1;TYPE=1; VCO_2;TYPE=1; VCA_1;BYPASS=0; SEQUENCER_1;NBR_STEP=32; PCF_1;; MIXER_4;; KEY_1;;",
         "VCO_1;IN=VCO_2;MOD_FREQ=PCF_1;MOD_AMP=MIXER_4; VCA_1;IN=SEQUENCER_1;SYNC=KEY_1; "
         "MIXER_4;ADD_CHANELL=SEQUENCER_1;");
    VCO* v1 = named(g().vcos, "VCO_1");
    EXPECT_EQ(nullptr, v1->input);
    EXPECT_EQ(nullptr, v1->mod_freq);
    EXPECT_EQ(nullptr, v1->mod_amp);
    EXPECT_EQ(nullptr, g().vcas[0]->input);
    EXPECT_EQ(nullptr, g().vcas[0]->gate_in);
    EXPECT_EQ(0, g().mixers[0]->input_count);
}

TEST_F(Links, SequencerSyncAndNoteSources) {
    wire(
        "SEQUENCER_1;NBR_STEP=32; KEY_1;; VCO_1;TYPE=1; PCF_1;; SAMPLER_1;FILE=;",
        "SEQUENCER_1;SYNC=KEY_1; VCO_1;IN=SEQUENCER_1;GATE=SEQUENCER_1;SYNC=SEQUENCER_1; "
        "PCF_1;IN=SEQUENCER_1;GATE=KEY_1;MOD_PHASE=SAMPLER_1; SAMPLER_1;IN=KEY_1;GATE=KEY_1;MOD_FREQ=VCO_1;");
    SEQUENCER* s = g().sequencers[0];
    KEYBOARD* k = g().keyboards[0];
    EXPECT_EQ(&k->sync_pulse, s->sync_in);
    EXPECT_EQ(&s->value, g().vcos[0]->input);
    EXPECT_EQ(&s->gate, g().vcos[0]->gate_in);
    EXPECT_EQ(&s->sync_pulse, g().vcos[0]->sync_in);
    EXPECT_EQ(&s->value, g().filters[0]->input);
    EXPECT_EQ(&k->gate, g().filters[0]->gate_in);
    EXPECT_EQ(&g().samplers[0]->value, through(g().filters[0]->mod_phase));
    SAMPLER* smp = g().samplers[0];
    EXPECT_EQ(&k->value, smp->input);
    EXPECT_EQ(&k->gate, smp->gate_in);
    EXPECT_EQ(&g().vcos[0]->value, through(smp->mod_freq));
}

TEST_F(Links, PortKeywordsMatchTheWholeField) {
    // "IN" applies to any field containing it, the source name included.
    wire("KEY_INTRO;; PCF_1;;", "PCF_1;GATE=KEY_INTRO;");
    EXPECT_EQ(&g().keyboards[0]->gate, g().filters[0]->gate_in);
    EXPECT_EQ(&g().keyboards[0]->value, g().filters[0]->input);
}

TEST_F(Links, DeclarationsWithoutATargetAreNoOpsAndMissingModulesAreNamed) {
    std::string out;
    ::testing::internal::CaptureStdout();
    wire("VCO_1;TYPE=1; MIXER_4;;",
         "OUTPUT_1;MIXER_4; MIXER_9;ADD_CHANELL=VCO_1;; VCO_7;IN=KEY_1; MIXER_4;ADD_CHANELL=VCO_8; "
         "MIXER_4;ADD_CHANELL;ADD_CHANELL=; VCO_1;");
    out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(0, g().mixers[0]->input_count);
    // One line per missing target or source; the writer's master line and fields without a
    // source are silent.
    EXPECT_EQ(at(5) + "pas de module nomme MIXER_9, ses liens sont ignores\n" + at(5) +
                  "pas de module nomme VCO_7, ses liens sont ignores\n" + at(5) +
                  "MIXER_4 : ADD_CHANELL=VCO_8, pas de module nomme VCO_8\n" + at(5) +
                  "Ligne 11 semble avoir moins de 2 parametres\n",
              out);
}

TEST_F(Links, EmptyFieldOfAKnownTargetIsFatal) {
    ::testing::internal::CaptureStdout();
    EXPECT_THROW(wire("VCO_1;TYPE=1; MIXER_4;;", "MIXER_4;;ADD_CHANELL=VCO_1;"), PATCH_FATAL);
    EXPECT_EQ(at(5) + "Erreur, au niveau des parametre ligne [6]\n",
              ::testing::internal::GetCapturedStdout());
}

TEST_F(Links, NamesTooLongForTheirModuleAreNeverMatchedCut) {
    // Two filters whose names differ only in their 800th character: were they cut to the 799 a
    // filter keeps, the link to the first would reach the second.
    const std::string first = "PCF_" + std::string(795, 'L') + "A", second = first.substr(0, 799) + "B";
    ::testing::internal::CaptureStdout();
    wire(first + ";BYPASS=0; " + second + ";BYPASS=0; VCO_" + std::string(200, 'L') + ";TYPE=1; MIXER_4;;",
         "MIXER_4;ADD_CHANELL=" + first + ";ADD_CHANELL=VCO_" + std::string(200, 'L') + ";");
    ::testing::internal::GetCapturedStdout();
    EXPECT_TRUE(g().filters.empty());
    EXPECT_TRUE(g().vcos.empty());
    EXPECT_EQ(0, g().mixers[0]->input_count);
}

TEST_F(Links, VanishedFileConnectsNothing) {
    std::string p = dir_.write("gone.KVX", "VCO_1;TYPE=1; MIXER_4;; END_OBJECTS_DECLARE BEGIN_LINKS_DECLARE "
                                           "MIXER_4;ADD_CHANELL=VCO_1; END_LINKS_DECLARE");
    ASSERT_EQ(1, load_objects(graph_.get(), p.c_str()));
    ASSERT_EQ(0, unlink(p.c_str()));
    EXPECT_EQ(1, load_links(graph_.get(), p.c_str()));
    EXPECT_EQ(0, g().mixers[0]->input_count);
}

} // namespace
