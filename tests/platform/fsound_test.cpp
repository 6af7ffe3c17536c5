// The sound library: call order and its error codes, driver lists, real-time pacing, clean
// stream shutdown, the WAVE recorder and the SDL device (dummy driver, or none at all).
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/fsound.h"
#include "platform/sdl_output.h"
#include "tests/support/wait.h"

namespace {

using namespace std::chrono_literals;

constexpr unsigned int MODE = 0x1000150;

struct CALLS {
    std::atomic<int> count{0};
    std::atomic<int> inside{0};
    std::atomic<int> dirty_buffers{0};
    std::atomic<int> bad_lengths{0};
    int stop_after = -1; // return 0 on this call
    std::chrono::milliseconds work{0};
};

// Checks the buffer arrives cleared, marks each block with its number, and scribbles the rest
// so a buffer handed back uncleared is noticed.
int counting_callback(void*, void* buffer, int length, void* user) {
    CALLS* c = static_cast<CALLS*>(user);
    c->inside = 1;
    if (length != 12288) ++c->bad_lengths;
    int16_t* s = static_cast<int16_t*>(buffer);
    for (int i = 0; i < length / 2; ++i)
        if (s[i] != 0) {
            ++c->dirty_buffers;
            break;
        }
    const int n = ++c->count;
    for (int i = 0; i < length / 2; ++i)
        s[i] = static_cast<int16_t>(n);
    if (c->work.count()) std::this_thread::sleep_for(c->work);
    c->inside = 0;
    return n == c->stop_after ? 0 : 1;
}

bool wait_for(const std::atomic<int>& v, int at_least) {
    return wait_until([&] { return v >= at_least; }, PATIENCE_MS, 5);
}

std::vector<unsigned char> file_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

uint32_t u32_at(const std::vector<unsigned char>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

class Fsound : public testing::Test {
  protected:
    // A JACK server the developer runs would add its driver to the lists.
    void SetUp() override { setenv("JACK_DEFAULT_SERVER", "tessaro-test-no-server", 1); }
    void TearDown() override { FSOUND_Close(); }
};

} // namespace

TEST_F(Fsound, CallsOutOfOrderReportTheirErrorCodes) {
    EXPECT_GE(FSOUND_GetVersion(), 3.74f);
    CALLS calls;
    EXPECT_EQ(FSOUND_Stream_Create(counting_callback, 12288, MODE, 44100, &calls), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_UNINITIALIZED);
    EXPECT_FALSE(FSOUND_SetOutput(3));
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);

    ASSERT_TRUE(FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND));
    ASSERT_TRUE(FSOUND_SetDriver(0));
    ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_NONE);
    EXPECT_FALSE(FSOUND_SetOutput(FSOUND_OUTPUT_DSOUND));
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_BUSY);
    EXPECT_FALSE(FSOUND_SetDriver(1));
    EXPECT_FALSE(FSOUND_Init(44100, 32, 0));
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_BUSY);

    EXPECT_EQ(FSOUND_Stream_Create(counting_callback, 12288, MODE, 22050, &calls), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);
    EXPECT_EQ(FSOUND_Stream_Create(counting_callback, 12286, MODE, 44100, &calls), nullptr);
    EXPECT_EQ(FSOUND_Stream_Create(counting_callback, 12288, 0x1000110, 44100, &calls), nullptr); // mono
    EXPECT_EQ(FSOUND_Stream_Play(0, nullptr), -1);

    FSOUND_STREAM* s = FSOUND_Stream_Create(counting_callback, 12288, MODE, 44100, &calls);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(FSOUND_Stream_Create(counting_callback, 12288, MODE, 44100, &calls), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_CHANNEL_ALLOC);
    EXPECT_TRUE(FSOUND_Stream_Close(s));
    EXPECT_EQ(calls.count, 0); // never played
}

