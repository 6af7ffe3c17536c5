// Panels: lookups, hit testing, message routing, modes, sizing and the walkers.
#include "toolkit/items.h"
#include "toolkit_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

template <typename T> T* add(OBJET& p, T* item, const char* name) {
    item->set_name(name);
    p.current->push_back(item);
    return item;
}

SPRITE* sprite(OBJET& p, const char* name, float x, float y, float w, float h) {
    auto* s = add(p, new SPRITE("NONE", 0, 0), name);
    s->set_position(x, y, 0);
    s->w = w;
    s->h = h;
    return s;
}

// A panel that counts its updates, as a module panel's handler would see them.
class COUNTING_PANEL : public OBJET {
  public:
    using OBJET::OBJET;
    int updates = 0;
    int update() override {
        ++updates;
        return OBJET::update();
    }
};

} // namespace

TEST(PanelFind, SkipsOneOrTwoDigitPrefixes) {
    OBJET seven(0, 0, "7"), twelve(0, 0, "12");
    SPRITE* p7 = sprite(seven, "7_POWER", 0, 0, 1, 1);
    SPRITE* p12 = sprite(twelve, "12_POWER", 0, 0, 1, 1);
    EXPECT_EQ(find(seven, "POWER"), p7);
    EXPECT_EQ(find(twelve, "POWER"), p12);
    EXPECT_EQ(find(twelve, "12_POWER"), nullptr);
    EXPECT_EQ(find(seven, "POWE"), nullptr) << "names compare exactly";
    EXPECT_STREQ(skip_prefix("PLAIN"), "PLAIN");

    // The last item of a name wins, and only the current list is searched.
    SPRITE* later = sprite(seven, "7_POWER", 0, 0, 1, 1);
    EXPECT_EQ(find(seven, "POWER"), later);
    seven.current = &seven.back;
    EXPECT_EQ(find(seven, "POWER"), nullptr);
}

TEST(PanelFind, PrefixIsAnyRunOfDigits) {
    // A patch of many voices numbers its panels past 99.
    OBJET big(0, 0, "260");
    SPRITE* power = sprite(big, "260_POWER", 0, 0, 1, 1);
    SPRITE* step = sprite(big, "260_BUTTON_BYPASS_12", 0, 0, 1, 1);
    EXPECT_EQ(find(big, "POWER"), power);
    EXPECT_EQ(find_button(big, "BUTTON_BYPASS_12"), step);
    EXPECT_STREQ(skip_prefix("1234567_SLD_VOL_3"), "SLD_VOL_3");

    // Only digits form a prefix: layout names with an early '_' stay whole.
    EXPECT_STREQ(skip_prefix("ON_X"), "ON_X");
    EXPECT_STREQ(skip_prefix("A_B"), "A_B");
    EXPECT_STREQ(skip_prefix("_X"), "_X");
    EXPECT_STREQ(skip_prefix("12X_Y"), "12X_Y");
    EXPECT_STREQ(skip_prefix("42"), "42");
    EXPECT_STREQ(skip_prefix(""), "");
}

TEST(PanelFind, ButtonsAndIndexFromTheEnd) {
    OBJET p(0, 0, "3");
    SPRITE* a = sprite(p, "3_BUTTON_OCT_1_UP", 0, 0, 1, 1);
    sprite(p, "3_BACK_JACK", 0, 0, 1, 1);
    SPRITE* c = sprite(p, "3_SLD_VOL_1", 0, 0, 1, 1);
    EXPECT_EQ(find_button(p, "BUTTON_OCT_1_UP"), a);
    EXPECT_EQ(find_button(p, "SLD_VOL_1"), nullptr) << "not a button";
    EXPECT_EQ(index_of(p, c), 0);
    EXPECT_EQ(index_of(p, a), 1) << "the BACK item is not counted";
    SPRITE stranger("X", 0, 0);
    EXPECT_EQ(index_of(p, &stranger), 0);
}

TEST(PanelHitTest, TopmostControlNeverLabelsOrBackgrounds) {
    OBJET p(100, 50, "4");
    sprite(p, "4_IMAGE_FOND", 0, 0, 200, 100);
    SPRITE* knob = sprite(p, "4_SLD_A", 10, 10, 20, 20);
    SPRITE* over = sprite(p, "4_SLD_B", 20, 20, 20, 20);
    add(p, new LABEL("txt", 0, 0, 0, 8, 0), "4_LABEL_A")->set_position(10, 10, 0);
    p.current->back()->w = p.current->back()->h = 50;
    sprite(p, "4_BACK_PLATE", 0, 0, 300, 300);

    // Points are given where panels are placed: panel (100, 50) + item position.
    EXPECT_EQ(item_at(p, 115, 65), knob);
    EXPECT_EQ(item_at(p, 125, 75), over) << "the later item lies on top";
    EXPECT_EQ(item_at(p, 130, 80), over) << "edges belong to the item";
    EXPECT_EQ(item_at(p, 250, 120), nullptr) << "only FOND and BACK items there";
    EXPECT_FLOAT_EQ(knob->x, 10) << "temporary offsets are undone";

    // A centred item covers its position +- half its size.
    over->corner_origin = 0;
    EXPECT_EQ(item_at(p, 111, 61), over);
    EXPECT_EQ(item_at(p, 131, 81), nullptr);
}

