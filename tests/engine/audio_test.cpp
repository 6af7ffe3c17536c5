// The stream callback: sample conversion, the running flag and its handshake, frames and scope.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

#include "engine/modules.h"

namespace {

// Installs a graph and a master for one test and puts the globals back afterwards.
struct AudioFixture : ::testing::Test {
    GENERATOR g;
    float master = 0.0f;
    void SetUp() override {
        generator = &g;
        point_master_out(&master);
        audio_resume();
    }
    void TearDown() override {
        audio_pause();
        generator = nullptr;
        point_master_out(nullptr);
        scope_mode = 0;
        scope_plot_hook = nullptr;
    }
};

int plotted = 0;
int plot_frames = 0;
float plot_last = 0.0f;
void plot(float m, int frames) {
    ++plotted;
    plot_frames = frames;
    plot_last = m;
}

} // namespace

TEST(ToSample, TruncatesAndSaturates) {
    EXPECT_EQ(to_sample(1.0f), 32767);
    EXPECT_EQ(to_sample(-1.0f), -32767);
    EXPECT_EQ(to_sample(0.5f), 16383); // 16383.5 truncated toward zero
    EXPECT_EQ(to_sample(-0.5f), -16383);
    EXPECT_EQ(to_sample(1.5f), 32767);
    EXPECT_EQ(to_sample(-1.5f), -32768);
    EXPECT_EQ(to_sample(1e30f), 32767);
    EXPECT_EQ(to_sample(-INFINITY), -32768);
    EXPECT_EQ(to_sample(NAN), 0);
}

TEST_F(AudioFixture, WritesTheMasterToBothChannelsOfEveryFrame) {
    master = 0.25f; // 8191.75
    std::vector<int16_t> buf(3072 * 2, 7);
    EXPECT_EQ(render_block(nullptr, buf.data(), 12288, nullptr), 1);
    for (int16_t s : buf)
        ASSERT_EQ(s, 8191);

    // A length that is not a whole number of frames leaves its tail alone.
    std::vector<int16_t> odd(6, 7);
    render_block(nullptr, odd.data(), 10, nullptr);
    EXPECT_EQ(odd, (std::vector<int16_t>{8191, 8191, 8191, 8191, 7, 7}));
}

TEST_F(AudioFixture, RunsTheSweepOncePerFrame) {
    auto* seq = new SEQUENCER;
    GENERATOR::push_front(g.sequencers, seq);
    std::vector<int16_t> buf(3072 * 2);
    render_block(nullptr, buf.data(), 12288, nullptr);
    EXPECT_FLOAT_EQ(seq->step_clock, 3072.0f);

    // The master is read after the frame's sweep: a note starting on this frame is heard in it.
    seq->step_clock = 22049.0f; // the next frame starts a step
    point_master_out(&seq->value);
    fill_note_table();
    render_block(nullptr, buf.data(), 8, nullptr);
    EXPECT_EQ(buf[0], 32767); // 220 Hz as a sample: saturated
}

TEST_F(AudioFixture, LeavesTheBufferAloneWhileStopped) {
    auto* seq = new SEQUENCER;
    GENERATOR::push_front(g.sequencers, seq);
    audio_pause();
    std::vector<int16_t> buf(64, 0x5a5a);
    EXPECT_EQ(render_block(nullptr, buf.data(), 128, nullptr), 1);
    for (int16_t s : buf)
        ASSERT_EQ(s, 0x5a5a);
    EXPECT_FLOAT_EQ(seq->step_clock, 0.0f);

    audio_resume();
    EXPECT_EQ(render_block(nullptr, buf.data(), 0, nullptr), 1);
    EXPECT_EQ(render_block(nullptr, buf.data(), 3, nullptr), 1);
    EXPECT_FLOAT_EQ(seq->step_clock, 0.0f); // no whole frame: nothing processed
    EXPECT_EQ(buf[0], 0x5a5a);
}

TEST_F(AudioFixture, WithoutAMasterTheOutputIsSilent) {
    point_master_out(nullptr);
    std::vector<int16_t> buf(8, 3);
    render_block(nullptr, buf.data(), 16, nullptr);
    for (int16_t s : buf)
        EXPECT_EQ(s, 0);
}

TEST_F(AudioFixture, ScopeModePlotsEveryFrame) {
    master = -0.5f;
    plotted = 0;
    scope_plot_hook = plot;
    std::vector<int16_t> buf(3072 * 2);
    render_block(nullptr, buf.data(), 12288, nullptr);
    EXPECT_EQ(plotted, 0); // scope off
    scope_mode = 1;
    render_block(nullptr, buf.data(), 12288, nullptr);
    EXPECT_EQ(plotted, 3072);
    EXPECT_EQ(plot_frames, 3072);
    EXPECT_FLOAT_EQ(plot_last, -0.5f);
}

TEST_F(AudioFixture, PauseWaitsForTheBlockInProgress) {
    // A heavy graph so that a block takes a while; the renderer thread loops until told.
    for (int i = 0; i < 200; ++i)
        GENERATOR::push_front(g.vcos, new VCO);
    auto* seq = new SEQUENCER;
    seq->DIVIDER = 1e-6f; // no step for hours: the clock counts every frame rendered
    GENERATOR::push_front(g.sequencers, seq);
    std::atomic<bool> stop{false};
    std::atomic<int> blocks{0};
    std::thread renderer([&] {
        std::vector<int16_t> buf(3072 * 2);
        while (!stop.load()) {
            render_block(nullptr, buf.data(), 12288, nullptr);
            blocks.fetch_add(1);
        }
    });
    while (blocks.load() < 2)
        std::this_thread::yield();
    for (int round = 0; round < 5; ++round) {
        audio_pause();
        // Once paused, no frame may be rendered (the graph can be replaced safely), and the
        // last block was rendered whole.
        const float clock = seq->step_clock;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_EQ(seq->step_clock, clock);
        EXPECT_EQ(static_cast<int>(seq->step_clock) % 3072, 0);
        audio_resume();
        const int seen = blocks.load();
        while (blocks.load() < seen + 2)
            std::this_thread::yield();
    }
    stop.store(true);
    renderer.join();
}
