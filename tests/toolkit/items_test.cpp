// Items: naming, change tracking, buttons, knobs and labels.
#include "toolkit/items.h"
#include "toolkit_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

MESSAGE press(ZEL_ENGINE* t) {
    return make_event_message(EVENT_MOUSE_DOWN, t);
}
MESSAGE release(ZEL_ENGINE* t) {
    return make_event_message(EVENT_MOUSE_UP, t);
}
MESSAGE named(const char* text, ZEL_ENGINE* t) {
    return make_named_message(nullptr, 0, text, t);
}

} // namespace

TEST(ItemNames, SerialNumbersAndDefaultNames) {
    ZEL_ENGINE a, b;
    EXPECT_EQ(b.id, a.id + 1);
    // The serial is printed 20 wide, blank-padded.
    EXPECT_EQ(std::string(a.name),
              "ITEM_" + std::string(20 - std::to_string(a.id).size(), ' ') + std::to_string(a.id));
    BASE named_base("KNOB");
    EXPECT_EQ(std::string(named_base.name).rfind("BASE_ITEM_", 0), 0u);
    SPRITE s("DISP_SIN", 3, 4);
    EXPECT_STREQ(s.name, "DISP_SIN");
    EXPECT_EQ(s.id, b.id + 2);

    std::string long_name(100, 'N');
    s.set_name(long_name.c_str());
    EXPECT_EQ(std::strlen(s.name), 79u);
}

TEST(ItemNames, ButtonMaskComesFromTheOnImage) {
    char mask[80];
    derive_button_mask("BUT_X_ON", mask, sizeof mask);
    EXPECT_STREQ(mask, "BUT_X_MASK");
    derive_button_mask("LAMP_LED_2_1", mask, sizeof mask);
    EXPECT_STREQ(mask, "LAMP_LED_2_MASK");
    derive_button_mask("_ONLY", mask, sizeof mask); // a leading '_' is not a separator
    EXPECT_STREQ(mask, "");
    derive_button_mask("PLAIN", mask, sizeof mask);
    EXPECT_STREQ(mask, "");

    BUTTON b("POWER", "CHK_4_ON", "0", "CHK_4_OFF");
    EXPECT_STREQ(b.name, "POWER");
    EXPECT_STREQ(b.image, "CHK_4_ON");
    EXPECT_STREQ(b.mask, "CHK_4_MASK");
    EXPECT_EQ(b.state, 0);
    BUTTON given("B", "X_ON", "0", "X_OFF", "OWN_MASK");
    EXPECT_STREQ(given.mask, "OWN_MASK");
    SLIDER k("VOL", "SLD");
    EXPECT_STREQ(k.mask, "SLD_MASK");
    EXPECT_FLOAT_EQ(k.x, 100);
}

TEST(ItemNames, RectangleContainsItsEdgesAfterTruncation) {
    EXPECT_TRUE(rect_contains(10.9f, 10, 40, 20, 10, 10));
    EXPECT_TRUE(rect_contains(10, 10, 40, 20, 50.7f, 30.2f));
    EXPECT_FALSE(rect_contains(10, 10, 40, 20, 51, 20));
    EXPECT_FALSE(rect_contains(10, 10, 40, 20, 30, 9.5f));
}

TEST(SpriteUpdate, SizeFollowsTheImageAndChangesMarkDirty) {
    SCOPED_REGISTRY reg;
    reg.add("A", 40, 20);
    reg.add("B", 8, 6);
    SPRITE s("A", 10, 10);
    s.update();
    EXPECT_FLOAT_EQ(s.w, 40);
    EXPECT_FLOAT_EQ(s.h, 20);
    s.update();
    s.dirty = s.changed = 0;
    s.update();
    EXPECT_EQ(s.dirty, 0) << "nothing changed";

    s.set_image("B");
    EXPECT_EQ(s.dirty, 1);
    s.update();
    EXPECT_FLOAT_EQ(s.w, 8) << "a new image name drops the cached surface";
    s.update();
    s.dirty = 0;
    s.x = 12.5f;
    s.update();
    EXPECT_EQ(s.dirty, 1);
    EXPECT_EQ(s.ix, 12);
    s.dirty = 0;
    s.alpha = 10;
    s.update();
    EXPECT_EQ(s.dirty, 1);
}

