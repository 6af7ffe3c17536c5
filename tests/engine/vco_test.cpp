// Oscillator behaviour: waveform shapes, pitch, modulation, power, sync and noise.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/vco.h"

namespace {

// An oscillator standing still (FREQ 0) at a chosen phase, with no phase offset.
VCO still_at(int type, float phase, float amount) {
    VCO v;
    v.TYPE = type;
    v.FREQ = 0.0f;
    v.PHASE = 0.0f;
    v.AMOUNT = amount;
    v.phase = phase;
    return v;
}

float sample(int type, float phase, float amount) {
    VCO v = still_at(type, phase, amount);
    v.process();
    return v.value;
}

// Counts the rises through zero over one second: the pitch heard, in Hz.
int rises_per_second(int type, float freq) {
    VCO v;
    v.TYPE = type;
    v.FREQ = freq;
    v.PHASE = 0.0f;
    v.AMOUNT = 0.5f;
    int rises = 0;
    float prev = 0.0f;
    for (int i = 0; i < 44100; ++i) {
        v.process();
        if (prev < 0.0f && v.value >= 0.0f) ++rises;
        prev = v.value;
    }
    return rises;
}

} // namespace

TEST(Vco, WaveformsAtKnownPhases) {
    // SIN covers two cycles per phase unit pair: at t = 0.25 it is at its crest.
    EXPECT_NEAR(sample(WAVE_SIN, 0.25f, 0.5f), 0.5f, 1e-6);
    EXPECT_NEAR(sample(WAVE_SIN, 0.125f, 0.5f), 0.5f * std::sqrt(0.5f), 1e-6);
    // TRI: +amp at t = -1, -amp at t = 0, back to +amp at t = 1.
    EXPECT_NEAR(sample(WAVE_TRI, -1.0f, 0.5f), 0.5f, 1e-7);
    EXPECT_NEAR(sample(WAVE_TRI, -0.5f, 0.5f), 0.0f, 1e-7);
    EXPECT_NEAR(sample(WAVE_TRI, 0.0f, 0.5f), -0.5f, 1e-7);
    EXPECT_NEAR(sample(WAVE_TRI, 0.25f, 0.5f), -0.25f, 1e-7);
    EXPECT_NEAR(sample(WAVE_TRI, 1.0f, 0.5f), 0.5f, 1e-7);
    // SAW is the phase scaled.
    EXPECT_NEAR(sample(WAVE_SAW, 0.25f, 0.5f), 0.125f, 1e-7);
    EXPECT_NEAR(sample(WAVE_SAW, -0.8f, 0.5f), -0.4f, 1e-7);
    // SQR: three levels at the sine's +-0.5 crossings.
    EXPECT_FLOAT_EQ(sample(WAVE_SQR, 0.25f, 0.8f), 0.8f);
    EXPECT_FLOAT_EQ(sample(WAVE_SQR, 0.05f, 0.8f), 0.0f); // sin = 0.309
    EXPECT_FLOAT_EQ(sample(WAVE_SQR, -0.05f, 0.8f), 0.0f);
    EXPECT_FLOAT_EQ(sample(WAVE_SQR, 0.75f, 0.8f), -0.8f);
    // Below 0.5 the positive level is itself zeroed; the negative pulse stays.
    EXPECT_FLOAT_EQ(sample(WAVE_SQR, 0.25f, 0.4f), 0.0f);
    EXPECT_FLOAT_EQ(sample(WAVE_SQR, 0.75f, 0.4f), -0.4f);
    // PULSE: +amp up to the width, -amp after it.
    EXPECT_FLOAT_EQ(sample(WAVE_PULSE, 0.05f, 0.7f), 0.7f);
    EXPECT_FLOAT_EQ(sample(WAVE_PULSE, 0.2f, 0.7f), -0.7f);
    // Unknown types are silent.
    EXPECT_FLOAT_EQ(sample(0, 0.25f, 0.7f), 0.0f);
    EXPECT_FLOAT_EQ(sample(9, 0.25f, 0.7f), 0.0f);
}

TEST(Vco, PhaseOffsetAndPulseWidth) {
    VCO v = still_at(WAVE_PULSE, 0.0f, 0.6f);
    v.PHASE = 2.0f; // a whole-number offset of 2 holds the pulse low for good
    v.process();
    EXPECT_FLOAT_EQ(v.value, -0.6f);

    VCO s = still_at(WAVE_SIN, 0.0f, 1.0f);
    s.PHASE = 0.125f;
    s.process();
    EXPECT_NEAR(s.value, std::sqrt(0.5f), 1e-6);
}

TEST(Vco, TriangleAndSawSoundAnOctaveBelowSine) {
    // FREQ 441 moves the phase 0.01 a sample. From -1, 200 steps reach 1.0, which does not
    // wrap, so a phase period lasts 201 samples: 219.4 periods a second. SIN and SQR run two
    // cycles per phase period, TRI and SAW one.
    const double periods = 44100.0 / 201.0;
    EXPECT_NEAR(rises_per_second(WAVE_SIN, 441.0f), 2 * periods, 1);
    EXPECT_NEAR(rises_per_second(WAVE_SQR, 441.0f), 2 * periods, 1);
    EXPECT_NEAR(rises_per_second(WAVE_TRI, 441.0f), periods, 1);
    EXPECT_NEAR(rises_per_second(WAVE_SAW, 441.0f), periods, 1);
}

