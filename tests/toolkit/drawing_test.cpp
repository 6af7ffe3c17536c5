// Drawing as the items ask for it: quad geometry, masks, labels, panels and cable curves.
#include "toolkit/items.h"
#include "toolkit/video.h"
#include "toolkit_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using OPS = std::vector<std::string>;

TEST(SpriteDrawing, QuadCoversTheImageAroundItsCentre) {
    SCOPED_REGISTRY reg;
    reg.add("OTHER", 2, 2);
    reg.add("BOX", 40, 20);
    RECORDING_RENDERER rec;
    SPRITE s("BOX", 10, 10);
    s.draw();
    ASSERT_EQ(rec.ops(), OPS{"quad"});
    const DRAW_CALL& q = rec.calls[0];
    EXPECT_EQ(q.texture, 1) << "the texture name is the registry index";
    // Turned a quarter, half extents (20 along its own y, 10 along its own x) span x 10..50
    // and y 10..30 on the screen.
    EXPECT_FLOAT_EQ(q.x, 30);
    EXPECT_FLOAT_EQ(q.y, 20);
    EXPECT_FLOAT_EQ(q.rz, 90);
    EXPECT_FLOAT_EQ(q.ey, 20);
    EXPECT_FLOAT_EQ(q.ex, 10);
    EXPECT_EQ(s.dirty, 0);

    rec.calls.clear();
    s.angle = 90;
    s.scale = 0.5f;
    s.blend = 1;
    s.draw();
    ASSERT_EQ(rec.ops(), (OPS{"multiply", "quad", "end"}));
    EXPECT_FLOAT_EQ(rec.calls[1].rz, 180);
    EXPECT_FLOAT_EQ(rec.calls[1].ey, 10);
    EXPECT_FLOAT_EQ(rec.calls[1].x, 30) << "scaling keeps the unscaled centre";
}

TEST(SpriteDrawing, MaskIsMultipliedThenImageAdded) {
    SCOPED_REGISTRY reg;
    reg.add("KNOB", 16, 16);
    reg.add("KNOB_MASK", 16, 16);
    RECORDING_RENDERER rec;
    SPRITE s("KNOB", 0, 0);
    std::strcpy(s.mask, "KNOB_MASK");
    s.draw();
    ASSERT_EQ(rec.ops(), (OPS{"multiply", "quad", "add", "quad", "end"}));
    EXPECT_EQ(rec.calls[1].texture, 1);
    EXPECT_EQ(rec.calls[3].texture, 0);

    // A mask that is not in the registry leaves a plain drawing; a missing image draws nothing.
    rec.calls.clear();
    std::strcpy(s.mask, "NO_MASK");
    s.draw();
    EXPECT_EQ(rec.ops(), OPS{"quad"});
    rec.calls.clear();
    SPRITE ghost("NOT_LOADED", 0, 0);
    ghost.draw();
    EXPECT_TRUE(rec.calls.empty());
}

TEST(LabelDrawing, TextInItsColourAtBottomUpPosition) {
    RECORDING_RENDERER rec;
    LABEL l("1.0", 30, 100, 0, 8, 0x12345678);
    l.draw();
    ASSERT_EQ(rec.ops(), (OPS{"color", "text", "color"}));
    EXPECT_EQ(rec.calls[0].color, 0x345678u);
    EXPECT_FLOAT_EQ(rec.calls[1].x, 30);
    EXPECT_FLOAT_EQ(rec.calls[1].y, 662); // 762 - 100
    EXPECT_EQ(rec.calls[1].text, "1.0");
    EXPECT_EQ(rec.calls[2].color, 0xFFFFFFu);
    l.corner_origin = 0;
    l.draw();
    EXPECT_FLOAT_EQ(rec.calls[4].y, 100);
}

TEST(PanelDrawing, ItemsRelativeToThePanelAndFoldedBackgroundOnly) {
    SCOPED_REGISTRY reg;
    reg.add("FACE", 200, 100);
    reg.add("LED", 10, 10);
    OBJET p(300, 200, "1");
    p.set_image("NO_SUCH_IMAGE");
    auto* face = new SPRITE("FACE", 0, 0);
    face->set_name("1_IMAGE_FOND");
    auto* led = new SPRITE("LED", 20, 30);
    led->set_name("1_LED");
    auto* label = new LABEL("hi", 5, 6, 0, 8, 0xFF0000);
    label->set_name("1_LABEL");
    p.front = {face, led, label};
    scroll_x = 50;
    scroll_y = 40;
    RECORDING_RENDERER rec;
    p.draw();
    std::vector<DRAW_CALL> quads = rec.of("quad");
    ASSERT_EQ(quads.size(), 3u); // the background first, then every item in list order
    EXPECT_FLOAT_EQ(quads[0].x, 400);
    EXPECT_FLOAT_EQ(quads[2].x, 325); // panel 300 + item 20 + half of 10
    EXPECT_FLOAT_EQ(quads[2].y, 235);
    std::vector<DRAW_CALL> texts = rec.of("text");
    ASSERT_EQ(texts.size(), 1u);
    // Text is placed in window pixels: the scroll is taken off, then turned bottom-up.
    EXPECT_FLOAT_EQ(texts[0].x, 255);
    EXPECT_FLOAT_EQ(texts[0].y, 762 - (200 + 6 - 40));
    EXPECT_FLOAT_EQ(led->x, 20) << "positions are restored";
    EXPECT_FLOAT_EQ(label->y, 6);
    EXPECT_EQ(p.dirty, 1);

    rec.calls.clear();
    p.set_mode(MODE_FOLDED);
    quads = rec.of("quad");
    ASSERT_EQ(quads.size(), 1u) << "no control is drawn on a folded panel";
    // Half size, moved up and left by a quarter: it spans 300..400 x 200..250.
    EXPECT_FLOAT_EQ(quads[0].x, 350);
    EXPECT_FLOAT_EQ(quads[0].y, 225);
    EXPECT_FLOAT_EQ(quads[0].ey, 50);
    EXPECT_FLOAT_EQ(face->scale, 1);
    EXPECT_TRUE(rec.of("text").empty());
    scroll_x = scroll_y = 0;
}

TEST(CableCurve, EndsDropAndTheMiddleSags) {
    float p[9];
    cable_control_points(100, 100, 100, 100, 0, 0, p);
    EXPECT_EQ(std::vector<float>(p, p + 9), (std::vector<float>{100, 115, 0, 100, 215, 0, 100, 115, 0}));
    cable_control_points(-3, 10, 0, 20, 5, 7, p);
    // (-3 + 0) / 2 rounds towards zero to -1; the middle height is the sum, not the mean.
    EXPECT_EQ(std::vector<float>(p, p + 9), (std::vector<float>{-8, 18, 0, -6, 38, 0, -5, 28, 0}));
}
