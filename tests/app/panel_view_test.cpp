// The panel view's event rules, fed with made-up window events: hit order, presses and
// releases, knob drags, hover, scrolling, folding, moving panels and the note keys.
#include "app/panel_view.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "app/controller.h"
#include "engine/generator.h"
#include "tests/support/sdl_events.h"
#include "toolkit/panel_walkers.h"
#include "toolkit/slider.h"

namespace {

struct WARP {
    int count = 0, x = 0, y = 0;
};
WARP warps;
void record_warp(int x, int y) {
    ++warps.count;
    warps.x = x;
    warps.y = y;
}

int count_text(const OBJET& p, const char* text) {
    int n = 0;
    for (const MESSAGE& m : p.messages)
        if (m.kind == 0 && std::strcmp(m.text, text) == 0) ++n;
    return n;
}

class PanelView : public testing::Test {
  protected:
    std::vector<std::unique_ptr<OBJET>> owned;
    std::vector<OBJET*> drawn; // drawing order
    std::vector<OBJET*> list;  // hit order

    SCREEN screen;
    INTERACTION& interaction = screen.interaction;

    void SetUp() override {
        scroll_x = scroll_y = 0;
        warps = WARP();
        screen.warp_pointer = record_warp;
    }
    void TearDown() override { scroll_x = scroll_y = 0; }

    OBJET* panel(float x, float y, float w, float h) {
        owned.push_back(std::make_unique<OBJET>(static_cast<int>(x), static_cast<int>(y), "7"));
        OBJET* p = owned.back().get();
        p->w = w;
        p->h = h;
        drawn.push_back(p);
        build_hit_list({}, drawn, list);
        return p;
    }
    // A knob at (x, y) inside the panel, w x h.
    SLIDER* knob(OBJET* p, float x, float y, float w = 20, float h = 20) {
        auto* k = new SLIDER("7_SLD_FREQ", "KNOB");
        k->x = x;
        k->y = y;
        k->w = w;
        k->h = h;
        p->front.push_back(k);
        return k;
    }
    int send(const SDL_Event& e) { return panel_view_event(screen, list, e); }
};

} // namespace

TEST_F(PanelView, HitListPutsWhatIsDrawnLastFirst) {
    OBJET a(0, 0, "1"), b(0, 0, "2"), c(0, 0, "3"), d1(0, 0, "58"), d2(0, 0, "60");
    std::vector<OBJET*> out;
    build_hit_list({&d2, &d1}, {&a, &b, &c}, out);
    EXPECT_EQ(out, (std::vector<OBJET*>{&d1, &d2, &c, &b, &a}));
}

TEST_F(PanelView, PanelAtTakesTheFirstEntryEdgesIncluded) {
    OBJET* low = panel(0, 0, 100, 100);
    OBJET* top = panel(50, 50, 100, 100); // drawn later, over the first
    EXPECT_EQ(list[panel_at(list, 75, 75)], top);
    EXPECT_EQ(list[panel_at(list, 10, 10)], low);
    EXPECT_EQ(list[panel_at(list, 150, 150)], top); // the far corner belongs to the panel
    EXPECT_EQ(panel_at(list, 151, 150), -1);
    EXPECT_EQ(panel_at(std::vector<OBJET*>{}, 0, 0), -1);
}