TEST(Vco, PhaseRunsOverTwoUnitsAndWrapsOnlyUpwards) {
    VCO v = still_at(WAVE_SAW, 0.995f, 1.0f);
    v.FREQ = 441.0f;
    v.process();
    EXPECT_FLOAT_EQ(v.phase, -1.0f); // 1.005 wraps to -1
    v.process();
    EXPECT_NEAR(v.phase, -0.99f, 1e-6);

    // A negative frequency sinks below -1 without wrapping.
    VCO n = still_at(WAVE_SAW, -0.995f, 1.0f);
    n.FREQ = -441.0f;
    n.process();
    n.process();
    EXPECT_NEAR(n.phase, -1.015f, 1e-6);
    EXPECT_FLOAT_EQ(n.value, -1.0f); // clipped
}

TEST(Vco, PowerOffSilencesAndFreezesThePhase) {
    VCO v = still_at(WAVE_SIN, 0.3f, 1.0f);
    v.FREQ = 441.0f;
    v.power = 0;
    for (int i = 0; i < 10; ++i)
        v.process();
    EXPECT_FLOAT_EQ(v.value, 0.0f);
    EXPECT_FLOAT_EQ(v.phase, 0.3f);
}

TEST(Vco, SyncResetsThePhaseBeforeTheStep) {
    int32_t pulse = 1;
    VCO v = still_at(WAVE_SAW, 0.999f, 1.0f);
    v.FREQ = 441.0f;
    v.sync_in = &pulse;
    v.process(); // would have wrapped; reset first, then one step
    EXPECT_NEAR(v.phase, 0.01f, 1e-6);
    pulse = 0;
    v.process();
    EXPECT_NEAR(v.phase, 0.02f, 1e-6);
}

TEST(Vco, NoteInputAndModulation) {
    float note = 440.0f;
    VCO v = still_at(WAVE_SAW, 0.0f, 1.0f);
    v.input = &note;
    v.FREQ = 44.0f; // follows the note exactly
    v.process();
    EXPECT_NEAR(v.played_freq, 440.0f, 1e-3);
    EXPECT_NEAR(v.phase, 440.0f / 44100.0f, 1e-7);
    v.FREQ = 110.0f; // the default plays 2.5 times higher
    v.process();
    EXPECT_NEAR(v.played_freq, 1100.0f, 1e-2);

    // A source at -1 on the frequency slot stops the phase; SIN then holds its value.
    float minus_one = -1.0f;
    float* cell = &minus_one;
    VCO s = still_at(WAVE_SIN, 0.125f, 1.0f);
    s.FREQ = 441.0f;
    s.mod_freq = &cell;
    s.process();
    s.process();
    EXPECT_FLOAT_EQ(s.phase, 0.125f);
    EXPECT_NEAR(s.value, std::sqrt(0.5f), 1e-6);

    // A source at +1 doubles the amplitude, which is then capped at 1.
    float plus_one = 1.0f;
    float* up = &plus_one;
    VCO a = still_at(WAVE_SAW, 0.5f, 0.75f);
    a.mod_amp = &up;
    a.process();
    EXPECT_FLOAT_EQ(a.value, 0.5f);
    a.AMOUNT = 0.25f;
    a.process();
    EXPECT_FLOAT_EQ(a.value, 0.25f);

    // The width slot scales PWM: 0.1 x 2 puts t = 0.15 back on the high side.
    VCO p = still_at(WAVE_PULSE, 0.15f, 0.5f);
    p.mod_pwm = &up;
    p.process();
    EXPECT_FLOAT_EQ(p.value, 0.5f);
}

TEST(Vco, NoiseHoldsItsMagnitudeAndFlipsItsSign) {
    VCO v = still_at(WAVE_NOISE, 1.0f, 0.5f);
    v.FREQ = 441.0f;
    v.process(); // wraps to -1: a new magnitude is drawn
    const float magnitude = std::fabs(v.value);
    EXPECT_LE(magnitude, 0.5f * 32767.0f * 3.06035e-5f + 1e-6f);
    int flips = 0;
    float prev = v.value;
    for (int i = 0; i < 150; ++i) { // within the same phase period
        v.process();
        EXPECT_FLOAT_EQ(std::fabs(v.value), magnitude);
        if (v.value != prev) ++flips;
        prev = v.value;
    }
    if (magnitude > 0.0f) {
        EXPECT_GT(flips, 30);
        EXPECT_LT(flips, 120);
    }

    // With no amplitude the last sample is held.
    v.AMOUNT = 0.0f;
    const float held = v.value;
    for (int i = 0; i < 300; ++i)
        v.process();
    EXPECT_FLOAT_EQ(v.value, held);
}

TEST(Vco, NoiseWithATinyNegativeAmplitudeIsSilentNotAFault) {
    // amp x 32767 + 1 truncates to 0 here: a draw modulo 0 would trap.
    VCO v = still_at(WAVE_NOISE, 1.0f, -1e-5f);
    v.FREQ = 441.0f;
    v.process();
    EXPECT_FLOAT_EQ(v.phase, -1.0f);
    EXPECT_FLOAT_EQ(v.value, 0.0f);
}
