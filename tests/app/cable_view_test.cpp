// The cable view fed with made-up window events: turning the panels around, picking a plug up,
// dragging and dropping it, right CTRL, moving panels, F5, and the frame that rebuilds the cables.
#include "app/cable_view.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "app/frame_loop.h"
#include "app/panel_view.h"
#include "engine/generator.h"
#include "engine/verbose.h"
#include "panels/build_panels.h"
#include "panels/module_panel.h"
#include "tests/support/sdl_events.h"
#include "toolkit/sprite_registry.h"

namespace {

SPRITE_REGISTRY* shared_registry = nullptr;

int warps = 0, warp_x = 0, warp_y = 0;
void record_warp(int x, int y) {
    ++warps;
    warp_x = x;
    warp_y = y;
}

int frames_drawn = 0, last_frame_flags = 0;
void record_frame(int flags) {
    ++frames_drawn;
    last_frame_flags = flags;
}

template <class M> M* add(std::vector<M*>& l, M* mod, const char* name) {
    std::strcpy(mod->name, name);
    GENERATOR::push_front(l, mod);
    return mod;
}

// A keyboard feeding two oscillators' inputs, an envelope fed by one of them and the master
// mixer; the graph is the one being played while the test runs.
class CableView : public testing::Test {
  protected:
    GENERATOR g;
    KEYBOARD* k = add(g.keyboards, new KEYBOARD(), "KEY_1");
    VCO* a = add(g.vcos, new VCO(), "VCO_A");
    VCO* b = add(g.vcos, new VCO(), "VCO_B");
    VCA* e = add(g.vcas, new VCA(), "VCA_1");
    MIXER* m = add(g.mixers, new MIXER(), "MIXER_4");
    GENERATOR* played = nullptr;
    std::vector<OBJET*> sequencers;

    // The view says what it does only with --verbose, and the tests read that.
    void SetUp() override {
        set_verbose(true);
        if (!shared_registry) {
            shared_registry = new SPRITE_REGISTRY();
            testing::internal::CaptureStdout();
            shared_registry->create_registry("grfx/opengl.zim");
            testing::internal::GetCapturedStdout();
        }
        previous = sprite_registry;
        sprite_registry = shared_registry;
        a->input = &k->value;
        b->input = &k->value;
        e->input = &a->value;
        e->gate_in = &k->gate;
        m->add_channel(&e->value);
        played = generator;
        generator = &g;
        warp_pointer = record_warp;
        draw_cable_frame = record_frame;
        warps = frames_drawn = 0;
        scroll_x = scroll_y = 0;
        reset_interaction();
        reset_cable_view();
        cable_view = 0;
        build_panels(g, panels, sequencers);
        // Spread the panels out so none covers another.
        for (size_t i = 0; i < panels.size(); ++i)
            panels[i]->set_position(20.0f + 320.0f * static_cast<float>(i % 3),
                                    20.0f + 220.0f * static_cast<float>(i / 3), 0);
        toggle_cable_view();
        show_cable_view(FLAG_REDRAW);
    }
    void TearDown() override {
        set_verbose(false);
        if (cable_view) toggle_cable_view();
        reset_cable_view();
        for (OBJET* p : panels)
            delete p;
        panels.clear();
        generator = played;
        warp_pointer = nullptr;
        draw_cable_frame = draw_cable_view;
        sprite_registry = previous;
        reset_interaction();
    }

    OBJET* panel_of(const char* module) {
        for (OBJET* p : panels)
            if (!std::strcmp(static_cast<MODULE_PANEL*>(p)->module_name(), module)) return p;
        return nullptr;
    }
    // Window position of a jack's centre (the world is not scrolled).
    void centre(const char* module, const char* jack, int& x, int& y) {
        OBJET* p = panel_of(module);
        SPRITE* j = find(*p, jack);
        ASSERT_TRUE(j) << module << "." << jack;
        x = static_cast<int>(p->x + j->x + j->w / 2);
        y = static_cast<int>(p->y + j->y + j->h / 2);
    }
    int send(const SDL_Event& ev) { return cable_view_event(panels, ev); }
    // Drags the plug on one jack to another, printing into `out`.
    int drag(const char* from_module, const char* from_jack, const char* to_module, const char* to_jack) {
        int x0, y0, x1, y1;
        centre(from_module, from_jack, x0, y0);
        if (to_module)
            centre(to_module, to_jack, x1, y1);
        else
            x1 = 5, y1 = 700;
        testing::internal::CaptureStdout();
        int flags = send(motion_event(x0, y0));
        flags |= send(button_event(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, x0, y0));
        held_image = cable_state.dragged_cable
                         ? (cable_state.dragged_end ? cable_state.dragged_cable->plug_out.image
                                                    : cable_state.dragged_cable->plug_in.image)
                         : "";
        flags |= send(motion_event((x0 + x1) / 2, (y0 + y1) / 2));
        moved_flags = send(motion_event(x1, y1));
        flags |= moved_flags | send(button_event(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, x1, y1));
        out = testing::internal::GetCapturedStdout();
        return flags;
    }
    bool said(const char* text) const { return out.find(text) != std::string::npos; }

