// Envelope behaviour: ungated pass, attack slope, decay and sustain, release, INVERT, gate values.
#include <gtest/gtest.h>

#include "engine/vca.h"

namespace {

constexpr float MS_PER_SAMPLE = 1000.0f / 44100.0f;

struct GatedVca {
    int32_t gate = 1;
    float in = 1.0f;
    VCA vca;
    GatedVca() {
        vca.gate_in = &gate;
        vca.input = &in;
        vca.ATTACK = 10.0f;
        vca.DECAY = 10.0f;
        vca.SUSTAIN = 0.5f;
        vca.RELEASE = 10.0f;
    }
    float run(int samples) {
        for (int i = 0; i < samples; ++i)
            vca.process();
        return vca.value;
    }
};

} // namespace

TEST(Vca, WithoutAGateItOutputsOneWhateverTheInput) {
    float in = 0.3f;
    VCA v;
    v.input = &in;
    v.BYPASS = 0;
    v.process();
    EXPECT_FLOAT_EQ(v.value, 1.0f);
    EXPECT_EQ(v.BYPASS, 1);
}

TEST(Vca, AttackRisesLinearlyFromZero) {
    GatedVca g;
    EXPECT_FLOAT_EQ(g.run(1), 0.0f); // t = 0 on the first gated sample
    EXPECT_NEAR(g.run(1), MS_PER_SAMPLE / 10.0f, 1e-6);
    // After k samples the level is (k - 1) samples' worth of the 10 ms slope.
    EXPECT_NEAR(g.run(98), 99 * MS_PER_SAMPLE / 10.0f, 1e-5);
    EXPECT_NEAR(g.run(100), 199 * MS_PER_SAMPLE / 10.0f, 1e-5);

    // The output is the envelope times the input.
    GatedVca half;
    half.in = 0.5f;
    EXPECT_NEAR(half.run(101), 0.5f * 100 * MS_PER_SAMPLE / 10.0f, 1e-5);
}

TEST(Vca, SustainSettlesAtPeakTimesSustain) {
    GatedVca g;
    g.run(460); // the attack lasts 441 samples
    // Above the sustain level the output sinks by 0.1 % a sample.
    const float top = g.vca.value;
    EXPECT_GT(top, 0.97f);
    EXPECT_NEAR(g.run(1), top * 0.999f, 1e-6);
    EXPECT_FLOAT_EQ(g.run(2000), 0.5f);
    EXPECT_FLOAT_EQ(g.run(1), 0.5f);

    // With SUSTAIN 1 the output after the attack is the input itself.
    GatedVca full;
    full.vca.SUSTAIN = 1.0f;
    full.run(500);
    full.in = 0.3f;
    EXPECT_FLOAT_EQ(full.run(3), 0.3f);
}

TEST(Vca, ZeroSustainDecaysLinearlyToSilence) {
    GatedVca g;
    g.vca.ATTACK = 0.0f; // straight into the decay rule
    g.vca.SUSTAIN = 0.0f;
    EXPECT_FLOAT_EQ(g.run(1), 1.0f);
    EXPECT_NEAR(g.run(220), 1.0f - 220 * MS_PER_SAMPLE / 10.0f, 1e-4);
    EXPECT_NEAR(g.run(221), 0.0f, 3e-3);
    // Past the decay each sample multiplies the previous output by the input.
    const float rest = g.run(100);
    EXPECT_LT(rest, 3e-3f);
    g.in = 0.5f;
    EXPECT_FLOAT_EQ(g.run(1), rest * 0.5f);
}

TEST(Vca, ReleaseRampsLinearlyFromTheLastLevel) {
    GatedVca g;
    g.run(3000); // sustaining at 0.5
    g.gate = 0;
    EXPECT_NEAR(g.run(1), 0.5f * (1.0f - MS_PER_SAMPLE / 10.0f), 1e-6);
    EXPECT_NEAR(g.run(219), 0.5f * (1.0f - 220 * MS_PER_SAMPLE / 10.0f), 1e-5);
    EXPECT_NEAR(g.run(300), 0.0f, 1e-4);

    // One output of exactly 0 (the input crossing 0) ends the release for good.
    GatedVca z;
    z.run(3000);
    z.gate = 0;
    z.run(10);
    z.in = 0.0f;
    EXPECT_FLOAT_EQ(z.run(1), 0.0f);
    z.in = 1.0f;
    EXPECT_FLOAT_EQ(z.run(5), 0.0f);

    // A new gate restarts the attack from 0.
    z.gate = 1;
    EXPECT_FLOAT_EQ(z.run(1), 0.0f);
    EXPECT_NEAR(z.run(1), MS_PER_SAMPLE / 10.0f, 1e-6);
}

TEST(Vca, WithoutReleaseTheOutputKeepsMultiplyingTheInput) {
    GatedVca g;
    g.vca.RELEASE = 0.0f;
    g.run(3000);
    g.in = 0.5f;
    g.gate = 2; // anything but 1 counts as off
    EXPECT_FLOAT_EQ(g.run(1), 0.25f);
    EXPECT_FLOAT_EQ(g.run(1), 0.125f);
}

TEST(Vca, InvertTruncatesTheDistanceFromOne) {
    EXPECT_FLOAT_EQ(vca_invert(0.0f), 1.0f);
    EXPECT_FLOAT_EQ(vca_invert(0.5f), 0.0f);
    EXPECT_FLOAT_EQ(vca_invert(1.0f), 0.0f);
    EXPECT_FLOAT_EQ(vca_invert(1.9f), 0.0f);
    EXPECT_FLOAT_EQ(vca_invert(2.5f), 1.0f);
    EXPECT_FLOAT_EQ(vca_invert(-0.5f), 1.0f);

    // The first gated sample (envelope 0) passes the input; the rest of the attack mutes it.
    GatedVca g;
    g.vca.INVERT = 1;
    g.in = 0.7f;
    EXPECT_FLOAT_EQ(g.run(1), 0.7f);
    EXPECT_FLOAT_EQ(g.run(1), 0.0f);
}

TEST(Vca, AGatedVcaWithoutInputIsSilent) {
    GatedVca g;
    g.vca.input = nullptr;
    g.vca.SUSTAIN = 1.0f;
    EXPECT_FLOAT_EQ(g.run(600), 0.0f);
    g.gate = 0;
    EXPECT_FLOAT_EQ(g.run(10), 0.0f);
}
