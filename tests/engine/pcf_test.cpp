// Filter behaviour: bypass and scaling, the analytic responses of each shape, caching, zero input.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "engine/pcf.h"

namespace {

const double PI = 3.14159265358979323846;
const double SIX_DB = std::pow(10.0, 6.0 / 20.0); // 1.9953

struct Filter {
    float in = 0.0f;
    PCF pcf;
    Filter(int type, int hicut, float q, float gain_db) {
        pcf.input = &in;
        pcf.BYPASS = 0;
        pcf.TYPE = type;
        pcf.HICUT = hicut;
        pcf.Q = q;
        pcf.GAIN = gain_db;
        pcf.AMOUNT = 0.0f; // filtered sample x (0 + 1)
    }
    float feed(float x) {
        in = x;
        pcf.process();
        return pcf.value;
    }
    // Gain for a constant input, once settled.
    double dc_gain() {
        for (int i = 0; i < 20000; ++i)
            feed(0.4f);
        return feed(0.4f) / 0.4;
    }
    // Gain for a sine: RMS out over RMS in across whole periods, once settled.
    double gain_at(double hz) {
        const double amp = 0.4;
        auto x = [&](int n) { return static_cast<float>(amp * std::sin(2 * PI * hz * n / 44100.0 + 0.1)); };
        int n = 0;
        for (; n < 4410; ++n)
            feed(x(n));
        double in_sq = 0, out_sq = 0;
        for (int end = n + 44100; n < end; ++n) {
            const float xi = x(n);
            const float yi = feed(xi);
            in_sq += double(xi) * xi;
            out_sq += double(yi) * yi;
        }
        return std::sqrt(out_sq / in_sq);
    }
    // Gain at half the sample rate: an alternating input.
    double nyquist_gain() {
        float y = 0;
        for (int i = 0; i < 20000; ++i)
            y = feed(i % 2 ? -0.3f : 0.3f);
        return std::fabs(y) / 0.3;
    }
};

} // namespace

TEST(Pcf, ANewFilterPassesItsInputClipped) {
    float in = 0.3f;
    PCF f;
    f.input = &in;
    f.process();
    EXPECT_FLOAT_EQ(f.value, 0.3f);
    in = 1.5f;
    f.process();
    EXPECT_FLOAT_EQ(f.value, 1.0f);
    in = -2.0f;
    f.process();
    EXPECT_FLOAT_EQ(f.value, -1.0f);

    PCF unplugged;
    unplugged.value = 0.5f;
    unplugged.process();
    EXPECT_FLOAT_EQ(unplugged.value, 0.0f);
}

TEST(Pcf, TypeZeroScalesByAmountPlusOne) {
    Filter f(0, 300, 1.0f, 0.0f);
    f.pcf.AMOUNT = 1.0f;
    EXPECT_FLOAT_EQ(f.feed(0.3f), 0.6f);
    EXPECT_FLOAT_EQ(f.feed(0.7f), 1.0f); // 1.4 clipped
    EXPECT_FLOAT_EQ(f.feed(-0.2f), -0.4f);
}

TEST(Pcf, LowAndHighPassAreThreeDecibelsDownAtTheCutoff) {
    const double half_power = std::sqrt(0.5);
    EXPECT_NEAR(Filter(1, 1000, 0.70710678f, 0.0f).dc_gain(), 1.0, 1e-5);
    EXPECT_NEAR(Filter(1, 1000, 0.70710678f, 0.0f).gain_at(1000), half_power, 0.005);
    EXPECT_LT(Filter(1, 1000, 0.70710678f, 0.0f).gain_at(10000), 0.03);

    EXPECT_NEAR(Filter(2, 1000, 0.70710678f, 0.0f).dc_gain(), 0.0, 1e-5);
    EXPECT_NEAR(Filter(2, 1000, 0.70710678f, 0.0f).gain_at(1000), half_power, 0.005);
    EXPECT_NEAR(Filter(2, 1000, 0.70710678f, 0.0f).nyquist_gain(), 1.0, 1e-3);

    // The gain term G scales the pass band: +6 dB doubles the low-pass's DC level.
    EXPECT_NEAR(Filter(1, 1000, 0.70710678f, 6.0f).dc_gain(), SIX_DB, 1e-4);
}

