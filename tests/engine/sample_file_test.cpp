// Sample files in every accepted shape (written here with libsndfile) read as 16-bit stereo at 44100 Hz.
#include <gtest/gtest.h>
#include <unistd.h>
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "engine/sample_file.h"

namespace {

std::string temp_path(const std::string& name) {
    // The process id keeps suites of two builds running at once out of each other's files.
    return ::testing::TempDir() + "sample_file_" + std::to_string(getpid()) + "_" + name;
}

// Writes frames x channels values in the given container and encoding. Integer encodings get
// value(frame, channel) x 2^(32 - bits) as 32-bit integers, which libsndfile stores exactly;
// float files get the value itself.
void write_sound(const std::string& path, int format, int channels, int rate, int frames,
                 const std::function<double(int, int)>& value) {
    SF_INFO info{};
    info.channels = channels;
    info.samplerate = rate;
    info.format = format;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr) << sf_strerror(nullptr);
    const int sub = format & SF_FORMAT_SUBMASK;
    const size_t n = static_cast<size_t>(frames) * channels;
    if (sub == SF_FORMAT_FLOAT) {
        std::vector<float> v(n);
        for (size_t k = 0; k < n; ++k)
            v[k] = static_cast<float>(value(static_cast<int>(k / channels), static_cast<int>(k % channels)));
        ASSERT_EQ(sf_writef_float(f, v.data(), frames), frames);
    } else {
        const int shift = sub == SF_FORMAT_PCM_U8 ? 24 : sub == SF_FORMAT_PCM_24 ? 8 : 16;
        std::vector<int> v(n);
        for (size_t k = 0; k < n; ++k) {
            const double x = value(static_cast<int>(k / channels), static_cast<int>(k % channels));
            v[k] = static_cast<int>(std::lround(x) * (1LL << shift));
        }
        ASSERT_EQ(sf_writef_int(f, v.data(), frames), frames);
    }
    sf_close(f);
}

int read_quietly(std::vector<int16_t>& data, const std::string& path, std::string* printed = nullptr) {
    ::testing::internal::CaptureStdout();
    const int bytes = read_wave_data(data, path.c_str());
    const std::string out = ::testing::internal::GetCapturedStdout();
    if (printed) *printed = out;
    return bytes;
}

void expect_frames(const std::vector<int16_t>& data, int frames, const std::function<int(int, int)>& want) {
    ASSERT_EQ(data.size(), static_cast<size_t>(2 * frames));
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < 2; ++c)
            ASSERT_EQ(data[2 * i + c], want(i, c)) << "frame " << i << " channel " << c;
}

} // namespace

TEST(SampleToPcm16, ScalesRoundsHalvesAwayAndHolds) {
    EXPECT_EQ(sample_to_pcm16(0.0), 0);
    EXPECT_EQ(sample_to_pcm16(0.25), 8192);
    EXPECT_EQ(sample_to_pcm16(-1.0), -32768);
    EXPECT_EQ(sample_to_pcm16(1.0), 32767); // one step short of full scale on the positive side
    EXPECT_EQ(sample_to_pcm16(2.5), 32767);
    EXPECT_EQ(sample_to_pcm16(-9.0), -32768);
    EXPECT_EQ(sample_to_pcm16(1.5 / 32768), 2);
    EXPECT_EQ(sample_to_pcm16(-1.5 / 32768), -2);
    EXPECT_EQ(sample_to_pcm16(1.49 / 32768), 1);
    EXPECT_EQ(sample_to_pcm16(std::nan("")), 0);
    EXPECT_EQ(frames_at_output_rate(48000, 48000), 44100);
    EXPECT_EQ(frames_at_output_rate(22050, 22050), 44100);
    EXPECT_EQ(frames_at_output_rate(1000, 44100), 1000);
}

TEST(SampleFile, CanonicalSixteenBitStereoIsTakenValueForValue) {
    // Every 16-bit value, the extremes included, left rising and right falling.
    const int frames = 65536;
    const std::string path = temp_path("canonical.wav");
    write_sound(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100, frames,
                [](int i, int c) { return c == 0 ? i - 32768 : 32767 - i; });
    std::vector<int16_t> data;
    std::string printed;
    EXPECT_EQ(read_quietly(data, path, &printed), 4 * frames);
    EXPECT_EQ(printed, "");
    expect_frames(data, frames, [](int i, int c) { return c == 0 ? i - 32768 : 32767 - i; });
    std::remove(path.c_str());
}

