// The oscilloscope's points: clamped rows, bounded zoom, the sweep wrap and the lock-free ring.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <thread>
#include <vector>

#include "engine/audio.h"
#include "engine/scope_buffer.h"

namespace {

std::vector<SCOPE_POINT> drain() {
    std::vector<SCOPE_POINT> out(SCOPE_BUFFER::CAPACITY);
    out.resize(static_cast<size_t>(scope_buffer.take(out.data(), static_cast<int>(out.size()))));
    return out;
}

class ScopeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        scope_buffer.clear();
        scope_x = 0.0f;
        scope_zoom = 1.0f;
    }
    void TearDown() override {
        scope_buffer.clear();
        scope_zoom = 1.0f;
        scope_x = 0.0f;
    }
};

} // namespace

TEST(ScopeRows, FollowTheSignalAndStayBoundedWhateverItIs) {
    EXPECT_EQ(scope_row_offset(0.0f), 0);
    EXPECT_EQ(scope_row_offset(0.5f), 64);
    EXPECT_EQ(scope_row_offset(-1.0f), -128);
    EXPECT_EQ(scope_row_offset(0.999f), 127); // truncated toward zero
    EXPECT_EQ(scope_row_offset(-0.999f), -127);
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(scope_row_offset(std::nanf("")), 0);
    EXPECT_EQ(scope_row_offset(inf), SCOPE_ROW_LIMIT);
    EXPECT_EQ(scope_row_offset(-inf), -SCOPE_ROW_LIMIT);
    EXPECT_EQ(scope_row_offset(3e38f), SCOPE_ROW_LIMIT);
    EXPECT_EQ(scope_row_offset(-1e20f), -SCOPE_ROW_LIMIT);
    // Every row fits the point's 16 bits.
    EXPECT_LE(SCOPE_ROW_LIMIT, 32767);
}

TEST(ScopeZoom, HalvesAndDoublesWithinTwoToTheTenInEitherDirection) {
    float z = 1.0f;
    z = scope_zoom_doubled(z);
    EXPECT_FLOAT_EQ(z, 2.0f);
    for (int i = 0; i < 40; ++i)
        z = scope_zoom_doubled(z);
    EXPECT_FLOAT_EQ(z, 1024.0f);
    for (int i = 0; i < 10; ++i)
        z = scope_zoom_halved(z);
    EXPECT_FLOAT_EQ(z, 1.0f); // halving undoes doubling exactly: powers of two
    for (int i = 0; i < 40; ++i)
        z = scope_zoom_halved(z);
    EXPECT_FLOAT_EQ(z, 1.0f / 1024.0f);
    EXPECT_FLOAT_EQ(scope_zoom_doubled(std::nanf("")), 2.0f);
    EXPECT_FLOAT_EQ(scope_zoom_halved(std::numeric_limits<float>::infinity()), 512.0f);
    EXPECT_FLOAT_EQ(scope_zoom_halved(-3.0f), SCOPE_ZOOM_MIN);
}

TEST(ScopeZoom, StepIsZoomTimesFourThousandthsWhateverTheBlock) {
    EXPECT_FLOAT_EQ(scope_column_step(1.0f), 0.004f);
    EXPECT_FLOAT_EQ(scope_column_step(2.0f), 0.008f);
    EXPECT_FLOAT_EQ(scope_column_step(1e30f), 4.096f); // the zoom bound holds here too
}

TEST_F(ScopeTest, ASweepOfEightHundredColumnsEndsWithOneWrapMark) {
    // At zoom 1024 a 3072-frame block moves 4.096 columns per frame: 196 frames reach column
    // 802, and the frame after that starts the sweep again.
    scope_zoom = 1024.0f;
    for (int i = 0; i < 200; ++i)
        scope_plot_frame(0.25f, 3072);
    const std::vector<SCOPE_POINT> pts = drain();
    int wraps = 0, last_x = -1;
    for (const SCOPE_POINT& p : pts) {
        if (p.x == SCOPE_WRAP) {
            ++wraps;
            last_x = -1;
            continue;
        }
        EXPECT_GE(p.x, last_x); // columns only grow within a sweep
        EXPECT_LE(p.x, 805);
        EXPECT_EQ(p.y, 32);
        last_x = p.x;
    }
    EXPECT_EQ(wraps, 1);
    EXPECT_EQ(pts.size(), 201u);
}