TEST(PanelRouting, RecordsReachTheirControlsOnUpdate) {
    SCOPED_REGISTRY reg;
    OBJET p(0, 0, "5");
    auto* knob = add(p, new SLIDER("VOL", "SLD"), "5_SLD_VOL");
    auto* button = add(p, new BUTTON("B", "B_ON", "0", "B_OFF"), "5_BUTTON");
    auto* label = add(p, new LABEL("x", 0, 0, 0, 8, 0), "5_LABEL");

    for (SPRITE* item : p.front)
        item->update();
    mark_all(p, 0);
    post(p, make_named_message(nullptr, 0, "SLD_DOWN", knob));
    post(p, make_event_message(EVENT_MOUSE_UP, button));
    post(p, make_event_message(EVENT_MOUSE_UP, label)); // not a control: dropped
    post(p, make_event_message(EVENT_USER, nullptr));   // sequencer notice: dropped silently
    post(p, make_event_message(EVENT_MOUSE_UP, nullptr));
    STDOUT_CAPTURE out;
    p.update();
    EXPECT_EQ(out.finish(), "") << "the dropped record is said only with --verbose";
    EXPECT_TRUE(p.messages.empty());
    EXPECT_EQ(knob->queue.size(), 1u);
    EXPECT_EQ(button->queue.size(), 1u);
    EXPECT_EQ(button->state, 0) << "with nothing dirty, controls act when the panel is next drawn";
    p.draw();
    EXPECT_EQ(knob->angle, 1);
    EXPECT_EQ(button->state, 1);

    // With an item waiting to be drawn, the panel draws at once and the controls act.
    label->dirty = 1;
    post(p, make_event_message(EVENT_MOUSE_UP, button));
    p.update();
    EXPECT_EQ(button->state, 0);
    EXPECT_TRUE(button->queue.empty());
}

TEST(PanelModes, FoldingSizingAndSides) {
    SCOPED_REGISTRY reg;
    reg.add("FACE", 201, 120);
    OBJET p(0, 0, "9");
    p.set_image("NO_SUCH_IMAGE");
    add(p, new SPRITE("FACE", 0, 0), "9_IMAGE_FOND");
    fit_to_background(p);
    EXPECT_FLOAT_EQ(p.w, 201);
    EXPECT_FLOAT_EQ(p.h, 120);

    EXPECT_EQ(p.set_mode(0), 1);
    EXPECT_EQ(p.mode, MODE_FOLDED);
    EXPECT_FLOAT_EQ(p.w, 100); // integer halving
    EXPECT_FLOAT_EQ(p.h, 60);
    p.set_mode(0);
    EXPECT_EQ(p.mode, MODE_FRONT);
    EXPECT_FLOAT_EQ(p.w, 201);

    p.set_mode(MODE_BACK);
    EXPECT_EQ(p.current, &p.back);
    EXPECT_FLOAT_EQ(p.w, 201) << "no background on the back: the size stays";
    p.set_mode(3); // unknown: nothing changes
    EXPECT_EQ(p.mode, MODE_BACK);
    EXPECT_EQ(p.current, &p.back);
    p.set_mode(MODE_FOLDED);
    EXPECT_EQ(p.current, &p.front);
    EXPECT_FLOAT_EQ(p.w, 100);
}

TEST(PanelWalkers, OnlyPanelsTouchingTheViewAreUpdated) {
    SCOPED_REGISTRY reg;
    COUNTING_PANEL edge(1124, 868, "1"), beyond(1125, 0, "2"), above(0, -101, "3");
    for (COUNTING_PANEL* p : {&edge, &beyond, &above}) {
        p->set_image("NO_SUCH_IMAGE");
        p->w = p->h = 100;
    }
    // Scrolled by (100, 100): the view spans x 100..1124 and y 100..868.
    std::vector<OBJET*> list{&edge, &beyond, &above};
    draw_panels(list, 100, 100);
    EXPECT_EQ(edge.updates, 1) << "touching corners count as overlap";
    EXPECT_EQ(beyond.updates, 0);
    EXPECT_EQ(above.updates, 0);
    draw_dashboards(list);
    EXPECT_EQ(beyond.updates, 1) << "dashboards are always drawn";

    std::vector<OBJET*> none;
    EXPECT_EQ(draw_panels(none, 0, 0), 1);
}

TEST(PanelDeathTest, NullPrefixEndsTheProcess) {
    EXPECT_EXIT(OBJET(0, 0, nullptr), testing::ExitedWithCode(1), "");
}