TEST(SampleFile, IntegerAndFloatEncodingsKeepTheirTopSixteenBits) {
    const int frames = 1000;
    struct CASE {
        const char* name;
        int format;
        int channels;
        std::function<double(int, int)> written;
        std::function<int(int, int)> played;
    };
    // 8-bit steps are 256 apart at 16 bits; 24-bit values lose their low byte, rounded; float
    // is scaled by 32768 and held at the 16-bit range.
    const auto v8 = [](int i) { return (i * 37) % 256 - 128; };
    // Full scale at both ends, then values across the range, every third one a half step.
    const auto v24 = [](int i, int c) {
        if (i < 2) return i == 0 ? 8388607 : -8388608;
        return (i * 16769 + c * 4099) % 16777000 - 8388500 + (i % 3 == 0 ? 128 : 0);
    };
    const auto round_div = [](double x, double d) { return static_cast<int>(std::round(x / d)); };
    const auto held = [](int x) { return x > 32767 ? 32767 : x; };
    const std::vector<CASE> cases = {
        {"u8_mono.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 1, [&](int i, int) { return v8(i); },
         [&](int i, int) { return v8(i) * 256; }},
        {"s24_stereo.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 2, [&](int i, int c) { return v24(i, c); },
         [&](int i, int c) { return held(round_div(v24(i, c), 256)); }},
        {"s24_mono.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 1, [&](int i, int) { return v24(i, 0); },
         [&](int i, int) { return held(round_div(v24(i, 0), 256)); }},
        {"float_stereo.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2,
         [](int i, int c) { return c == 0 ? std::sin(i * 0.01) * 1.2 : -0.25; },
         [&](int i, int c) {
             if (c == 1) return -8192;
             const float f = static_cast<float>(std::sin(i * 0.01) * 1.2); // as the file holds it
             const int s = static_cast<int>(std::round(f * 32768.0));
             return s > 32767 ? 32767 : s < -32768 ? -32768 : s;
         }},
        {"s16_mono.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 1, [](int i, int) { return i * 61 - 30000; },
         [](int i, int) { return i * 61 - 30000; }},
        {"s16_stereo.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 2, [](int i, int c) { return c ? -i : i * 7; },
         [](int i, int c) { return c ? -i : i * 7; }},
        {"s16_stereo.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 2,
         [](int i, int c) { return (i * 131) % 60000 - 30000 + c; },
         [](int i, int c) { return (i * 131) % 60000 - 30000 + c; }},
        {"s24_mono.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 1, [&](int i, int) { return v24(i, 1); },
         [&](int i, int) { return held(round_div(v24(i, 1), 256)); }},
    };
    for (const CASE& k : cases) {
        SCOPED_TRACE(k.name);
        const std::string path = temp_path(k.name);
        write_sound(path, k.format, k.channels, 44100, frames, k.written);
        std::vector<int16_t> data;
        std::string printed;
        EXPECT_EQ(read_quietly(data, path, &printed), 4 * frames);
        EXPECT_EQ(printed, "");
        // Mono plays the same value on both channels.
        expect_frames(data, frames, k.channels == 1 ? [&](int i, int) { return k.played(i, 0); } : k.played);
        std::remove(path.c_str());
    }
}

TEST(SampleFile, ExtraChunksAndALargerFormatBodyAreWalkedPast) {
    // RIFF, an 18-byte "fmt " body, an odd-sized "JUNK" chunk with its pad byte, a "LIST"
    // chunk with a comment, a "fact" chunk, then the data: three 16-bit stereo frames.
    std::string w = "RIFF????WAVE";
    auto u32 = [](uint32_t v) {
        return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                           static_cast<char>(v >> 24)};
    };
    auto u16 = [](uint16_t v) { return std::string{static_cast<char>(v), static_cast<char>(v >> 8)}; };
    w += "fmt " + u32(18) + u16(1) + u16(2) + u32(44100) + u32(176400) + u16(4) + u16(16) + u16(0);
    w += "JUNK" + u32(5) + "abcde" + std::string(1, '\0');
    w += "LIST" + u32(16) + "INFOICMT" + u32(4) + "hey" + std::string(1, '\0');
    w += "fact" + u32(4) + u32(3);
    const int16_t values[6] = {100, -100, 32767, -32768, -5, 5};
    w += "data" + u32(12);
    for (int16_t v : values)
        w += u16(static_cast<uint16_t>(v));
    w.replace(4, 4, u32(static_cast<uint32_t>(w.size() - 8)));
    const std::string path = temp_path("chunks.wav");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(w.data(), 1, w.size(), f);
    std::fclose(f);

    std::vector<int16_t> data;
    std::string printed;
    EXPECT_EQ(read_quietly(data, path, &printed), 12) << printed;
    EXPECT_EQ(data, std::vector<int16_t>(values, values + 6));
    std::remove(path.c_str());
}