    std::vector<OBJET*>& panels = ::panels;
    SPRITE_REGISTRY* previous = nullptr;
    std::string out, held_image;
    int moved_flags = 0;
};

TEST_F(CableView, ToggleTurnsEveryPanelAroundAndAsksForARebuild) {
    for (OBJET* p : panels)
        EXPECT_EQ(p->mode, MODE_BACK);
    EXPECT_EQ(cable_view, 1);
    EXPECT_EQ(cable_rebuild, 0);
    EXPECT_EQ(cable_list.size(), 5u);
    toggle_cable_view();
    EXPECT_EQ(cable_view, 0);
    for (OBJET* p : panels)
        EXPECT_EQ(p->mode, MODE_FRONT);
    // A panel moved in the panel view: entering again rebuilds, so its cables follow it.
    panel_of("VCO_A")->x += 50;
    toggle_cable_view();
    EXPECT_EQ(cable_rebuild, 1);
    testing::internal::CaptureStdout();
    show_cable_view(FLAG_REDRAW);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_NE(printed.find("ROLL [1]["), std::string::npos);
    EXPECT_NE(printed.find("Cree liste des liens\nBegin Link Creation\n"), std::string::npos);
    int x, y;
    centre("VCO_A", "INPUT", x, y);
    bool found = false;
    for (const auto& c : cable_list)
        found = found || (c->x1 == x && c->y1 == y);
    EXPECT_TRUE(found);
}

TEST_F(CableView, FrameWithoutFlagsDrawsNothing) {
    cable_rebuild = 1;
    const int before = frames_drawn;
    show_cable_view(0);
    EXPECT_EQ(frames_drawn, before);
    EXPECT_EQ(cable_rebuild, 1);
    testing::internal::CaptureStdout();
    show_cable_view(FLAG_CABLES | FLAG_VIEW_MOVED);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(frames_drawn, before + 1);
    EXPECT_EQ(last_frame_flags, FLAG_CABLES | FLAG_VIEW_MOVED);
    EXPECT_EQ(cable_rebuild, 0);
}

TEST_F(CableView, DraggingAConsumerPlugToAnotherJackRewires) {
    int x0, y0;
    centre("VCO_B", "INPUT", x0, y0);
    const int flags = drag("VCO_B", "INPUT", "VCO_A", "INPUT_MOD_FREQ");
    EXPECT_EQ(held_image, "FICHE_UNPLUG");
    EXPECT_TRUE(said("SOURCE\nINPUT\n"));
    EXPECT_TRUE(said("Branchement OUTPUT vers INPUT\n"));
    EXPECT_EQ(moved_flags & (FLAG_CABLES | FLAG_VIEW_MOVED), FLAG_CABLES | FLAG_VIEW_MOVED);
    EXPECT_EQ(flags & (FLAG_CABLES | FLAG_VIEW_MOVED), FLAG_CABLES | FLAG_VIEW_MOVED);
    EXPECT_EQ(b->input, nullptr);
    ASSERT_NE(a->mod_freq, nullptr);
    EXPECT_EQ(*a->mod_freq, &k->value);
    EXPECT_EQ(cable_rebuild, 1);
    EXPECT_EQ(cable_state.dragged_cable, nullptr);
    EXPECT_EQ(cable_state.pressing, 0);
    // The pointer goes back to where the plug was picked up.
    EXPECT_EQ(warp_x, x0);
    EXPECT_EQ(warp_y, y0);
}

TEST_F(CableView, DraggingAProducerPlugChangesTheSource) {
    // The envelope's input comes from VCO_A; its producer end goes to VCO_B's output.
    drag("VCO_A", "OUTPUT", "VCO_B", "OUTPUT");
    EXPECT_TRUE(said("CIBLE\nOUTPUT\n"));
    EXPECT_TRUE(said("Branchement INPUT vers OUTPUT\n"));
    EXPECT_EQ(e->input, &b->value);
}

TEST_F(CableView, RightCtrlKeepsTheOldLink) {
    send(key_event(SDL_KEYDOWN, SDLK_RCTRL));
    EXPECT_EQ(cable_state.keep_links, 1);
    drag("VCO_B", "INPUT", "VCA_1", "INPUT");
    EXPECT_EQ(b->input, &k->value);
    EXPECT_EQ(e->input, &k->value);
    send(key_event(SDL_KEYUP, SDLK_RCTRL));
    EXPECT_EQ(cable_state.keep_links, 0);
}

TEST_F(CableView, DropsOnNothingOrTheOwnJackChangeNothing) {
    drag("VCO_B", "INPUT", nullptr, nullptr);
    EXPECT_TRUE(said("Postionn\xE9 sur rien\n"));
    EXPECT_EQ(b->input, &k->value);
    EXPECT_EQ(cable_rebuild, 1);
    testing::internal::CaptureStdout();
    show_cable_view(FLAG_REDRAW);
    testing::internal::GetCapturedStdout();
    drag("VCO_B", "INPUT", "VCO_B", "INPUT");
    EXPECT_TRUE(said("C le meme amateur !\n"));
    EXPECT_FALSE(said("Branchement"));
    EXPECT_EQ(b->input, &k->value);
    // A click without motion neither drops nor leaves the plug looking unplugged.
    int x, y;
    centre("VCO_B", "INPUT", x, y);
    testing::internal::CaptureStdout();
    send(button_event(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, x, y));
    send(button_event(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, x, y));
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed.find("Atterri"), std::string::npos);
    for (const auto& c : cable_list)
        EXPECT_STREQ(c->plug_in.image, "FICHE_PLUG");
}

