// The frame loop without a window: pacing, when it draws, and the step notices' way from the
// audio thread to the sequencer panels.
#include "app/frame_loop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "app/panel_view.h"
#include "app/step_notice.h"
#include "toolkit/objet.h"

namespace {

int draws = 0;
int last_flags = 0;
void count_draw(int flags) {
    ++draws;
    last_flags = flags;
}

class FrameLoop : public testing::Test {
  protected:
    void (*saved_draw)(int) = nullptr;
    void SetUp() override {
        saved_draw = draw_frame;
        draw_frame = count_draw;
        draws = 0;
        last_flags = 0;
        reset_step_notices();
        reset_interaction();
        sequencer_panels.clear();
    }
    void TearDown() override {
        draw_frame = saved_draw;
        reset_step_notices();
        sequencer_panels.clear();
    }
};

} // namespace

TEST_F(FrameLoop, PacesAboutSixtyPassesASecondAndDrawsOnlyTheFirstWhenIdle) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(frame_loop(30), 30);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // 30 passes at 60 a second take half a second; a loaded machine may stretch it as far as it
    // likes, only a rush is a fault.
    EXPECT_GT(seconds, 0.4);
    EXPECT_EQ(draws, 1);
}

TEST_F(FrameLoop, PacerSleepsTheRestOfEachPeriodWithoutCatchingUp) {
    using namespace std::chrono;
    FRAME_PACER pacer(milliseconds(20));
    std::this_thread::sleep_for(milliseconds(70)); // a pass that overran by far
    auto t0 = steady_clock::now();
    pacer.wait(); // returns at once, no burst follows
    pacer.wait();
    pacer.wait();
    const double ms = duration<double, std::milli>(steady_clock::now() - t0).count();
    EXPECT_GE(ms, 38.0);
}

TEST_F(FrameLoop, StepNoticesRedrawAndReachTheSequencerPanels) {
    OBJET seq(0, 0, "3");
    sequencer_panels = {&seq};
    EXPECT_EQ(frame_pass(false), 0);
    EXPECT_EQ(draws, 0);
    ASSERT_TRUE(post_step_notice(nullptr, "SEQ_A"));
    ASSERT_TRUE(post_step_notice(nullptr, "SEQ_A"));
    EXPECT_EQ(frame_pass(false) & FLAG_REDRAW, FLAG_REDRAW);
    EXPECT_EQ(draws, 1);
    // Two notices before the panel was drawn leave one record, however long it stays unseen.
    ASSERT_EQ(seq.messages.size(), 1u);
    EXPECT_EQ(seq.messages[0].event_type(), EVENT_USER);
    EXPECT_EQ(frame_pass(false), 0);
    EXPECT_EQ(draws, 1);
    for (int i = 0; i < 100; ++i) {
        post_step_notice(nullptr, "SEQ_A");
        frame_pass(false);
    }
    EXPECT_EQ(seq.messages.size(), 1u);
    seq.update();
    EXPECT_TRUE(seq.messages.empty());
    post_step_notice(nullptr, "SEQ_A");
    frame_pass(false);
    EXPECT_EQ(seq.messages.size(), 1u);
}

TEST_F(FrameLoop, StepNoticeRingKeepsOrderAndCountsWhatItDrops) {
    STEP_NOTICE n;
    EXPECT_FALSE(take_step_notice(n));
    for (unsigned i = 0; i < STEP_NOTICE_SLOTS; ++i)
        ASSERT_TRUE(post_step_notice(nullptr, std::to_string(i).c_str()));
    EXPECT_FALSE(post_step_notice(nullptr, "late"));
    EXPECT_EQ(dropped_step_notices(), 1u);
    for (unsigned i = 0; i < STEP_NOTICE_SLOTS; ++i) {
        ASSERT_TRUE(take_step_notice(n));
        EXPECT_EQ(std::string(n.text), "SEQ_TRIG_" + std::to_string(i));
    }
    EXPECT_FALSE(take_step_notice(n));

    // A long name is cut to the slot, which stays terminated.
    const std::string long_name(300, 'N');
    ASSERT_TRUE(post_step_notice(nullptr, long_name.c_str()));
    ASSERT_TRUE(take_step_notice(n));
    EXPECT_EQ(std::strlen(n.text), static_cast<size_t>(STEP_NOTICE_TEXT_SIZE - 1));
    EXPECT_EQ(std::strncmp(n.text, "SEQ_TRIG_NNN", 12), 0);
}

TEST_F(FrameLoop, StepNoticesCrossThreadsInOrder) {
    constexpr int TOTAL = 20000;
    std::thread producer([] {
        for (int i = 0; i < TOTAL; ++i)
            while (!post_step_notice(nullptr, std::to_string(i).c_str()))
                std::this_thread::yield();
    });
    int expected = 0;
    STEP_NOTICE n;
    while (expected < TOTAL) {
        if (!take_step_notice(n)) {
            std::this_thread::yield();
            continue;
        }
        ASSERT_EQ(std::string(n.text), "SEQ_TRIG_" + std::to_string(expected));
        ++expected;
    }
    producer.join();
    EXPECT_FALSE(take_step_notice(n));
}