TEST_F(Fsound, EveryOutputListsItsDeviceThenTheRecorder) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("TESSARO_RECORD", "/tmp/some-take.wav", 1);
    for (int type : {FSOUND_OUTPUT_NOSOUND, FSOUND_OUTPUT_WINMM, FSOUND_OUTPUT_DSOUND, FSOUND_OUTPUT_ASIO}) {
        ASSERT_TRUE(FSOUND_SetOutput(type));
        EXPECT_EQ(FSOUND_GetOutput(), type);
        const int n = FSOUND_GetNumDrivers();
        ASSERT_EQ(n, 2);
        EXPECT_STREQ(FSOUND_GetDriverName(n - 1), "WAVE file recorder (/tmp/some-take.wav)");
        EXPECT_EQ(FSOUND_GetDriverName(n), nullptr);
        EXPECT_EQ(FSOUND_GetDriverName(-1), nullptr);
        if (type != FSOUND_OUTPUT_NOSOUND) {
            EXPECT_STREQ(FSOUND_GetDriverName(0), "SDL audio (dummy)");
        }
    }
    EXPECT_FALSE(FSOUND_SetDriver(2));
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);
    unsetenv("TESSARO_RECORD");
    EXPECT_STREQ(record_file_path(), "tessaro-record.wav");
}

TEST_F(Fsound, NoSoundPullsClearedBlocksAtRealTimePace) {
    CALLS calls;
    ASSERT_TRUE(FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND));
    ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
    FSOUND_STREAM* s = FSOUND_Stream_Create(counting_callback, 12288, MODE, 44100, &calls);
    ASSERT_NE(s, nullptr);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(calls.count, 0); // nothing before play
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(FSOUND_Stream_Play(0, s), 0);
    // 3072 frames last 69.66 ms: block n is due n - 1 periods after the start and never before,
    // however late the machine lets the earlier ones come.
    ASSERT_TRUE(wait_for(calls.count, 10));
    const int count = calls.count;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LE(count, seconds / 0.06966 + 1) << count << " blocks in " << seconds << " s";
    EXPECT_TRUE(FSOUND_Stream_Close(s));
    EXPECT_EQ(calls.dirty_buffers, 0);
    EXPECT_EQ(calls.bad_lengths, 0);
}

TEST_F(Fsound, CloseWaitsForTheCallbackAndEndsTheCalls) {
    CALLS calls;
    calls.work = 40ms;
    ASSERT_TRUE(FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND));
    ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
    FSOUND_STREAM* s = FSOUND_Stream_Create(counting_callback, 12288, MODE, 44100, &calls);
    ASSERT_EQ(FSOUND_Stream_Play(0, s), 0);
    ASSERT_TRUE(wait_for(calls.inside, 1));
    EXPECT_TRUE(FSOUND_Stream_Close(s));
    EXPECT_EQ(calls.inside, 0);
    const int after_close = calls.count;
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(calls.count, after_close);
}

TEST_F(Fsound, ACallbackReturningFalseIsNotCalledAgain) {
    CALLS calls;
    calls.stop_after = 2;
    ASSERT_TRUE(FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND));
    ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
    FSOUND_STREAM* s = FSOUND_Stream_Create(counting_callback, 12288, MODE, 44100, &calls);
    ASSERT_EQ(FSOUND_Stream_Play(0, s), 0);
    ASSERT_TRUE(wait_for(calls.count, 2));
    // Three more periods would have brought three more calls.
    std::this_thread::sleep_for(210ms);
    EXPECT_EQ(calls.count, 2);
}