TEST_F(CableView, MovingAPanelAsksForARebuild) {
    OBJET* p = panel_of("MIXER_4");
    const int x = static_cast<int>(p->x) + 3, y = static_cast<int>(p->y) + 3;
    send(motion_event(x, y));
    send(button_event(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, x, y));
    EXPECT_NE(cable_state.grabbed_panel, -1);
    EXPECT_EQ(send(motion_event(400, 500)) & FLAG_REDRAW, FLAG_REDRAW);
    EXPECT_EQ(p->x, 400.0f);
    EXPECT_EQ(p->y, 500.0f);
    EXPECT_EQ(cable_rebuild, 1);
    send(button_event(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 400, 500));
    EXPECT_EQ(cable_state.grabbed_panel, -1);
    testing::internal::CaptureStdout();
    show_cable_view(FLAG_REDRAW);
    testing::internal::GetCapturedStdout();
    int jx, jy;
    centre("MIXER_4", "INPUT_1", jx, jy);
    bool found = false;
    for (const auto& c : cable_list)
        found = found || (c->consumer_panel == p && c->x1 == jx && c->y1 == jy);
    EXPECT_TRUE(found);
}

TEST_F(CableView, F5PrintsTheHoveredOscillatorsLinks) {
    int x, y;
    centre("VCO_A", "INPUT", x, y);
    send(motion_event(x, y));
    send(motion_event(x + 1, y));
    testing::internal::CaptureStdout();
    send(key_event(SDL_KEYDOWN, SDLK_F5));
    EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("VCO_A;", 0), 0u);
    centre("VCA_1", "INPUT", x, y);
    send(motion_event(x, y));
    send(motion_event(x + 1, y));
    testing::internal::CaptureStdout();
    send(key_event(SDL_KEYDOWN, SDLK_F5));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST_F(CableView, ResetForgetsEverythingItPointedAt) {
    int x, y;
    centre("VCO_B", "INPUT", x, y);
    testing::internal::CaptureStdout();
    send(motion_event(x, y));
    send(button_event(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, x, y));
    testing::internal::GetCapturedStdout();
    ASSERT_NE(cable_state.dragged_cable, nullptr);
    reset_cable_view();
    EXPECT_EQ(cable_state.dragged_cable, nullptr);
    EXPECT_EQ(cable_state.pressed_item, nullptr);
    EXPECT_EQ(cable_state.hovered_item, nullptr);
    EXPECT_EQ(cable_state.pressing, 0);
    EXPECT_TRUE(cable_list.empty());
    EXPECT_EQ(cable_rebuild, 1);
    // A release after the reset touches nothing.
    send(button_event(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, x, y));
    EXPECT_EQ(b->input, &k->value);
}

TEST_F(CableView, F6InEitherViewSwitches) {
    std::vector<OBJET*> hit;
    send(key_event(SDL_KEYDOWN, SDLK_F6));
    EXPECT_EQ(cable_view, 0);
    EXPECT_EQ(panels[0]->mode, MODE_FRONT);
    panel_view_event(hit, key_event(SDL_KEYDOWN, SDLK_F6));
    EXPECT_EQ(cable_view, 1);
    EXPECT_EQ(panels[0]->mode, MODE_BACK);
}

TEST_F(CableView, JackUnderTheEmptyPartOfAnotherPanelCanBeTaken) {
    // The keyboard's panel (first in the list) laid over VCO_B's input jack, with no jack of its
    // own there.
    int x, y;
    centre("VCO_B", "INPUT", x, y);
    OBJET* keyboard = panel_of("KEY_1");
    ASSERT_EQ(panels.front(), keyboard);
    keyboard->set_position(static_cast<float>(x - 100), static_cast<float>(y - 80), 0);
    ASSERT_TRUE(keyboard->contains(static_cast<float>(x), static_cast<float>(y)));
    drag("VCO_B", "INPUT", "VCA_1", "INPUT");
    EXPECT_TRUE(said("Branchement OUTPUT vers INPUT\n"));
    EXPECT_EQ(e->input, &k->value);
    EXPECT_EQ(b->input, nullptr);
}

} // namespace