TEST(Pcf, BandPassAndNotchAtTheirCentre) {
    EXPECT_NEAR(Filter(3, 2000, 2.0f, 6.0f).gain_at(2000), SIX_DB, 0.01);
    EXPECT_NEAR(Filter(3, 2000, 2.0f, 6.0f).dc_gain(), 0.0, 1e-5);
    EXPECT_LT(Filter(3, 2000, 2.0f, 0.0f).gain_at(8000), 0.2);

    EXPECT_LT(Filter(4, 2000, 2.0f, 0.0f).gain_at(2000), 0.01);
    EXPECT_NEAR(Filter(4, 2000, 2.0f, 0.0f).dc_gain(), 1.0, 1e-5);
}

TEST(Pcf, ShelvesAndPeakingReachTheirGain) {
    // The shelves and the peak reach A^2 = 10^(GAIN/20) on their side and unity elsewhere.
    EXPECT_NEAR(Filter(5, 500, 1.0f, 6.0f).dc_gain(), SIX_DB, 1e-4);
    EXPECT_NEAR(Filter(5, 500, 1.0f, 6.0f).nyquist_gain(), 1.0, 1e-3);
    EXPECT_NEAR(Filter(6, 5000, 1.0f, 6.0f).nyquist_gain(), SIX_DB, 1e-3);
    EXPECT_NEAR(Filter(6, 5000, 1.0f, 6.0f).dc_gain(), 1.0, 1e-4);
    EXPECT_NEAR(Filter(7, 2000, 1.0f, 6.0f).gain_at(2000), SIX_DB, 0.01);
    EXPECT_NEAR(Filter(7, 2000, 1.0f, 6.0f).dc_gain(), 1.0, 1e-4);
}

TEST(Pcf, WetShareAndOutputScale) {
    Filter dry(1, 200, 0.7f, 0.0f);
    dry.pcf.mix = 0.0f;
    EXPECT_FLOAT_EQ(dry.feed(0.37f), 0.37f);

    // A source at -1 on the amplitude slot takes the wet share to 0.
    float minus_one = -1.0f;
    float* cell = &minus_one;
    Filter modulated(1, 200, 0.7f, 0.0f);
    modulated.pcf.mod_amp = &cell;
    EXPECT_FLOAT_EQ(modulated.feed(-0.21f), -0.21f);

    Filter doubled(1, 1000, 0.7f, 0.0f);
    doubled.pcf.AMOUNT = 1.0f;
    for (int i = 0; i < 20000; ++i)
        doubled.feed(0.25f);
    EXPECT_NEAR(doubled.feed(0.25f), 0.5f, 1e-5);

    Filter blend(1, 1000, 0.7f, 0.0f);
    blend.pcf.mix = 0.5f;
    blend.pcf.AMOUNT = 1.0f;
    for (int i = 0; i < 20000; ++i)
        blend.feed(0.2f);
    EXPECT_NEAR(blend.feed(0.2f), 0.5f * 0.2f + 0.5f * 0.4f, 1e-5);
}

TEST(Pcf, AnExactZeroInputRunsARingingFilter) {
    // A zero is an input like any other: the tail of a ringing filter goes on through it, as
    // the difference equation says, instead of dropping to 0 for one sample.
    Filter f(1, 1000, 4.0f, 0.0f);
    for (int i = 0; i < 100; ++i)
        f.feed(0.5f);
    BIQUAD_STATE m = f.pcf.memory;
    const BIQUAD_COEFFS& k = f.pcf.coeffs;
    const double y = k.c[3] * (0.0 + m.x2) + k.c[4] * m.x1 - k.c[1] * m.y1 - k.c[2] * m.y2;
    ASSERT_NE(y, 0.0);
    EXPECT_EQ(f.feed(0.0f), clip_unit(static_cast<float>(y)));
    EXPECT_EQ(f.pcf.memory.x1, 0.0);
    EXPECT_EQ(f.pcf.memory.x2, m.x1);
    EXPECT_EQ(f.pcf.memory.y1, y);
    EXPECT_EQ(f.pcf.memory.y2, m.y1);
    EXPECT_NE(f.feed(-0.0f), 0.0f); // a negative zero too
}

