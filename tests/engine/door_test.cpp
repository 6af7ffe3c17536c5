// The door into the engine: parameter keys and ranges, links by port, mixer channels, observers.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/door.h"
#include "engine/modules.h"

namespace {

// A graph of one module of each kind, named after its kind.
struct SMALL_GRAPH {
    GENERATOR g;
    DOOR_OBSERVERS observers;
    DOOR door{g, observers};
    SEQUENCER* seq = new SEQUENCER;
    KEYBOARD* key = new KEYBOARD;
    VCO* vco = new VCO;
    SAMPLER* sampler = new SAMPLER;
    VCA* vca = new VCA;
    PCF* pcf = new PCF;
    MIXER* mix = new MIXER;
    SMALL_GRAPH() {
        std::strcpy(seq->name, "SEQUENCER_1");
        std::strcpy(key->name, "KEYBOARD_1");
        std::strcpy(vco->name, "VCO_1");
        std::strcpy(sampler->name, "SAMPLER_1");
        std::strcpy(vca->name, "VCA_1");
        std::strcpy(pcf->name, "PCF_LOW");
        std::strcpy(mix->name, "MIXER_4");
        GENERATOR::push_front(g.sequencers, seq);
        GENERATOR::push_front(g.keyboards, key);
        GENERATOR::push_front(g.vcos, vco);
        GENERATOR::push_front(g.samplers, sampler);
        GENERATOR::push_front(g.vcas, vca);
        GENERATOR::push_front(g.filters, pcf);
        GENERATOR::push_front(g.mixers, mix);
    }
    // The graph's one module of the kind.
    MODULE_REF ref(MODULE_KIND kind) { return {kind, kind_info(kind).access->at(g, 0)}; }
};

} // namespace

TEST(Door, KeysReadBackAsTheyAreWritten) {
    struct CASE {
        MODULE_KIND kind;
        const char* text;
        bool known;
    };
    const CASE cases[] = {
        {KIND_PCF, "HICUT", true},         {KIND_SEQUENCER, "NOTE_003_004", true},
        {KIND_MIXER, "LEVEL_02", true},    {KIND_MIXER, "MUTE_23", true},
        {KIND_SEQUENCER, "DIVIDER", true}, {KIND_SEQUENCER, "LENGHT_063_063", true},
        {KIND_VCO, "HICUT", false},        {KIND_PCF, "HICUTX", false},
        {KIND_SEQUENCER, "NOTE_3_4", false}, {KIND_SEQUENCER, "NOTE_064_000", false},
        {KIND_MIXER, "LEVEL_24", false},   {KIND_MIXER, "LEVEL_", false},
        {KIND_SAMPLER, "FILE", false},
    };
    for (const CASE& c : cases) {
        PARAM_KEY k;
        ASSERT_EQ(param_key_of(c.kind, c.text, k), c.known) << c.text;
        if (c.known) {
            EXPECT_EQ(param_key_text(k), c.text);
        }
    }
}

TEST(Door, ValuesOutsideTheTableAreRefusedAndLeaveTheModule) {
    struct CASE {
        MODULE_KIND kind;
        const char* key;
        double value;
        bool accepted;
        double held; // the value afterwards
    };
    const CASE cases[] = {
        {KIND_PCF, "HICUT", 600, true, 600},
        {KIND_PCF, "HICUT", 0, false, 300},
        {KIND_PCF, "HICUT", 22051, false, 300},
        {KIND_PCF, "Q", 0, false, 1},
        {KIND_PCF, "GAIN", NAN, false, 1},
        {KIND_SEQUENCER, "DIVIDER", 44100, true, 44100},
        {KIND_SEQUENCER, "DIVIDER", 0, false, 2},
        {KIND_SEQUENCER, "DIVIDER", INFINITY, false, 2},
        {KIND_SEQUENCER, "NOTE_000_001", -1992, true, -1992},
        {KIND_SEQUENCER, "OCTAVE_000_001", 167, false, 3},
        {KIND_VCO, "FREQ", -5, false, 110},
        {KIND_VCO, "TYPE", 0, true, 0},
        {KIND_VCA, "SUSTAIN", 0.5, true, 0.5},
        {KIND_KEYBOARD, "OCTAVE", 7, true, 7},
        {KIND_MIXER, "LEVEL_05", -10, true, -10},
        {KIND_MIXER, "MUTE_05", 2, false, 0},
    };
    for (const CASE& c : cases) {
        SMALL_GRAPH s;
        const MODULE_REF m = s.ref(c.kind);
        EXPECT_EQ(s.door.set(m, c.key, c.value), c.accepted) << c.key << " " << c.value;
        PARAM_KEY k;
        ASSERT_TRUE(param_key_of(c.kind, c.key, k));
        double v = 0;
        ASSERT_TRUE(s.door.get(m, k, v));
        EXPECT_DOUBLE_EQ(v, c.held) << c.key;
    }
    // Every reach lies within what a patch may hold, so a stepped value is never refused.
    for (const PARAM_INFO& p : param_table) {
        EXPECT_GE(p.reach.min, p.patch.min) << p.key;
        EXPECT_LE(p.reach.max, p.patch.max) << p.key;
    }
}

