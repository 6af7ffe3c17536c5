// Sampler playback and the WAVE reader on hand-made headers; the keyboard's pitch and sync pulse.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/keyboard.h"
#include "engine/note_table.h"
#include "engine/sampler.h"
#include "engine/verbose.h"

namespace {

constexpr float SCALE = 1.0f / 32768.0f;

std::string temp_path(const char* name) {
    // The process id keeps suites of two builds running at once out of each other's files.
    return ::testing::TempDir() + std::to_string(getpid()) + "_" + name;
}

// A canonical 44-byte header claiming `claimed` data bytes, followed by `data`.
void write_wave(const std::string& path, uint32_t claimed, const std::vector<unsigned char>& data,
                size_t header_bytes = 44) {
    unsigned char h[44] = {'R',  'I',  'F', 'F', 0, 0, 0,  0, 'W', 'A', 'V',  'E',  'f', 'm',
                           't',  ' ',  16,  0,   0, 0, 1,  0, 2,   0,   0x44, 0xac, 0,   0,
                           0x10, 0xb1, 2,   0,   4, 0, 16, 0, 'd', 'a', 't',  'a'};
    h[40] = claimed & 0xff;
    h[41] = claimed >> 8 & 0xff;
    h[42] = claimed >> 16 & 0xff;
    h[43] = claimed >> 24 & 0xff;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(h, 1, header_bytes, f);
    if (!data.empty()) std::fwrite(data.data(), 1, data.size(), f);
    std::fclose(f);
}

// Four stereo frames: lefts 1000..4000, rights -1..-4, as little-endian bytes.
std::vector<unsigned char> four_frames() {
    std::vector<unsigned char> b;
    for (int i = 1; i <= 4; ++i) {
        int16_t l = static_cast<int16_t>(1000 * i), r = static_cast<int16_t>(-i);
        for (int16_t v : {l, r}) {
            b.push_back(static_cast<unsigned char>(v & 0xff));
            b.push_back(static_cast<unsigned char>((v >> 8) & 0xff));
        }
    }
    return b;
}

struct GatedSampler {
    int32_t gate = 1;
    SAMPLER s;
    GatedSampler() {
        s.gate_in = &gate;
        s.sample_data = {1000, -1, 2000, -2, 3000, -3, 4000, -4};
        s.sample_frames = 4;
    }
};

} // namespace

TEST(WaveReader, ReadsTheDataChunkAsLittleEndianValues) {
    const std::string path = temp_path("four_frames.wav");
    write_wave(path, 16, four_frames());
    std::vector<int16_t> data;
    EXPECT_EQ(read_wave_data(data, path.c_str()), 16);
    EXPECT_EQ(data, (std::vector<int16_t>{1000, -1, 2000, -2, 3000, -3, 4000, -4}));
}

TEST(WaveReader, DefendsAgainstBadLengthsAndTruncation) {
    std::vector<int16_t> data = {7, 7, 7};

    // Data shorter than claimed: what is there is returned.
    const std::string truncated = temp_path("truncated.wav");
    write_wave(truncated, 1000, four_frames());
    EXPECT_EQ(read_wave_data(data, truncated.c_str()), 16);
    EXPECT_EQ(data.size(), 8u);

    // A length with the top bit set (negative as a signed word) reads what the file holds.
    const std::string huge = temp_path("huge.wav");
    write_wave(huge, 0xFFFFFFFFu, four_frames());
    EXPECT_EQ(read_wave_data(data, huge.c_str()), 16);
    EXPECT_EQ(data[6], 4000);

    // A header cut short is no sound file: refused, nothing held.
    const std::string short_header = temp_path("short.wav");
    write_wave(short_header, 16, {}, 20);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(read_wave_data(data, short_header.c_str()), WAVE_REFUSED);
    EXPECT_NE(::testing::internal::GetCapturedStdout().find("[" + short_header + "]"), std::string::npos);
    EXPECT_TRUE(data.empty());

    // A chunk larger than the buffer is cut at 16,000,000 bytes.
    const std::string big = temp_path("big.wav");
    write_wave(big, SAMPLE_DATA_MAX_BYTES + 400, std::vector<unsigned char>(SAMPLE_DATA_MAX_BYTES + 400, 1));
    EXPECT_EQ(read_wave_data(data, big.c_str()), SAMPLE_DATA_MAX_BYTES);
    EXPECT_EQ(data.size(), static_cast<size_t>(SAMPLE_DATA_MAX_BYTES / 2));
    EXPECT_EQ(data.back(), 0x0101);
    std::remove(big.c_str());
}

TEST(WaveReader, AMissingFileIsReported) {
    std::vector<int16_t> data;
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(read_wave_data(data, "/nonexistent/dir/none.wav"), -1);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Error load [/nonexistent/dir/none.wav]\n");
}

