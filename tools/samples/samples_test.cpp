// Tests of the drum-sample generator: the WAVE layout the sampler reads, and the sounds' shapes.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "drum_synth.h"
#include "wave_writer.h"

namespace {

std::vector<uint8_t> read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

int16_t sample_at(const std::vector<uint8_t>& file, size_t value_index) {
    const size_t p = WAVE_HEADER_BYTES + 2 * value_index;
    return static_cast<int16_t>(file[p] | (file[p + 1] << 8));
}

float peak(const std::vector<float>& s) {
    float m = 0;
    for (float v : s)
        m = std::fmax(m, std::fabs(v));
    return m;
}

double energy(const std::vector<float>& s, size_t begin, size_t end) {
    double e = 0;
    for (size_t i = begin; i < end; ++i)
        e += double(s[i]) * s[i];
    return e;
}

} // namespace

TEST(WaveHeader, CanonicalLayoutForTwoHundredFiftyFrames) {
    // 250 frames x 4 bytes = 1000 data bytes; RIFF size 36 + 1000 = 1036 = 0x040C;
    // byte rate 44100 x 4 = 176400 = 0x02B110.
    const uint8_t expected[44] = {'R', 'I', 'F',  'F',  0x0C, 0x04, 0,    0,    'W',  'A', 'V',
                                  'E', 'f', 'm',  't',  ' ',  16,   0,    0,    0,    1,   0,
                                  2,   0,   0x44, 0xAC, 0,    0,    0x10, 0xB1, 0x02, 0,   4,
                                  0,   16,  0,    'd',  'a',  't',  'a',  0xE8, 0x03, 0,   0};
    const std::string path = testing::TempDir() + "tessaro_samples_250.wav";
    ASSERT_TRUE(write_wave(path, std::vector<float>(250, 0.25f)));
    const auto file = read_bytes(path);
    ASSERT_EQ(file.size(), 44u + 1000u);
    for (int i = 0; i < 44; ++i)
        EXPECT_EQ(file[i], expected[i]) << "byte " << i;
    std::remove(path.c_str());
}

TEST(WaveHeader, EmptyFileStillHasItsChunks) {
    const std::string path = testing::TempDir() + "tessaro_samples_empty.wav";
    ASSERT_TRUE(write_wave(path, {}));
    const auto h = read_bytes(path);
    ASSERT_EQ(h.size(), 44u);
    EXPECT_EQ(h[4], 36);
    EXPECT_EQ(h[40] | h[41] | h[42] | h[43], 0);
    std::remove(path.c_str());
}

TEST(Pcm16, RoundsAndHoldsInsideTheSymmetricRange) {
    EXPECT_EQ(to_pcm16(0.0f), 0);
    EXPECT_EQ(to_pcm16(1.0f), 32767);
    EXPECT_EQ(to_pcm16(-1.0f), -32767);
    EXPECT_EQ(to_pcm16(0.5f), 16384);   // 16383.5 rounds away from zero
    EXPECT_EQ(to_pcm16(-0.25f), -8192); // -8191.75
    EXPECT_EQ(to_pcm16(1.5f), 32767);   // held, never wrapped
    EXPECT_EQ(to_pcm16(-7.0f), -32767);
    EXPECT_EQ(to_pcm16(std::nanf("")), 0);
}

TEST(Normalise, ScalesToThePeakAndLeavesSilenceAlone) {
    std::vector<float> s = {0.1f, -0.4f, 0.2f};
    normalise(s, 0.8f);
    EXPECT_FLOAT_EQ(s[0], 0.2f);
    EXPECT_FLOAT_EQ(s[1], -0.8f);
    EXPECT_FLOAT_EQ(s[2], 0.4f);
    std::vector<float> quiet(4, 0.0f);
    normalise(quiet, 0.8f);
    for (float v : quiet)
        EXPECT_EQ(v, 0.0f);
}

TEST(Fades, RampTheHeadUpAndTheTailDown) {
    std::vector<float> head(5, 2.0f);
    fade_in(head, 4);
    EXPECT_FLOAT_EQ(head[0], 0.0f);
    EXPECT_FLOAT_EQ(head[1], 0.5f);
    EXPECT_FLOAT_EQ(head[3], 1.5f);
    EXPECT_FLOAT_EQ(head[4], 2.0f);

    std::vector<float> s(6, 1.0f);
    fade_out(s, 4);
    EXPECT_FLOAT_EQ(s[1], 1.0f);
    EXPECT_FLOAT_EQ(s[2], 0.75f);
    EXPECT_FLOAT_EQ(s[3], 0.5f);
    EXPECT_FLOAT_EQ(s[4], 0.25f);
    EXPECT_FLOAT_EQ(s[5], 0.0f);
    std::vector<float> short_one(2, 1.0f);
    fade_out(short_one, 10); // longer than the signal: the whole signal is the ramp
    EXPECT_FLOAT_EQ(short_one[0], 0.5f);
    EXPECT_FLOAT_EQ(short_one[1], 0.0f);
}