TEST(Pcf, AFilterAtRestStaysSilentOnZeros) {
    Filter f(3, 1000, 4.0f, 0.0f);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(float_bits(f.feed(i % 2 ? -0.0f : 0.0f)), 0u); // exactly +0
        EXPECT_EQ(f.pcf.memory.y1, 0.0);
    }
    // A shape whose coefficients are not finite (Q 0) still gives silence for silence.
    Filter broken(1, 1000, 0.0f, 0.0f);
    EXPECT_EQ(float_bits(broken.feed(0.0f)), 0u);
}

TEST(Pcf, PowerOffFreezesTheOutput) {
    Filter f(1, 1000, 0.7f, 0.0f);
    f.feed(0.5f);
    const float held = f.pcf.value;
    const double y1 = f.pcf.memory.y1;
    f.pcf.power = 0;
    EXPECT_FLOAT_EQ(f.feed(-0.9f), held);
    EXPECT_EQ(f.pcf.memory.y1, y1);
}

TEST(Pcf, TypeWrapsIntoRange) {
    Filter high(8, 1000, 0.7f, 0.0f);
    high.feed(0.1f);
    EXPECT_EQ(high.pcf.TYPE, 0);
    Filter low(-1, 1000, 0.7f, 0.0f);
    low.feed(0.1f);
    EXPECT_EQ(low.pcf.TYPE, 7);
}

TEST(Pcf, CoefficientsAreRecomputedOnlyWhenAKeyChanges) {
    Filter f(1, 1000, 0.7f, 0.0f);
    f.feed(0.1f);
    const double c1 = f.pcf.coeffs.c[1];
    f.pcf.coeffs.c[1] = 42.0; // a stale value survives while nothing changes
    f.feed(0.1f);
    EXPECT_EQ(f.pcf.coeffs.c[1], 42.0);
    f.pcf.GAIN = 3.0f;
    f.feed(0.1f);
    EXPECT_EQ(f.pcf.coeffs.c[1], c1); // c1 does not depend on the gain
    f.pcf.coeffs.c[1] = 42.0;
    f.pcf.HICUT = 1001;
    f.feed(0.1f);
    EXPECT_NE(f.pcf.coeffs.c[1], 42.0);
    f.pcf.coeffs.c[1] = 42.0;
    f.pcf.Q = 0.5f;
    f.feed(0.1f);
    EXPECT_NE(f.pcf.coeffs.c[1], 42.0);
    f.pcf.coeffs.c[1] = 42.0;
    f.pcf.TYPE = 2;
    f.feed(0.1f);
    EXPECT_NE(f.pcf.coeffs.c[1], 42.0);
}

TEST(Pcf, ZeroFrequencyLeavesOnlyTheRecursion) {
    // w = 0: alpha = 0, so the low-pass feeds nothing forward and y = 2 y1 - y2.
    BIQUAD_COEFFS k;
    compute_coefficients(k, 1, 0.0, 0.7, 0.0);
    EXPECT_EQ(k.c[3], 0.0);
    EXPECT_EQ(k.c[4], 0.0);
    EXPECT_EQ(k.c[1], -2.0);
    EXPECT_EQ(k.c[2], 1.0);
    BIQUAD_STATE m;
    m.y1 = 0.3;
    m.y2 = 0.1;
    EXPECT_NEAR(biquad_step(k, m, 1, 0.8), 0.5, 1e-12);
    EXPECT_EQ(m.x1, 0.8);
    EXPECT_EQ(m.y2, 0.3);
}

TEST(Pcf, PerSampleFieldsFitThreeCacheLines) {
    // A filter starts on a cache line and everything its sample reads or writes lies in the
    // first 192 bytes; a field added among them would cost every filter a fourth line.
    auto* p = new PCF;
    EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 64, 0u);
    const char* base = reinterpret_cast<const char*>(p);
    auto end_of = [&](const auto& field) {
        return reinterpret_cast<const char*>(&field) + sizeof field - base;
    };
    for (std::ptrdiff_t end : {end_of(p->value), end_of(p->input), end_of(p->power), end_of(p->mix),
                               end_of(p->TYPE), end_of(p->BYPASS), end_of(p->HICUT), end_of(p->GAIN),
                               end_of(p->AMOUNT), end_of(p->Q), end_of(p->key_type), end_of(p->key_bits),
                               end_of(p->mod_freq), end_of(p->mod_amp), end_of(p->memory), end_of(p->coeffs)})
        EXPECT_LE(end, 192);
    delete p;
}