TEST_F(PanelView, PressLandsOnTheVisiblePanelAndReleaseReturnsToIt) {
    OBJET* low = panel(0, 0, 200, 200);
    SLIDER* under = knob(low, 40, 40);
    OBJET* top = panel(30, 30, 200, 200);
    SLIDER* over = knob(top, 10, 10); // the same spot on the screen as `under`

    send(button_event(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 45, 45));
    ASSERT_EQ(top->messages.size(), 1u);
    EXPECT_EQ(top->messages.back().target, over);
    EXPECT_EQ(top->messages.back().event_type(), EVENT_MOUSE_DOWN);
    EXPECT_TRUE(low->messages.empty());
    EXPECT_EQ(interaction.pressed_panel, top);
    (void)under;

    // The pointer wanders over another panel before the release.
    OBJET* far = panel(500, 0, 100, 100);
    SLIDER* elsewhere = knob(far, 10, 10);
    send(motion_event(510, 10));
    send(motion_event(511, 10)); // the hovered panel is found at the previous pointer position
    EXPECT_EQ(list[interaction.hovered_panel], far);
    top->messages.clear();
    send(button_event(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 510, 10));
    ASSERT_EQ(top->messages.size(), 1u);
    EXPECT_EQ(top->messages[0].target, over);
    EXPECT_EQ(top->messages[0].event_type(), EVENT_MOUSE_UP);
    for (const MESSAGE& m : far->messages)
        EXPECT_NE(m.kind, 1);
    EXPECT_EQ(interaction.pressed_item, nullptr);
    EXPECT_EQ(interaction.pressed_panel, nullptr);
    (void)elsewhere;
}

TEST_F(PanelView, KnobDragPostsOneStepPerPixelAndWarpsBack) {
    OBJET* p = panel(100, 100, 200, 200);
    SLIDER* k = knob(p, 50, 50);
    scroll_x = 10;
    scroll_y = 20;
    // Window (145, 135) is world (155, 155), on the knob at world (150..170, 150..170).
    send(button_event(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 145, 135));
    ASSERT_EQ(interaction.pressed_item, k);
    p->messages.clear();

    send(motion_event(150, 130)); // 5 pixels up, and sideways, which is ignored
    EXPECT_EQ(count_text(*p, "SLD_UP"), 5);
    EXPECT_EQ(count_text(*p, "SLD_DOWN"), 0);
    EXPECT_EQ(warps.count, 1);
    EXPECT_EQ(warps.x, 145);
    EXPECT_EQ(warps.y, 135);
    for (const MESSAGE& m : p->messages) {
        if (m.kind == 0 && std::strcmp(m.text, "SLD_UP") == 0) {
            EXPECT_EQ(m.target, k);
        }
    }

    p->messages.clear();
    send(motion_event(145, 135)); // the warp's own motion: back at the press point, no step
    EXPECT_EQ(count_text(*p, "SLD_UP") + count_text(*p, "SLD_DOWN"), 0);
    send(motion_event(145, 138));
    EXPECT_EQ(count_text(*p, "SLD_DOWN"), 3);
    EXPECT_EQ(p->x, 100); // nothing moves during a press
}

TEST_F(PanelView, HoverSendsTouchInAndOutOnceEach) {
    OBJET* p = panel(0, 0, 300, 100);
    SLIDER* a = knob(p, 10, 10);
    SLIDER* b = knob(p, 100, 10);
    send(motion_event(15, 15));
    send(motion_event(16, 15)); // still the same item: nothing new
    EXPECT_EQ(interaction.hovered_item, a);
    EXPECT_EQ(a->hover, 1);
    EXPECT_EQ(count_text(*p, "TOUCH_IN"), 1);
    send(motion_event(17, 15));
    EXPECT_EQ(count_text(*p, "TOUCH_IN"), 1);
    send(motion_event(200, 80)); // empty panel space: nothing is sent, a keeps its hover
    EXPECT_EQ(count_text(*p, "TOUCH_OUT"), 0);
    EXPECT_EQ(a->hover, 1);
    send(motion_event(105, 15));
    EXPECT_EQ(count_text(*p, "TOUCH_OUT"), 1);
    EXPECT_EQ(count_text(*p, "TOUCH_IN"), 2);
    EXPECT_EQ(a->hover, 0);
    EXPECT_EQ(b->hover, 1);
}

TEST_F(PanelView, AHoveredPanelIndexBeyondTheListIsIgnored) {
    panel(0, 0, 100, 100);
    interaction.hovered_panel = 7;
    interaction.grabbed_panel = 9;
    EXPECT_NO_FATAL_FAILURE(send(key_event(SDL_KEYDOWN, SDLK_5)));
    std::vector<OBJET*> shorter;
    EXPECT_EQ(panel_view_event(screen, shorter, motion_event(10, 10)) & FLAG_REDRAW, 0);
}

