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
#include "app/system_dash.h"
#include "tests/support/sdl_events.h"
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
    SCREEN screen;
    void SetUp() override {
        screen.draw_frame = count_draw;
        draws = 0;
        last_flags = 0;
        reset_step_notices();
    }
    void TearDown() override { reset_step_notices(); }
};

} // namespace

TEST_F(FrameLoop, PacesAboutSixtyPassesASecondAndDrawsOnlyTheFirstWhenIdle) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(frame_loop(screen, 30), 30);
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
    screen.sequencer_panels = {&seq};
    EXPECT_EQ(frame_pass(screen, false), 0);
    EXPECT_EQ(draws, 0);
    ASSERT_TRUE(post_step_notice(nullptr, "SEQ_A"));
    ASSERT_TRUE(post_step_notice(nullptr, "SEQ_A"));
    EXPECT_EQ(frame_pass(screen, false) & FLAG_REDRAW, FLAG_REDRAW);
    EXPECT_EQ(draws, 1);
    // Two notices before the panel was drawn leave one record, however long it stays unseen.
    ASSERT_EQ(seq.messages.size(), 1u);
    EXPECT_EQ(seq.messages[0].event_type(), EVENT_USER);
    EXPECT_EQ(frame_pass(screen, false), 0);
    EXPECT_EQ(draws, 1);
    for (int i = 0; i < 100; ++i) {
        post_step_notice(nullptr, "SEQ_A");
        frame_pass(screen, false);
    }
    EXPECT_EQ(seq.messages.size(), 1u);
    seq.update();
    EXPECT_TRUE(seq.messages.empty());
    post_step_notice(nullptr, "SEQ_A");
    frame_pass(screen, false);
    EXPECT_EQ(seq.messages.size(), 1u);
}

TEST_F(FrameLoop, AViewSwitchIsMadeAtOnceAndLeavesTheRestOfTheQueueToTheNewView) {
    // The event queue is the video library's; its dummy driver gives one without a display.
    ASSERT_EQ(setenv("SDL_VIDEODRIVER", "dummy", 1), 0);
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    OBJET panel(0, 0, "7");
    panel.w = panel.h = 100;
    screen.panels = {&panel};
    screen.draw_cable_frame = count_draw;
    SDL_Event queued[] = {key_event(SDL_KEYDOWN, SDLK_F6), motion_event(10, 10)};
    for (SDL_Event& e : queued)
        SDL_PushEvent(&e);
    testing::internal::CaptureStdout();
    frame_pass(screen, false);
    EXPECT_EQ(screen.cable_view, 1);
    EXPECT_EQ(panel.mode, MODE_BACK);
    EXPECT_EQ(screen.interaction.pointer_x, 0) << "the motion waits for the next pass";
    frame_pass(screen, false);
    EXPECT_EQ(screen.interaction.pointer_x, 10);
    EXPECT_EQ(screen.cable_state.hovered_panel, 0) << "the cable view took the motion";
    EXPECT_EQ(screen.interaction.hovered_panel, -1);

    // A dashboard button's request waits for the end of the frame, then runs once.
    SYSTEM_DASH dash;
    screen.dashboards = {&dash};
    dash.requested = REQUEST_CABLES;
    EXPECT_EQ(run_requests(screen), 1);
    EXPECT_EQ(screen.cable_view, 0);
    EXPECT_EQ(panel.mode, MODE_FRONT);
    EXPECT_EQ(run_requests(screen), 0);
    testing::internal::GetCapturedStdout();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
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