TEST_F(ScopeTest, AColumnThatIsNotANumberStartsTheSweepAgain) {
    scope_x = std::nanf("");
    scope_plot_frame(0.0f, 3072);
    const std::vector<SCOPE_POINT> pts = drain();
    ASSERT_EQ(pts.size(), 2u);
    EXPECT_EQ(pts[0].x, SCOPE_WRAP);
    EXPECT_EQ(pts[1].x, 0);
    EXPECT_FLOAT_EQ(scope_x, 0.004f);
}

TEST_F(ScopeTest, AFullRingDropsNewPointsAndKeepsTheOldOnes) {
    const uint32_t lost_before = scope_buffer.dropped();
    for (uint32_t i = 0; i < SCOPE_BUFFER::CAPACITY + 10; ++i)
        scope_buffer.push({static_cast<int16_t>(i % 800), static_cast<int16_t>(-static_cast<int>(i % 100))});
    EXPECT_EQ(scope_buffer.dropped() - lost_before, 10u);
    const std::vector<SCOPE_POINT> pts = drain();
    ASSERT_EQ(pts.size(), SCOPE_BUFFER::CAPACITY);
    for (size_t i = 0; i < pts.size(); i += 997) {
        EXPECT_EQ(pts[i].x, static_cast<int16_t>(i % 800));
        EXPECT_EQ(pts[i].y, static_cast<int16_t>(-static_cast<int>(i % 100)));
    }
}

TEST_F(ScopeTest, PointsCrossThreadsInOrderWithoutLoss) {
    // The consumer keeps up, so every point arrives, in the order pushed.
    constexpr int COUNT = 200000;
    std::thread producer([] {
        for (int i = 0; i < COUNT;) {
            if (scope_buffer.push({static_cast<int16_t>(i & 0x3FFF), static_cast<int16_t>(i >> 14)}))
                ++i;
            else
                std::this_thread::yield();
        }
    });
    std::vector<SCOPE_POINT> chunk(1000);
    int seen = 0;
    bool in_order = true;
    while (seen < COUNT) {
        const int n = scope_buffer.take(chunk.data(), static_cast<int>(chunk.size()));
        for (int k = 0; k < n; ++k, ++seen)
            in_order = in_order && chunk[k].x == (seen & 0x3FFF) && chunk[k].y == (seen >> 14);
        if (n == 0) std::this_thread::yield();
    }
    producer.join();
    EXPECT_TRUE(in_order);
}

TEST_F(ScopeTest, TheCallbackPlotsThroughTheHookInScopeMode) {
    float master = 0.5f;
    scope_plot_hook = scope_plot_frame;
    point_master_out(&master);
    scope_mode = 1;
    audio_resume();
    std::vector<int16_t> block(3072 * 2);
    render_block(nullptr, block.data(), 12288, nullptr);
    // The same frames in 64-frame blocks, as short JACK periods render them, sweep as far.
    scope_x = 0.0f;
    for (int i = 0; i < 48; ++i) render_block(nullptr, block.data(), 256, nullptr);
    audio_pause();
    scope_mode = 0;
    scope_plot_hook = nullptr;
    point_master_out(nullptr);
    const std::vector<SCOPE_POINT> pts = drain();
    ASSERT_EQ(pts.size(), 2 * 3072u);
    EXPECT_EQ(pts.back().y, 64);
    EXPECT_EQ(pts[3071].x, 12); // 3072 x 0.004 = 12.288 columns
    EXPECT_EQ(pts.back().x, 12);
}