TEST(Door, EveryChangeIsToldOnceAndUndoesThroughTheDoor) {
    SMALL_GRAPH s;
    std::vector<DOOR_CHANGE> told;
    s.observers.add([&](const DOOR_CHANGE& c) { told.push_back(c); });
    const MODULE_REF pcf = module_ref(s.pcf);
    s.pcf->HICUT = 1000;

    EXPECT_TRUE(s.door.set(pcf, "HICUT", 600));
    EXPECT_TRUE(s.door.set(pcf, "HICUT", 600)); // accepted, but nothing changed: not told
    EXPECT_FALSE(s.door.set(pcf, "HICUT", -1));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(describe_change(told[0]), "PCF_LOW HICUT 1000 -> 600");
    EXPECT_TRUE(told[0].module == pcf);

    // Undo: the old value set again under the told key.
    EXPECT_TRUE(s.door.set(told[0].module, told[0].key.c_str(), told[0].old_value));
    EXPECT_EQ(s.pcf->HICUT, 1000);

    EXPECT_TRUE(s.door.set(module_ref(s.seq), "NOTE_003_004", 7));
    EXPECT_TRUE(s.door.set(module_ref(s.mix), "LEVEL_02", 0.5));
    ASSERT_EQ(told.size(), 4u);
    EXPECT_EQ(told[2].key, "NOTE_003_004");
    EXPECT_EQ(s.seq->step_note[3][4], 7);
    EXPECT_EQ(describe_change(told[3]), "MIXER_4 LEVEL_02 1 -> 0.5");

    const int handle = s.observers.add([&](const DOOR_CHANGE& c) { told.push_back(c); });
    s.observers.remove(handle);
    s.door.set(pcf, "Q", 2);
    EXPECT_EQ(told.size(), 5u);
}

TEST(Door, PortsTakeOnlyTheSignalsTheirKindsOffer) {
    struct CASE {
        MODULE_KIND consumer;
        LINK_PORT port;
        MODULE_KIND producer;
        bool connects;
    };
    const CASE cases[] = {
        {KIND_VCA, LINK_IN, KIND_VCO, true},
        {KIND_VCA, LINK_GATE, KIND_SEQUENCER, true},
        {KIND_VCA, LINK_GATE, KIND_VCO, false}, // an oscillator has no gate
        {KIND_VCA, LINK_SYNC, KIND_KEYBOARD, false}, // an envelope has no sync input
        {KIND_VCO, LINK_IN, KIND_KEYBOARD, true},
        {KIND_VCO, LINK_SYNC, KIND_SEQUENCER, true},
        {KIND_VCO, LINK_MOD_PWM, KIND_VCA, true},
        {KIND_SAMPLER, LINK_MOD_FREQ, KIND_VCO, true},
        {KIND_PCF, LINK_MOD_AMP, KIND_VCO, true},
        {KIND_PCF, LINK_MOD_PWM, KIND_VCO, false},
        {KIND_SEQUENCER, LINK_SYNC, KIND_KEYBOARD, true},
        {KIND_SEQUENCER, LINK_IN, KIND_KEYBOARD, false},
        {KIND_MIXER, LINK_IN, KIND_VCO, false},
    };
    for (const CASE& c : cases) {
        SMALL_GRAPH s;
        std::vector<DOOR_CHANGE> told;
        s.observers.add([&](const DOOR_CHANGE& ch) { told.push_back(ch); });
        const MODULE_REF consumer = s.ref(c.consumer), producer = s.ref(c.producer);
        const std::string what = std::string(module_name(consumer)) + " " + link_port_text(c.port, 0);
        ASSERT_EQ(s.door.connect(consumer, c.port, producer), c.connects) << what;
        if (!c.connects) {
            EXPECT_TRUE(told.empty()) << what;
            continue;
        }
        EXPECT_TRUE(s.door.producer_of(consumer, c.port) == producer) << what;
        EXPECT_TRUE(s.door.disconnect(consumer, c.port)) << what;
        EXPECT_EQ(s.door.producer_of(consumer, c.port).module, nullptr) << what;
        ASSERT_EQ(told.size(), 2u) << what;
        EXPECT_TRUE(told[0].new_producer == producer && told[0].old_producer.module == nullptr) << what;
        EXPECT_TRUE(told[1].old_producer == producer && told[1].new_producer.module == nullptr) << what;
    }
}