TEST(ButtonUpdate, TogglesOnEveryReleaseWhateverThePress) {
    SCOPED_REGISTRY reg;
    BUTTON b("7_POWER", "P_ON", "0", "P_OFF");
    b.receive(press(&b));
    b.update();
    EXPECT_EQ(b.pressed, 1);
    EXPECT_EQ(b.state, 0) << "a press alone changes only pressed";

    b.receive(release(&b));
    b.update();
    EXPECT_EQ(b.pressed, 0);
    EXPECT_EQ(b.state, 1);
    EXPECT_STREQ(b.image, "P_ON");

    b.receive(release(&b)); // no press before it: still a toggle
    b.update();
    EXPECT_EQ(b.state, 0);
    EXPECT_STREQ(b.image, "P_OFF");
    EXPECT_TRUE(b.queue.empty());
}

TEST(ButtonUpdate, HoverImageUnlessItIsZero) {
    SCOPED_REGISTRY reg;
    BUTTON plain("A", "A_ON", "0", "A_OFF");
    plain.receive(named("TOUCH_IN", &plain));
    plain.update();
    EXPECT_EQ(plain.hover, 1);
    EXPECT_STREQ(plain.image, "A_OFF") << "hover image \"0\" keeps the on/off image";

    BUTTON lit("B", "B_ON", "B_HOVER", "B_OFF");
    lit.receive(named("TOUCH_IN", &lit));
    lit.update();
    EXPECT_STREQ(lit.image, "B_HOVER");
    lit.receive(named("TOUCH_OUT", &lit));
    lit.update();
    EXPECT_EQ(lit.hover, 0);
    EXPECT_STREQ(lit.image, "B_OFF");
    // Every record of the frame counts: the release toggles, the hover image shows over it.
    lit.receive(named("TOUCH_IN", &lit));
    lit.receive(release(&lit));
    lit.update();
    EXPECT_EQ(lit.state, 1);
    EXPECT_STREQ(lit.image, "B_HOVER");
}

TEST(SliderUpdate, OneDegreePerStepWithoutBounds) {
    SCOPED_REGISTRY reg;
    SLIDER k("3_SLD_FREQUENCE", "SLD");
    for (int i = 0; i < 10; ++i)
        k.receive(named("SLD_DOWN", &k));
    k.update();
    EXPECT_EQ(k.angle, 10);
    k.dirty = 0;
    for (int i = 0; i < 25; ++i)
        k.receive(named("SLD_UP", &k));
    k.receive(press(&k));
    k.update();
    EXPECT_EQ(k.angle, -15);
    EXPECT_EQ(k.pressed, 1);
    EXPECT_EQ(k.dirty, 1) << "a turned knob must be drawn again";
}

TEST(LabelUpdate, BoxFollowsTextAndColourChangesOnly) {
    SCOPED_REGISTRY reg;
    reg.add("IMG_001", 64, 64); // a label never takes an image's size
    LABEL l("440.000", 5, 6, 0, 8, 0xFF0000);
    l.update();
    EXPECT_FLOAT_EQ(l.w, 28); // 8 x 7 characters / 2
    EXPECT_FLOAT_EQ(l.h, 8);
    EXPECT_EQ(l.dirty, 1);

    l.dirty = l.changed = 0;
    l.update();
    l.update();
    EXPECT_EQ(l.dirty, 0) << "same text and colour: not dirty";
    EXPECT_FLOAT_EQ(l.w, 28);

    std::strcpy(l.text, "1.0");
    l.size = 7;
    l.update();
    EXPECT_FLOAT_EQ(l.w, 10); // 7 x 3 / 2 in integers
    EXPECT_EQ(l.dirty, 1);
    l.dirty = 0;
    l.color = 0x00FF00;
    l.update();
    EXPECT_EQ(l.dirty, 1);

    // The information dashboard's name label has a size in the millions: its box is still the
    // product, not a wrapped negative width.
    std::memset(l.text, 'M', 799);
    l.text[799] = '\0';
    l.size = 8432210;
    l.update();
    EXPECT_FLOAT_EQ(l.w, static_cast<float>(8432210LL * 799 / 2));
}
