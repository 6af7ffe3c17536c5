// Declaration and link lines of the patch writer, and the key tables they rely on.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "patch/module_order.h"
#include "patch/patch_keys.h"
#include "patch/patch_writer.h"
#include "patch_files.h"

namespace {

// What a writer function puts into a stream.
template <class WRITE> std::string written(WRITE write) {
    char* buf = nullptr;
    size_t size = 0;
    FILE* f = open_memstream(&buf, &size);
    write(f);
    std::fclose(f);
    std::string out(buf, size);
    std::free(buf);
    return out;
}

// Every pair of keys of one kind: a field holding one must not apply the other.
void expect_no_key_inside_another(const char* const* keys, int count, const char* kind) {
    for (int i = 0; i < count; ++i)
        for (int j = 0; j < count; ++j)
            if (i != j) {
                EXPECT_EQ(nullptr, std::strstr(keys[i], keys[j]))
                    << kind << ": " << keys[j] << " inside " << keys[i];
            }
}

TEST(PatchKeys, NoKeyContainsAnotherOfItsKind) {
    for (int kind = 0; kind < KIND_COUNT; ++kind) {
        OBJECT_KEYS keys = kind_keys(static_cast<MODULE_KIND>(kind));
        ASSERT_GT(keys.count, 0);
        std::vector<const char*> texts;
        for (int i = 0; i < keys.count; ++i)
            texts.push_back(keys.keys[i].text);
        expect_no_key_inside_another(texts.data(), keys.count,
                                     kind_info(static_cast<MODULE_KIND>(kind)).patch_word);
    }
    // The historic "*DIVIDER" the writer uses must still be read as DIVIDER and nothing else.
    for (int k = 0; k < SK_COUNT; ++k)
        EXPECT_EQ(k == SK_DIVIDER, std::strstr("*DIVIDER=2;", sequencer_keys[k].text) != nullptr)
            << sequencer_keys[k].text;
}

TEST(PatchKeys, NoLinkPortContainsAnotherOfItsTarget) {
    for (int t = 0; t < KIND_COUNT; ++t) {
        PORT_RULES r = kind_ports(static_cast<MODULE_KIND>(t));
        std::vector<const char*> keys;
        for (int i = 0; i < r.count; ++i)
            if (std::find_if(keys.begin(), keys.end(),
                             [&](const char* k) { return !std::strcmp(k, r.rules[i].key); }) == keys.end())
                keys.push_back(r.rules[i].key);
        expect_no_key_inside_another(keys.data(), static_cast<int>(keys.size()), "links");
    }
}

TEST(PatchKeys, RefusedConnectionsGetTheirOwnKeys) {
    EXPECT_STREQ("IN", port_key_for(KIND_VCO, PORT_INPUT, KIND_KEYBOARD));
    EXPECT_STREQ(AUDIO_KEY, port_key_for(KIND_VCO, PORT_INPUT, KIND_VCO));
    EXPECT_STREQ("MOD_AMP", port_key_for(KIND_PCF, PORT_MOD_AMP, KIND_VCA));
    EXPECT_STREQ(CV_AMP_KEY, port_key_for(KIND_SAMPLER, PORT_MOD_AMP, KIND_VCA));
    EXPECT_STREQ("IN", port_key_for(KIND_PCF, PORT_INPUT, KIND_SEQUENCER));
    EXPECT_STREQ("ADD_CHANELL", port_key_for(KIND_MIXER, PORT_CHANNEL, KIND_MIXER));
    EXPECT_EQ(nullptr, port_key_for(KIND_MIXER, PORT_CHANNEL, KIND_KEYBOARD));
    EXPECT_EQ(nullptr, port_key_for(KIND_PCF, PORT_MOD_PWM, KIND_VCO));
    EXPECT_EQ(nullptr, port_key_for(KIND_VCA, PORT_SYNC, KIND_KEYBOARD));
}

TEST(ModuleOrder, KindsInPanelOrderEachInListOrder) {
    GENERATOR g;
    auto* v1 = new VCO;
    auto* v2 = new VCO;
    auto* m = new MIXER;
    auto* k = new KEYBOARD;
    auto* s = new SAMPLER;
    std::strcpy(s->name, "SAMPLER_1");
    g.vcos = {v1, v2};
    g.mixers = {m};
    g.keyboards = {k};
    g.samplers = {s};
    std::vector<MODULE_REF> order = module_order(g);
    ASSERT_EQ(5u, order.size());
    EXPECT_EQ(KIND_KEYBOARD, order[0].kind);
    EXPECT_EQ(v1, order[1].as<VCO>());
    EXPECT_EQ(v2, order[2].as<VCO>());
    EXPECT_EQ(KIND_SAMPLER, order[3].kind);
    EXPECT_EQ(KIND_MIXER, order[4].kind);
    // A sampler is known by its own name, not its oscillator part's.
    EXPECT_STREQ("SAMPLER_1", module_name(order[3]));
    EXPECT_EQ(&s->value, module_value(order[3]));
}

class Writer : public PatchTest {};

TEST_F(Writer, OscillatorLineKeepsFractionsAndAddsItsOwnKeys) {
    VCO v;
    std::strcpy(v.name, "VCO_1");
    v.TYPE = 3;
    v.FREQ = 220.5f;
    v.AMOUNT = 0.125f;
    v.PHASE = 12.75f;
    v.PWM = 0.25f;
    v.power = 0;
    EXPECT_EQ("VCO_1;TYPE=3;FREQ=220.5;AMOUNT=0.125;PHASE=12.75;PWM=0.25;POWER=0;\n",
              written([&](FILE* f) { write_declaration(f, v); }));
    // Silence (TYPE 0) cannot be told by TYPE's first character: TYPE keeps the line readable
    // and WAVEFORM, read after it, sets the silence.
    v.TYPE = 0;
    EXPECT_NE(std::string::npos, written([&](FILE* f) { write_declaration(f, v); }).find(";TYPE=1;"));
    EXPECT_NE(std::string::npos, written([&](FILE* f) { write_declaration(f, v); }).find(";WAVEFORM=0;\n"));
    // Nine digits give back the very float.
    v.FREQ = 0.1f;
    EXPECT_NE(std::string::npos,
              written([&](FILE* f) { write_declaration(f, v); }).find("FREQ=0.100000001;"));
}

TEST_F(Writer, FilterWritesAmountAfterGain) {
    PCF p;
    std::strcpy(p.name, "PCF_1");
    p.GAIN = 25.5f;
    p.AMOUNT = 0.5f;
    p.BYPASS = 0;
    EXPECT_EQ("PCF_1;HICUT=300;Q=1;GAIN=25.5;TYPE=3;AMOUNT=0.5;BYPASS=0;POWER=1;\n",
              written([&](FILE* f) { write_declaration(f, p); }));
}

TEST_F(Writer, UntouchedMixersAndKeyboardsKeepTheShortForm) {
    MIXER m;
    std::strcpy(m.name, "MIXER_4");
    KEYBOARD k;
    std::strcpy(k.name, "KEY_1");
    EXPECT_EQ("MIXER_4;;\n", written([&](FILE* f) { write_declaration(f, m); }));
    EXPECT_EQ("KEY_1;;\n", written([&](FILE* f) { write_declaration(f, k); }));
    m.level[0] = 0.5f;
    m.mute[13] = 1.0f;
    m.enabled = 0;
    k.octave = 6;
    k.key = 11;
    EXPECT_EQ("MIXER_4;ENABLED=0;LEVEL_00=0.5;MUTE_13=1;\n",
              written([&](FILE* f) { write_declaration(f, m); }));
    EXPECT_EQ("KEY_1;OCTAVE=6;NOTE=11;\n", written([&](FILE* f) { write_declaration(f, k); }));
}

TEST_F(Writer, SequencerWritesOnlyCellsThatDifferFromTheirDefault) {
    SEQUENCER s;
    std::strcpy(s.name, "SEQUENCER_1");
    EXPECT_EQ("SEQUENCER_1;*DIVIDER=2;NBR_STEP=32;POWER=1;", sequencer_word(s));
    s.step_note[40][63] = 2;
    s.step_octave[40][63] = 2; // note number 26
    s.step_note[0][1] = 12;    // octave 3, note 12: number 48, which reads back as octave 4
    s.step_volume[1][0] = 0.5f;
    s.step_length[0][2] = 2.0f;
    s.step_bypass[63][0] = 1;
    s.next_divider = 4.0f;
    s.pattern = 2;
    s.next_pattern = 5;
    EXPECT_EQ("SEQUENCER_1;*DIVIDER=2;NBR_STEP=32;WISHED_TEMPO=4;POWER=1;PLAYING_PATTERN=2;WISHED_PATTERN=5;"
              "NOTE_000_001=48;OCTAVE_000_001=3;NOTE_040_063=26;VOLUME_001_000=0.5;LENGHT_000_002=2;"
              "BYPASS_063_000=1;",
              sequencer_word(s));
}

TEST_F(Writer, LinkLinesNameSourcesByTheirPortsAddress) {
    load("VCO_1;TYPE=1; VCO_2;TYPE=1; SAMPLER_1;FILE=; VCA_1;BYPASS=0; PCF_1;; MIXER_4;; KEY_1;; "
         "SEQUENCER_1;NBR_STEP=8;\n"
         "END_OBJECTS_DECLARE BEGIN_LINKS_DECLARE\n"
         "VCO_1;IN=KEY_1;MOD_AMP=SAMPLER_1;GATE=SEQUENCER_1;SYNC=KEY_1;\n"
         "MIXER_4;ADD_CHANELL=VCA_1;ADD_CHANELL=PCF_1;ADD_CHANELL=VCO_2;\n"
         "SEQUENCER_1;SYNC=KEY_1;\n");
    VCO* v1 = g().vcos[1];
    VCO* v2 = g().vcos[0];
    ASSERT_STREQ("VCO_1", v1->name);
    auto links = [&](const MODULE_REF& m) { return written([&](FILE* f) { write_links(f, g(), m); }); };
    EXPECT_EQ("VCO_1;IN=KEY_1;MOD_AMP=SAMPLER_1;GATE=SEQUENCER_1;SYNC=KEY_1;\n", links(module_ref(v1)));
    EXPECT_EQ("MIXER_4;ADD_CHANELL=VCA_1;ADD_CHANELL=PCF_1;ADD_CHANELL=VCO_2;\n",
              links(module_ref(g().mixers[0])));
    EXPECT_EQ("SEQUENCER_1;SYNC=KEY_1;\n", links(module_ref(g().sequencers[0])));
    // No connection, no line; keyboards have no inputs.
    EXPECT_EQ("", links(module_ref(v2)));
    EXPECT_EQ("", links(module_ref(g().keyboards[0])));

    // Connections the historic ports refuse, and a mixer channel emptied by the cable editor.
    v2->input = &g().filters[0]->value;
    v2->mod_pwm = g().new_mod_cell(&g().mixers[0]->value);
    g().mixers[0]->inputs[1].input = nullptr;
    g().mixers[0]->add_channel(&g().keyboards[0]->value);
    g().vcas[0]->input = &g().sequencers[0]->value;
    EXPECT_EQ("VCO_2;AUDIO=PCF_1;CV_PWM=MIXER_4;\n", links(module_ref(v2)));
    EXPECT_EQ("MIXER_4;ADD_CHANELL=VCA_1;SLOT=;ADD_CHANELL=VCO_2;SLOT=KEY_1;\n",
              links(module_ref(g().mixers[0])));
    EXPECT_EQ("VCA_1;AUDIO=SEQUENCER_1;\n", links(module_ref(g().vcas[0])));
}

TEST_F(Writer, WholePatchFramesTheSections) {
    load("VCO_1;TYPE=2; MIXER_4;; END_OBJECTS_DECLARE BEGIN_LINKS_DECLARE MIXER_4;ADD_CHANELL=VCO_1;");
    std::string text = written([&](FILE* f) { EXPECT_TRUE(write_patch(f, g())); });
    EXPECT_EQ("BEGIN_OBJECTS_DECLARE\n\n"
              "VCO_1;TYPE=2;FREQ=110;AMOUNT=1;PHASE=" +
                  written([&](FILE* f) { std::fprintf(f, "%.9g", g().vcos[0]->PHASE); }) +
                  ";PWM=0.100000001;POWER=1;\n"
                  "MIXER_4;;\n"
                  "END_OBJECTS_DECLARE\n\n"
                  "BEGIN_LINKS_DECLARE\n"
                  "MIXER_4;ADD_CHANELL=VCO_1;\n"
                  "\nOUTPUT_1;MIXER_4;\n"
                  "END_LINKS_DECLARE\n",
              text);
}

} // namespace
