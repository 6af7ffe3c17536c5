// The graph: sweep order and its one-sample delays, feedback, ownership; note table and helpers.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "engine/modules.h"

TEST(Graph, LaterModulesAreHeardOneSampleLate) {
    fill_note_table();
    GENERATOR g;
    auto* key = new KEYBOARD;
    auto* osc = new VCO;
    auto* amp = new VCA; // ungated: a constant 1.0 from its first sample
    auto* mix = new MIXER;
    GENERATOR::push_front(g.keyboards, key);
    GENERATOR::push_front(g.vcos, osc);
    GENERATOR::push_front(g.vcas, amp);
    GENERATOR::push_front(g.mixers, mix);
    osc->input = &key->value;
    osc->FREQ = 44.0f;
    mix->add_channel(&amp->value);

    g.sweep();
    // The oscillator, later in the sweep than the keyboard, hears this sample's note...
    EXPECT_NEAR(osc->played_freq, 261.6256f, 1e-3);
    // ...while the mixer, earlier than the VCA, hears its initial 0.
    EXPECT_FLOAT_EQ(amp->value, 1.0f);
    EXPECT_FLOAT_EQ(mix->value, 0.0f);
    g.sweep();
    EXPECT_FLOAT_EQ(mix->value, 1.0f);
}

TEST(Graph, AFeedbackLoopCarriesOneSampleOfDelay) {
    // mixer <- (filter, 1.0); filter <- mixer, bypassed: m[n] = (m[n-1] + 1) / 2.
    float one = 1.0f;
    GENERATOR g;
    auto* mix = new MIXER;
    auto* filter = new PCF;
    GENERATOR::push_front(g.mixers, mix);
    GENERATOR::push_front(g.filters, filter);
    mix->add_channel(&filter->value);
    mix->add_channel(&one);
    filter->input = &mix->value;
    const float expected[] = {0.5f, 0.75f, 0.875f, 0.9375f};
    for (float e : expected) {
        g.sweep();
        EXPECT_FLOAT_EQ(mix->value, e);
        EXPECT_FLOAT_EQ(filter->value, e);
    }
}

TEST(Graph, EachListRunsFromItsFrontInReverseCreationOrder) {
    // Two mixers in one list: the newer (front) one runs first and hears the older one late.
    float one = 1.0f;
    GENERATOR g;
    auto* older = new MIXER;
    auto* newer = new MIXER;
    GENERATOR::push_front(g.mixers, older);
    GENERATOR::push_front(g.mixers, newer);
    ASSERT_EQ(g.mixers.front(), newer);
    older->add_channel(&one);
    newer->add_channel(&older->value);
    g.sweep();
    EXPECT_FLOAT_EQ(older->value, 1.0f);
    EXPECT_FLOAT_EQ(newer->value, 0.0f);
    g.sweep();
    EXPECT_FLOAT_EQ(newer->value, 1.0f);
}

TEST(Graph, SequencerNoteAndGateReachTheVoiceInTheSameSample) {
    fill_note_table();
    GENERATOR g;
    auto* seq = new SEQUENCER;
    auto* amp = new VCA;
    float in = 1.0f;
    GENERATOR::push_front(g.sequencers, seq);
    GENERATOR::push_front(g.vcas, amp);
    amp->gate_in = &seq->gate;
    amp->input = &in;
    for (int i = 0; i < 22049; ++i)
        g.sweep();
    EXPECT_EQ(seq->gate, 0);
    EXPECT_FLOAT_EQ(amp->env_time, 0.0f);
    g.sweep();
    EXPECT_EQ(seq->gate, 1);
    // The envelope clock starts on the very sample the step opens.
    EXPECT_GT(amp->env_time, 0.0f);
}

TEST(Graph, EnvelopesRunBeforeFiltersInTheSameSample) {
    // A keyboard gates an envelope on a constant; a bypassed filter passes the envelope on. The
    // filters' list comes after the envelopes', so during the attack, where the envelope moves
    // every sample, the filter carries this sample's envelope and not the previous one.
    float one = 1.0f;
    GENERATOR g;
    auto* key = new KEYBOARD;
    auto* amp = new VCA;
    auto* filter = new PCF;
    GENERATOR::push_front(g.keyboards, key);
    GENERATOR::push_front(g.vcas, amp);
    GENERATOR::push_front(g.filters, filter);
    amp->gate_in = &key->gate;
    amp->input = &one;
    amp->ATTACK = 10.0f;
    filter->input = &amp->value;
    key->gate = 1;
    float previous = 0.0f;
    for (int n = 0; n < 50; ++n) {
        g.sweep();
        if (n > 0) {
            EXPECT_GT(amp->value, previous);
        }
        EXPECT_EQ(filter->value, amp->value);
        previous = amp->value;
    }
}

TEST(Graph, ModulationCellsKeepTheirAddress) {
    float a = 0.25f, b = -0.5f;
    GENERATOR g;
    MOD_SLOT first = g.new_mod_cell(&a);
    for (int i = 0; i < 5000; ++i)
        g.new_mod_cell(&b);
    EXPECT_EQ(*first, &a);
    EXPECT_FLOAT_EQ(read_mod(first), 0.25f);
}