TEST_F(Fsound, RecorderWritesAPlayableFileWhileItRuns) {
    const std::string path = testing::TempDir() + "fsound_take_" + std::to_string(getpid()) + ".wav";
    setenv("TESSARO_RECORD", path.c_str(), 1);
    CALLS calls;
    ASSERT_TRUE(FSOUND_SetOutput(FSOUND_OUTPUT_DSOUND));
    ASSERT_TRUE(FSOUND_SetDriver(FSOUND_GetNumDrivers() - 1));
    ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
    FSOUND_STREAM* s = FSOUND_Stream_Create(counting_callback, 12288, MODE, 44100, &calls);
    ASSERT_EQ(FSOUND_Stream_Play(0, s), 0);
    ASSERT_TRUE(wait_for(calls.count, 3));

    // Mid-recording the header counts whole blocks, never more than are on disk: at most the
    // block being written, when the file is read just then, is not counted yet.
    std::vector<unsigned char> b = file_bytes(path);
    ASSERT_GE(b.size(), 44u);
    const uint32_t counted = u32_at(b, 40);
    EXPECT_EQ(counted % 12288, 0u);
    EXPECT_LE(counted, b.size() - 44);
    EXPECT_LE(b.size() - 44 - counted, 12288u);
    EXPECT_EQ(u32_at(b, 4), counted + 36);

    EXPECT_TRUE(FSOUND_Stream_Close(s));
    FSOUND_Close();
    b = file_bytes(path);
    const int blocks = calls.count;
    ASSERT_EQ(b.size(), 44u + 12288u * blocks);
    EXPECT_EQ(u32_at(b, 40), 12288u * blocks);
    EXPECT_EQ(std::memcmp(b.data(), "RIFF", 4), 0);
    // Block k holds the value k in every sample: first and last sample of each block.
    for (int k = 0; k < blocks; ++k) {
        const size_t first = 44 + 12288u * k, last = first + 12286;
        EXPECT_EQ(b[first] | b[first + 1] << 8, k + 1);
        EXPECT_EQ(b[last] | b[last + 1] << 8, k + 1);
    }
    unsetenv("TESSARO_RECORD");
    std::remove(path.c_str());
}

TEST_F(Fsound, RecorderThatCannotCreateItsFileFailsToInit) {
    setenv("TESSARO_RECORD", "/nonexistent-folder/take.wav", 1);
    ASSERT_TRUE(FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND));
    ASSERT_TRUE(FSOUND_SetDriver(1));
    EXPECT_FALSE(FSOUND_Init(44100, 32, 0));
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INIT);
    unsetenv("TESSARO_RECORD");
}

TEST_F(Fsound, SdlDevicePlaysThroughTheDummyDriver) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    CALLS calls;
    ASSERT_TRUE(FSOUND_SetOutput(FSOUND_OUTPUT_WINMM));
    ASSERT_TRUE(FSOUND_SetDriver(0));
    ASSERT_TRUE(FSOUND_Init(44100, 32, 0)) << FSOUND_GetError();
    FSOUND_STREAM* s = FSOUND_Stream_Create(counting_callback, 12288, MODE, 44100, &calls);
    ASSERT_EQ(FSOUND_Stream_Play(0, s), 0);
    EXPECT_TRUE(wait_for(calls.count, 2));
    EXPECT_TRUE(FSOUND_Stream_Close(s));
    const int after_close = calls.count;
    std::this_thread::sleep_for(150ms);
    EXPECT_EQ(calls.count, after_close);
    EXPECT_EQ(calls.dirty_buffers, 0);
}

TEST_F(Fsound, MissingSoundDeviceFailsWithInitError) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    ASSERT_TRUE(FSOUND_SetOutput(FSOUND_OUTPUT_DSOUND));
    EXPECT_STREQ(FSOUND_GetDriverName(0), "SDL audio (no device found)");
    ASSERT_TRUE(FSOUND_SetDriver(0));
    EXPECT_FALSE(FSOUND_Init(44100, 32, 0));
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_INIT);
    CALLS calls;
    EXPECT_EQ(FSOUND_Stream_Create(counting_callback, 12288, MODE, 44100, &calls), nullptr);
    EXPECT_EQ(FSOUND_GetError(), FMOD_ERR_UNINITIALIZED);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
}

TEST(SdlBlock, DeviceBufferIsTheLargestPowerOfTwoWithinTheBlock) {
    const int cases[][2] = {{64, 64}, {100, 64}, {256, 256}, {3072, 2048}, {4096, 4096}, {8192, 8192}};
    for (const auto& c : cases) EXPECT_EQ(sdl_device_frames(c[0]), c[1]) << c[0];
}