TEST(WriteWave, StereoFramesCarryTheSameValueOnBothChannels) {
    const std::string path = testing::TempDir() + "tessaro_samples_test.wav";
    ASSERT_TRUE(write_wave(path, {0.0f, 0.5f, -1.0f}));
    const auto file = read_bytes(path);
    ASSERT_EQ(file.size(), 44u + 3 * 4);
    EXPECT_EQ(file[40], 12); // data bytes
    const int16_t expected[3] = {0, 16384, -32767};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(sample_at(file, 2 * i), expected[i]);
        EXPECT_EQ(sample_at(file, 2 * i + 1), expected[i]);
    }
    std::remove(path.c_str());
    EXPECT_FALSE(write_wave("/nonexistent-dir/x.wav", {0.0f}));
}

TEST(Noise, IsDeterministicBoundedAndCentred) {
    NoiseSource a(7), b(7), c(8);
    double sum = 0;
    bool differs = false;
    for (int i = 0; i < 20000; ++i) {
        const float x = a.next();
        EXPECT_EQ(x, b.next());
        differs = differs || x != c.next();
        ASSERT_GE(x, -1.0f);
        ASSERT_LT(x, 1.0f);
        sum += x;
    }
    EXPECT_TRUE(differs);
    EXPECT_LT(std::fabs(sum / 20000), 0.02);
    NoiseSource zero(0); // a zero seed would stick at zero for ever
    EXPECT_NE(zero.next(), zero.next());
}

TEST(DrumKit, EverySoundHasItsLengthPeakAndSilentEnds) {
    for (const DrumSound& d : drum_kit()) {
        SCOPED_TRACE(d.file);
        const auto s = d.make();
        EXPECT_EQ(s.size(), static_cast<size_t>(std::lround(d.seconds * 44100)));
        EXPECT_GT(peak(s), 0.45f);
        EXPECT_LE(peak(s), 0.95f + 1e-6f);
        EXPECT_EQ(s.front(), 0.0f) << "starts with a click";
        EXPECT_LT(std::fabs(s[3]), 0.5f);
        EXPECT_EQ(s.back(), 0.0f);
        // A one-shot decays: the last tenth holds far less energy than the first.
        const size_t tenth = s.size() / 10;
        EXPECT_LT(energy(s, s.size() - tenth, s.size()), 0.05 * energy(s, 0, tenth));
        EXPECT_EQ(s, d.make()); // same file on every run
    }
    EXPECT_EQ(synth_kick().size(), 15435u); // 0.35 s x 44100
}

TEST(DrumKit, KickFallsInPitchAndHatsAreFarBrighter) {
    const auto kick = synth_kick();
    // 20 ms windows (882 samples): the sweep starts near 168 Hz (about 7 crossings) and
    // settles near 48 Hz (about 2).
    const int early = zero_crossings(kick, 0, 882);
    const int late = zero_crossings(kick, 8820, 8820 + 882);
    EXPECT_GE(early, 5);
    EXPECT_LE(late, 3);
    const auto hat = synth_hat_closed();
    // Above 7 kHz the crossings come at thousands per second: well over 100 in 20 ms.
    EXPECT_GT(zero_crossings(hat, 0, 882), 100);
    const auto tom = synth_tom();
    EXPECT_LT(zero_crossings(tom, 4410, 4410 + 882), 10); // about 100 Hz
}

TEST(DrumKit, CommittedFilesMatchTheGenerator) {
    for (const DrumSound& d : drum_kit()) {
        SCOPED_TRACE(d.file);
        const auto file = read_bytes(std::string(TESSARO_SOURCE_DIR) + "/KVX/samples/" + d.file);
        const auto s = d.make();
        ASSERT_EQ(file.size(), WAVE_HEADER_BYTES + 4 * s.size());
        unsigned char h[WAVE_HEADER_BYTES];
        wave_header(h, static_cast<uint32_t>(4 * s.size()));
        for (int i = 0; i < WAVE_HEADER_BYTES; ++i)
            ASSERT_EQ(file[i], h[i]) << "header byte " << i;
        // One step of rounding is allowed for a different compiler's last bit.
        for (size_t i = 0; i < s.size(); ++i)
            ASSERT_LE(std::abs(sample_at(file, 2 * i) - to_pcm16(s[i])), 1);
    }
}