TEST_F(PanelView, ScrollOffsetsStayInTheWorld) {
    EXPECT_EQ(clamp_scroll(-5, SCROLL_X_MAX), 0);
    EXPECT_EQ(clamp_scroll(0, SCROLL_X_MAX), 0);
    EXPECT_EQ(clamp_scroll(1, SCROLL_X_MAX), 1);
    EXPECT_EQ(clamp_scroll(SCROLL_X_MAX, SCROLL_X_MAX), SCROLL_X_MAX);
    EXPECT_EQ(clamp_scroll(SCROLL_X_MAX + 1, SCROLL_X_MAX), SCROLL_X_MAX);

    send(motion_event(500, 400));
    send(button_event(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 500, 400));
    // Dragging far in every direction never leaves 0..2176 x 0..2432.
    const int path[][2] = {{0, 0}, {1023, 767}, {0, 767},    {1023, 0},
                           {0, 0}, {0, 0},      {1023, 767}, {1023, 767}};
    for (int round = 0; round < 20; ++round) {
        for (const auto& pt : path) {
            const int flags = send(motion_event(pt[0], pt[1]));
            EXPECT_TRUE(flags & FLAG_VIEW_MOVED);
            EXPECT_GE(scroll_x, 0);
            EXPECT_LE(scroll_x, SCROLL_X_MAX);
            EXPECT_GE(scroll_y, 0);
            EXPECT_LE(scroll_y, SCROLL_Y_MAX);
        }
    }
    send(button_event(SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE, 0, 0));
    EXPECT_EQ(interaction.scrolling, 0);
    const int x = scroll_x;
    send(motion_event(10, 10));
    EXPECT_EQ(scroll_x, x);
}

TEST_F(PanelView, MiddleClickFoldsAndUnfoldsButAScrollDragDoesNot) {
    OBJET* p = panel(0, 0, 200, 100);
    send(motion_event(50, 50));
    send(button_event(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 50, 50));
    send(button_event(SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE, 50, 50));
    EXPECT_EQ(p->mode, MODE_FOLDED);
    send(button_event(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 50, 50));
    send(button_event(SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE, 50, 50));
    EXPECT_EQ(p->mode, MODE_FRONT);

    send(button_event(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 50, 50));
    send(motion_event(40, 50));
    send(button_event(SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE, 40, 50));
    EXPECT_EQ(p->mode, MODE_FRONT);

    send(key_event(SDL_KEYDOWN, SDLK_5));
    EXPECT_EQ(p->mode, MODE_FOLDED);
}

TEST_F(PanelView, GrabbedPanelFollowsThePointerAndScrollsAtTheEdge) {
    OBJET* p = panel(100, 100, 50, 50);
    scroll_x = 100;
    send(button_event(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 20, 120)); // world (120, 120)
    ASSERT_EQ(list[interaction.grabbed_panel], p);
    send(motion_event(300, 200));
    EXPECT_EQ(p->x, 400);
    EXPECT_EQ(p->y, 200);
    // Within 5 pixels of the left edge: 35 pixels left per motion, down to 0.
    int flags = send(motion_event(2, 200));
    EXPECT_EQ(scroll_x, 65);
    EXPECT_TRUE(flags & FLAG_VIEW_MOVED);
    send(motion_event(2, 200));
    send(motion_event(2, 200));
    EXPECT_EQ(scroll_x, 0);
    send(motion_event(2, 200));
    EXPECT_EQ(scroll_x, 0);
    send(button_event(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 2, 200));
    EXPECT_EQ(interaction.grabbed_panel, -1);
    const float x = p->x;
    send(motion_event(300, 300));
    EXPECT_EQ(p->x, x);
}