TEST(Sampler, PlaysTheWholeSampleThenClosesTheGate) {
    GatedSampler g; // no note: the sample's own speed, one frame a sample
    std::vector<float> out;
    for (int i = 0; i < 4; ++i) {
        g.s.process();
        out.push_back(g.s.value);
        EXPECT_EQ(g.s.playing.load(), 1u) << "frame " << i;
    }
    EXPECT_EQ(out, (std::vector<float>{1000 * SCALE, 2000 * SCALE, 3000 * SCALE, 4000 * SCALE}));
    EXPECT_EQ(g.gate, 1);
    g.s.process(); // past the last frame
    EXPECT_EQ(g.s.playing.load(), 0u);
    EXPECT_EQ(g.gate, 0);
    EXPECT_FLOAT_EQ(g.s.value, 0.0f);
    EXPECT_FLOAT_EQ(g.s.position, 0.0f);
    g.s.process(); // the closed gate holds it at rest
    EXPECT_FLOAT_EQ(g.s.value, 0.0f);
}

TEST(Sampler, NoteSetsTheSpeedAndOnlyLeftValuesAreRead) {
    // 880 Hz: twice the speed, frames 0 and 2.
    float note = 880.0f;
    GatedSampler fast;
    fast.s.input = &note;
    fast.s.process();
    EXPECT_FLOAT_EQ(fast.s.value, 1000 * SCALE);
    fast.s.process();
    EXPECT_FLOAT_EQ(fast.s.value, 3000 * SCALE);

    // 220 Hz: half speed; every sample reads a left value, and all four frames are played.
    float low = 220.0f;
    GatedSampler slow;
    slow.s.input = &low;
    int played = 0;
    while (slow.gate == 1 && played < 100) {
        slow.s.process();
        if (slow.gate == 1) {
            EXPECT_GT(slow.s.value, 0.0f);
            ++played;
        }
    }
    EXPECT_GE(played, 8);
    EXPECT_LE(played, 9);
}

TEST(Sampler, GateSyncAndGain) {
    GatedSampler g;
    g.s.value = 0.3f;
    g.s.gate_in = nullptr; // unconnected: nothing moves
    g.s.process();
    EXPECT_FLOAT_EQ(g.s.value, 0.3f);

    g.s.gate_in = &g.gate;
    g.gate = 0;
    g.s.position = 4.0f;
    g.s.process();
    EXPECT_FLOAT_EQ(g.s.position, 0.0f);
    EXPECT_FLOAT_EQ(g.s.value, 0.0f);

    // A sync pulse restarts from the first frame; the audio thread prints nothing, the main
    // thread's report says so once per restart.
    int32_t pulse = 1;
    g.gate = 1;
    g.s.sync_in = &pulse;
    g.s.position = 4.0f;
    copy_name(g.s.name, sizeof g.s.name, "DRUM");
    ::testing::internal::CaptureStdout();
    g.s.process();
    g.s.process();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_FLOAT_EQ(g.s.value, 1000 * SCALE);
    set_verbose(true); // the restarts are said only with --verbose
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(report_sampler_restarts({&g.s}), 2);
    EXPECT_EQ(report_sampler_restarts({&g.s}), 0);
    set_verbose(false);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "Gate in SAMPLER[DRUM] -> time to 0\nGate in SAMPLER[DRUM] -> time to 0\n");
    pulse = 0;
    g.s.process();
    EXPECT_FLOAT_EQ(g.s.value, 2000 * SCALE);

    // The amplitude slot adds s x gain to the gain.
    float one = 1.0f;
    float* cell = &one;
    g.s.mod_amp = &cell;
    g.s.process();
    EXPECT_FLOAT_EQ(g.s.value, 2 * 3000 * SCALE);
}

TEST(Sampler, NeverReadsBeyondItsData) {
    GatedSampler g;
    g.s.sample_frames = 1000; // more than the data holds
    int played = 0;
    while (g.gate == 1 && played < 100) {
        g.s.process();
        ++played;
    }
    EXPECT_EQ(played, 5); // four frames, then the end

    // Without a sample (its file refused) it is silent and leaves the note source's gate open
    // for the other modules on it.
    GatedSampler empty;
    empty.s.sample_data.clear();
    empty.s.sample_frames = 0;
    empty.s.value = 0.5f;
    empty.s.process();
    EXPECT_EQ(empty.gate, 1);
    EXPECT_FLOAT_EQ(empty.s.value, 0.0f);
}

TEST(Keyboard, PitchFromKeyAndOctave) {
    fill_note_table();
    KEYBOARD k;
    k.process();
    EXPECT_NEAR(k.value, 261.6256f, 1e-3); // key 1, octave 4: entry 49
    k.key = 11;
    k.octave = 7;
    k.process();
    EXPECT_FLOAT_EQ(k.value, static_cast<float>(note_table[95]));
    k.octave = -3;
    k.process();
    EXPECT_FLOAT_EQ(k.value, static_cast<float>(note_table[0]));
}

TEST(Keyboard, ARequestedSyncPulseLastsOneSample) {
    KEYBOARD k;
    k.process();
    EXPECT_EQ(k.sync_pulse, 0);
    k.sync_pending = 1;
    k.process();
    EXPECT_EQ(k.sync_pulse, 1);
    EXPECT_EQ(k.sync_pending, 0);
    k.process();
    EXPECT_EQ(k.sync_pulse, 0);
}