TEST(Graph, FindsTheMasterMixerByExactName) {
    GENERATOR g;
    auto* m1 = new MIXER;
    auto* lower = new MIXER;
    auto* master = new MIXER;
    copy_name(m1->name, sizeof m1->name, "MIXER_1");
    copy_name(lower->name, sizeof lower->name, "mixer_4");
    copy_name(master->name, sizeof master->name, "MIXER_4");
    GENERATOR::push_front(g.mixers, m1);
    GENERATOR::push_front(g.mixers, lower);
    EXPECT_EQ(find_master_mixer(&g), nullptr);
    GENERATOR::push_front(g.mixers, master);
    EXPECT_EQ(find_master_mixer(&g), master);
    EXPECT_EQ(find_by_name(g.mixers, "MIXER_1"), m1);
    EXPECT_EQ(find_master_mixer(nullptr), nullptr);
}

TEST(Graph, ReleasedModulesBelongToTheCaller) {
    auto* g = new GENERATOR;
    auto* mix = new MIXER;
    GENERATOR::push_front(g->mixers, mix);
    g->release_modules();
    EXPECT_TRUE(g->mixers.empty());
    delete g;
    mix->process(); // still alive
    EXPECT_FLOAT_EQ(mix->value, 0.0f);
    delete mix;
}

TEST(NoteTable, EqualTemperedFromFifteenHertz) {
    fill_note_table();
    EXPECT_NEAR(note_table[0], 8.1757989 * std::pow(2.0, 11.0 / 12.0), 1e-6); // 15.43 Hz
    EXPECT_NEAR(note_table[46], 220.0, 1e-4);
    EXPECT_NEAR(note_table[49], 261.6256, 1e-4);
    EXPECT_NEAR(note_table[58] / note_table[46], 2.0, 1e-6);
    EXPECT_TRUE(std::isfinite(note_table[NOTE_TABLE_SIZE - 1]));
    EXPECT_NEAR(note_table[NOTE_TABLE_SIZE - 1] / 2.17e51, 1.0, 0.01);
}

// The exponent is (i + 11) times the float 1/12, rounded as a float: entries 0, 12 and 35 differ
// in their last bits from a table whose exponent is worked in double precision, and the pitch of
// every patch rests on these bits.
TEST(NoteTable, ExponentIsRoundedInSinglePrecision) {
    fill_note_table();
    auto bits = [](double v) {
        uint64_t b;
        std::memcpy(&b, &v, sizeof b);
        return b;
    };
    EXPECT_EQ(bits(note_table[0]), 0x402ede2206a394abull);
    EXPECT_EQ(bits(note_table[12]), 0x403ede221c08ec08ull);
    EXPECT_EQ(bits(note_table[35]), 0x405d229ef950ce8aull);
    EXPECT_EQ(bits(note_table[46]), 0x406b7fffff1e00daull); // 220 Hz, just below
    EXPECT_EQ(bits(note_table[49]), 0x40705a02503c5876ull);
    EXPECT_EQ(bits(note_table[1999]), 0x4a971fe9270c03baull);
}

TEST(NoteTable, IndicesFromUserDataAreClamped) {
    fill_note_table();
    EXPECT_EQ(note_at(-1), note_table[0]);
    EXPECT_EQ(note_at(INT_MIN), note_table[0]);
    EXPECT_EQ(note_at(NOTE_TABLE_SIZE), note_table[NOTE_TABLE_SIZE - 1]);
    EXPECT_EQ(note_at(1, 4), note_table[49]);
    EXPECT_EQ(note_at(11, 7), note_table[95]);
    EXPECT_EQ(note_at(INT_MAX, INT_MAX), note_table[NOTE_TABLE_SIZE - 1]);
    EXPECT_EQ(note_at(INT_MIN, INT_MIN), note_table[0]);
}

TEST(Ports, SyncRequestGivesAOneSamplePulse) {
    OUTPUT_SYNC s;
    s.sync_pending = 1;
    s.OUTPUT_SYNC::process();
    EXPECT_EQ(s.sync_pulse, 1);
    s.OUTPUT_SYNC::process();
    EXPECT_EQ(s.sync_pulse, 0);

    OUTPUT_GATE gt;
    gt.OUTPUT_GATE::process();
    gt.OUTPUT_GATE::process();
    EXPECT_FLOAT_EQ(gt.gate_time, 2.0f);
}

TEST(Ports, NamesAreCutToTheirArray) {
    char name[5];
    copy_name(name, sizeof name, "ABCDEFG");
    EXPECT_STREQ(name, "ABCD");
    copy_name(name, sizeof name, "AB");
    EXPECT_STREQ(name, "AB");
    copy_name(name, sizeof name, nullptr);
    EXPECT_STREQ(name, "");

    VCO v;
    EXPECT_STREQ(v.name, "Emptynamed_VCO");
    EXPECT_GE(v.PHASE, 0.0f);
    EXPECT_LE(v.PHASE, 359.0f);
    EXPECT_EQ(v.PHASE, std::floor(v.PHASE));
}

TEST(Random, RepeatableAndInRange) {
    synth_srand(1234);
    int first[8];
    for (int& x : first)
        x = synth_rand();
    synth_srand(1234);
    bool odd = false, even = false;
    for (int x : first) {
        EXPECT_EQ(synth_rand(), x);
        odd |= (x & 1) != 0;
        even |= (x & 1) == 0;
    }
    EXPECT_TRUE(odd && even);
    int lo = SYNTH_RAND_MAX, hi = 0;
    for (int i = 0; i < 100000; ++i) {
        int x = synth_rand();
        ASSERT_GE(x, 0);
        ASSERT_LE(x, SYNTH_RAND_MAX);
        lo = std::min(lo, x);
        hi = std::max(hi, x);
    }
    EXPECT_LT(lo, 100);
    EXPECT_GT(hi, SYNTH_RAND_MAX - 100);
}