TEST_F(PanelView, NoteRowsPlayTheirKeyboards) {
    GENERATOR* saved = generator;
    GENERATOR g;
    const char* names[] = {"KEY_1", "KEY_2", "KEY_3"};
    for (const char* n : names) {
        auto* k = new KEYBOARD();
        std::strcpy(k->name, n);
        GENERATOR::push_front(g.keyboards, k);
    }
    generator = &g;
    KEYBOARD* k1 = find_by_name(g.keyboards, "KEY_1");
    KEYBOARD* k2 = find_by_name(g.keyboards, "KEY_2");
    KEYBOARD* k3 = find_by_name(g.keyboards, "KEY_3");

    EXPECT_EQ(send(key_event(SDL_KEYDOWN, SDLK_q)) & FLAG_REDRAW, FLAG_REDRAW);
    EXPECT_EQ(k3->key, 1);
    EXPECT_EQ(k3->gate, 1);
    EXPECT_EQ(k3->sync_pending, 1);
    send(key_event(SDL_KEYUP, SDLK_q));
    EXPECT_EQ(k3->gate, 0);
    EXPECT_EQ(k3->key, 1);
    EXPECT_EQ(k2->gate, 0);
    EXPECT_EQ(k2->sync_pending, 0);

    send(key_event(SDL_KEYDOWN, SDLK_g));
    send(key_event(SDL_KEYDOWN, SDLK_h));
    EXPECT_EQ(k2->key, 6);
    EXPECT_EQ(k2->gate, 1);
    send(key_event(SDL_KEYUP, SDLK_g));
    EXPECT_EQ(k2->gate, 0);

    send(key_event(SDL_KEYDOWN, SDLK_n));
    EXPECT_EQ(k1->key, 6);
    EXPECT_EQ(k1->gate_time, 0.0f);

    // A single keyboard, whatever its name, is played by all three rows.
    GENERATOR one;
    auto* solo = new KEYBOARD();
    std::strcpy(solo->name, "PIANO");
    GENERATOR::push_front(one.keyboards, solo);
    generator = &one;
    const SDLKey all[] = {SDLK_z, SDLK_x, SDLK_c, SDLK_v, SDLK_b, SDLK_n, SDLK_a, SDLK_s, SDLK_d,
                          SDLK_f, SDLK_g, SDLK_h, SDLK_q, SDLK_w, SDLK_e, SDLK_r, SDLK_t, SDLK_y};
    for (int i = 0; i < 18; ++i) {
        solo->gate = 0;
        send(key_event(SDL_KEYDOWN, all[i]));
        EXPECT_EQ(solo->key, i % 6 + 1);
        EXPECT_EQ(solo->gate, 1);
    }
    // With CTRL held, "z" and "y" take back and make again: no note. Other keys still play.
    for (const SDLKey k : {SDLK_z, SDLK_y, SDLK_x}) {
        solo->gate = 0;
        SDL_Event e = key_event(SDL_KEYDOWN, k);
        e.key.keysym.mod = KMOD_LCTRL;
        send(e);
        EXPECT_EQ(solo->gate, k == SDLK_x ? 1 : 0) << k;
    }
    // No keyboard at all: the keys do nothing.
    GENERATOR none;
    generator = &none;
    EXPECT_EQ(send(key_event(SDL_KEYDOWN, SDLK_q)), FLAG_REDRAW);
    generator = saved;
}

TEST_F(PanelView, EscapeEndsTheLoopOnRelease) {
    send(key_event(SDL_KEYDOWN, SDLK_ESCAPE));
    EXPECT_EQ(screen.running, 1);
    send(key_event(SDL_KEYUP, SDLK_ESCAPE));
    EXPECT_EQ(screen.running, 0);
}

TEST_F(PanelView, StepNoticeReachesEverySequencerPanel) {
    OBJET a(0, 0, "1"), b(0, 0, "2");
    screen.sequencer_panels = {&a, &b};
    SDL_Event e = {};
    e.type = SDL_USEREVENT;
    EXPECT_EQ(step_notice_event(screen, &e, sizeof e), FLAG_REDRAW);
    for (OBJET* p : {&a, &b}) {
        ASSERT_EQ(p->messages.size(), 1u);
        EXPECT_EQ(p->messages[0].kind, 1);
        EXPECT_EQ(p->messages[0].event_type(), EVENT_USER);
    }
}