TEST(SampleFile, OtherRatesAreResampledBandLimited) {
    // A 1 kHz sine sampled at 48 kHz (stereo, opposite signs) and at 22050 Hz (mono) lasts as
    // long at 44100 Hz and follows the same sine sampled there.
    struct CASE {
        int rate, channels;
    };
    for (CASE k : {CASE{48000, 2}, CASE{22050, 1}, CASE{96000, 1}}) {
        SCOPED_TRACE(k.rate);
        const double amp = 0.5, hz = 1000.0;
        const int frames = k.rate / 2;
        const std::string path = temp_path("rate" + std::to_string(k.rate) + ".wav");
        write_sound(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, k.channels, k.rate, frames, [&](int i, int c) {
            return (c ? -amp : amp) * 32767 * std::sin(2 * M_PI * hz * i / k.rate);
        });
        std::vector<int16_t> data;
        const int bytes = read_quietly(data, path);
        EXPECT_NEAR(bytes / 4, 22050, 1);
        ASSERT_EQ(data.size() * 2, static_cast<size_t>(bytes));
        double worst = 0;
        // The converter's filter rings at the cut ends of the file; inside, it is transparent.
        for (int i = 200; i < 21850; ++i) {
            const double want = amp * 32767 * std::sin(2 * M_PI * hz * i / 44100.0);
            worst = std::fmax(worst, std::fabs(data[2 * i] - want));
            ASSERT_EQ(data[2 * i + 1], k.channels == 1 ? data[2 * i] : -data[2 * i]) << "frame " << i;
        }
        // Within a few 16-bit steps: the input's own rounding plus the converter's error.
        EXPECT_LT(worst, 4.0);
        std::remove(path.c_str());
    }
}

TEST(SampleFile, OfManyChannelsTheFirstTwoArePlayedAndSaidSo) {
    const std::string path = temp_path("quad.wav");
    write_sound(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 4, 44100, 10,
                [](int i, int c) { return 1000 * c + i; });
    std::vector<int16_t> data;
    std::string printed;
    EXPECT_EQ(read_quietly(data, path, &printed), 40);
    expect_frames(data, 10, [](int i, int c) { return 1000 * c + i; });
    EXPECT_EQ(printed, "Sample [" + path + "] has 4 channels: the first two are played\n");
    std::remove(path.c_str());
}

TEST(SampleFile, FilesWithoutSoundAreRefusedByName) {
    struct CASE {
        const char* name;
        std::string content;
        const char* why;
    };
    // A WAVE header announcing a data chunk that holds nothing.
    std::string no_frames(
        "RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\x01\0\x02\0\x44\xac\0\0\x10\xb1\x02\0\x04\0\x10\0data\0\0\0\0", 44);
    for (const CASE& k :
         {CASE{"text.wav", "BEGIN_OBJECTS_DECLARE\nthis is not a sound\n", "is not a sound file"},
          CASE{"empty.wav", "", "is empty"}, CASE{"no_frames.wav", no_frames, "holds no sound"}}) {
        SCOPED_TRACE(k.name);
        const std::string path = temp_path(k.name);
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(k.content.data(), 1, k.content.size(), f);
        std::fclose(f);
        std::vector<int16_t> data = {1, 2, 3};
        std::string printed;
        EXPECT_EQ(read_quietly(data, path, &printed), WAVE_REFUSED);
        EXPECT_TRUE(data.empty());
        EXPECT_EQ(printed.rfind("Sample refused [" + path + "]: the file " + k.why, 0), 0u) << printed;
        // The quiet probe gives the same reason from the header alone.
        ::testing::internal::CaptureStdout();
        const char* problem = sample_file_problem(path.c_str());
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
        EXPECT_STREQ(problem, k.why);
        std::remove(path.c_str());
    }
    // A folder opens but holds no sound either; a missing file is another matter.
    std::vector<int16_t> data;
    EXPECT_EQ(read_quietly(data, ::testing::TempDir()), WAVE_REFUSED);
    EXPECT_STREQ(sample_file_problem("/nonexistent/dir/x.wav"), "cannot be opened");
    EXPECT_STREQ(sample_file_problem((std::string(TESSARO_SOURCE_DIR) + "/KVX/samples/kick.wav").c_str()),
                 nullptr);
}

TEST(SampleFile, LongFilesAreCutToTheSamplersRoomAtAnyRate) {
    // 48 kHz mono, a little longer than the room once converted.
    const int frames = static_cast<int>(SAMPLE_DATA_MAX_FRAMES * 48000LL / 44100) + 4800;
    const std::string path = temp_path("long48k.wav");
    write_sound(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 48000, frames, [](int i, int) { return i % 100; });
    std::vector<int16_t> data;
    std::string printed;
    EXPECT_EQ(read_quietly(data, path, &printed), SAMPLE_DATA_MAX_BYTES);
    EXPECT_EQ(data.size(), static_cast<size_t>(SAMPLE_DATA_MAX_BYTES / 2));
    EXPECT_NE(printed.find("cut to its first 4000000 frames"), std::string::npos) << printed;
    std::remove(path.c_str());
}
