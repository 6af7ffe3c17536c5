// WAVE writing: the header bytes, little-endian samples, and sizes that stay right mid-file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/sample_file.h"
#include "platform/wave_file.h"

namespace {

std::vector<unsigned char> file_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

uint32_t u32_at(const std::vector<unsigned char>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

std::string temp_name(const char* tag) {
    // The process id keeps suites of two builds running at once out of each other's files.
    return testing::TempDir() + "wave_" + std::to_string(getpid()) + "_" + tag + ".wav";
}

} // namespace

TEST(WaveFile, HeaderOfAThousandDataBytes) {
    const unsigned char expected[44] = {'R',  'I',  'F',  'F', 0x0C, 0x04, 0,   0, // 36 + 1000 = 1036
                                        'W',  'A',  'V',  'E', 'f',  'm',  't', ' ',
                                        16,   0,    0,    0,   1,    0,    2,   0, // PCM, stereo
                                        0x44, 0xAC, 0,    0,                       // 44100 Hz
                                        0x10, 0xB1, 0x02, 0,                       // 176400 bytes per second
                                        4,    0,    16,   0, // 4-byte frames of 16-bit samples
                                        'd',  'a',  't',  'a', 0xE8, 0x03, 0,   0}; // 1000
    unsigned char header[WAVE_HEADER_BYTES];
    wave_header(header, 1000);
    EXPECT_EQ(std::vector<unsigned char>(header, header + 44),
              std::vector<unsigned char>(expected, expected + 44));
}

TEST(WaveFile, SamplesAreLittleEndianAndSizesHoldBeforeClose) {
    const std::string path = temp_name("grow");
    WAVE_WRITER w;
    ASSERT_TRUE(w.open(path.c_str()));
    const int16_t frames[] = {1, -1, 32767, -32768, 256, -256};
    ASSERT_TRUE(w.write_frames(frames, 3));
    ASSERT_TRUE(w.update_header());

    // Read while still open: what an interrupted recording leaves behind.
    std::vector<unsigned char> b = file_bytes(path);
    ASSERT_EQ(b.size(), 44u + 12u);
    EXPECT_EQ(u32_at(b, 4), 48u);
    EXPECT_EQ(u32_at(b, 40), 12u);
    const std::vector<unsigned char> data(b.begin() + 44, b.end());
    const std::vector<unsigned char> want = {0x01, 0x00, 0xFF, 0xFF, 0xFF, 0x7F,
                                             0x00, 0x80, 0x00, 0x01, 0x00, 0xFF};
    EXPECT_EQ(data, want);

    ASSERT_TRUE(w.write_frames(frames, 1));
    ASSERT_TRUE(w.close());
    b = file_bytes(path);
    ASSERT_EQ(b.size(), 44u + 16u);
    EXPECT_EQ(u32_at(b, 4), 52u);
    EXPECT_EQ(u32_at(b, 40), 16u);
    std::remove(path.c_str());
}

TEST(WaveFile, UnwritablePathAndClosedWriterFail) {
    WAVE_WRITER w;
    EXPECT_FALSE(w.open("/nonexistent-folder/x.wav"));
    const int16_t frame[2] = {0, 0};
    EXPECT_FALSE(w.write_frames(frame, 1));
    EXPECT_FALSE(w.update_header());
}

TEST(WaveFile, ARecordingCutShortPlaysInTheSamplerValueForValue) {
    const std::string path = temp_name("take");
    WAVE_WRITER w;
    ASSERT_TRUE(w.open(path.c_str()));
    std::vector<int16_t> frames;
    for (int i = 0; i < 3000; ++i) {
        frames.push_back(static_cast<int16_t>(i * 23 - 32768));
        frames.push_back(static_cast<int16_t>(32767 - i * 19));
    }
    ASSERT_TRUE(w.write_frames(frames.data(), 1000));
    ASSERT_TRUE(w.update_header());
    ASSERT_TRUE(w.write_frames(frames.data() + 2000, 2000));
    ASSERT_TRUE(w.update_header());
    // Still open, as a recording is when the program is killed: all that was written plays.
    std::vector<int16_t> played;
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(read_wave_data(played, path.c_str()), 3000 * 4);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(played, frames);
    EXPECT_TRUE(w.close());
    std::remove(path.c_str());
}