TEST(Door, LinksCarryTheSignalAndTellTheProducerTheyReplace) {
    fill_note_table();
    SMALL_GRAPH s;
    std::vector<std::string> told;
    s.observers.add([&](const DOOR_CHANGE& c) { told.push_back(describe_change(c)); });
    const MODULE_REF vca = module_ref(s.vca), mix = module_ref(s.mix);

    ASSERT_TRUE(s.door.connect(vca, LINK_IN, module_ref(s.vco)));
    ASSERT_TRUE(s.door.connect(vca, LINK_IN, module_ref(s.pcf)));
    EXPECT_EQ(s.vca->input, &s.pcf->value);
    EXPECT_EQ(s.door.add_channel(mix, vca), 0);
    EXPECT_EQ(s.door.add_channel(mix, MODULE_REF{}), 1); // an unconnected channel
    EXPECT_TRUE(s.door.connect(mix, LINK_CHANNEL, module_ref(s.vco), 1));
    EXPECT_FALSE(s.door.connect(mix, LINK_CHANNEL, module_ref(s.vco), 2)) << "slot 2 is not in use";
    const std::vector<std::string> expected = {"VCA_1 IN - -> VCO_1", "VCA_1 IN VCO_1 -> PCF_LOW",
                                               "MIXER_4 CHANNEL_00 - -> VCA_1", "MIXER_4 CHANNEL_01 - -> -",
                                               "MIXER_4 CHANNEL_01 - -> VCO_1"};
    EXPECT_EQ(told, expected);

    // A modulation link reads the producer's signal through its cell.
    s.vco->value = 0.25f;
    ASSERT_TRUE(s.door.connect(module_ref(s.pcf), LINK_MOD_FREQ, module_ref(s.vco)));
    EXPECT_FLOAT_EQ(read_mod(s.pcf->mod_freq), 0.25f);

    for (int i = 2; i < MIXER_SLOTS; ++i)
        EXPECT_EQ(s.door.add_channel(mix, vca), i);
    EXPECT_EQ(s.door.add_channel(mix, vca), -1);
    EXPECT_EQ(s.door.add_channel(vca, vca), -1);

    // Only the last channel is taken back, and it is told as the slot removed.
    told.clear();
    EXPECT_FALSE(s.door.remove_channel(mix, MIXER_SLOTS - 2));
    EXPECT_TRUE(s.door.remove_channel(mix, MIXER_SLOTS - 1));
    EXPECT_EQ(s.mix->input_count, MIXER_SLOTS - 1);
    EXPECT_EQ(s.door.add_channel(mix, MODULE_REF{}), MIXER_SLOTS - 1);
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(told[0], "MIXER_4 CHANNEL_23 VCA_1 -> -");
    EXPECT_FALSE(s.door.remove_channel(vca, 0));
}

TEST(Door, ALinkOfThePlayingGraphLeavesTheStreamAsItFoundIt) {
    SMALL_GRAPH s;
    GENERATOR* before = generator;
    generator = &s.g;
    audio_running.store(0);
    s.door.connect(module_ref(s.vca), LINK_IN, module_ref(s.vco));
    EXPECT_EQ(audio_running.load(), 0) << "a stopped stream is not started";
    audio_running.store(1);
    s.door.connect(module_ref(s.vca), LINK_GATE, module_ref(s.key));
    EXPECT_EQ(audio_running.load(), 1) << "a running stream runs on";
    audio_running.store(0);
    generator = before;
}
