// Layout files read, written and read back.
#include "toolkit/items.h"
#include "toolkit_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char* const VCO_FRONT = "SPRITE IMAGE_FOND VCO_FRONT 0 0 0 1 0 0 1.0 0 255\r\n"
                              "SLIDER SLD_FREQUENCE SLD 40 50 1 0 0 0.75 12\n"
                              "BUTTON POWER PWR_ON PWR_OFF 0 10 20 1 0 0 1.000000 0\n"
                              "LABEL LABEL_FREQUENCE 440.0 60 70 3 8 16711680\n"
                              "junk words\tare skipped\n"
                              "SPRITE DISP AFFICHAGE_X 0abc 5 6 0 0 1 0.5 90\n"
                              "SLIDER SLD_BIG SLD 0 0 0 0 0 150.0 0\n"
                              "SLIDER SLD_HUNDRED SLD 0 0 0 0 0 100.0 0\n";

} // namespace

TEST(LayoutRead, ElementsBecomePrefixedItems) {
    SCOPED_REGISTRY reg;
    reg.add("VCO_FRONT", 210, 140);
    SCRATCH_DIR tmp;
    tmp.write("VCO.RC", VCO_FRONT);
    OBJET p(0, 0, "3");
    p.set_image("NO_SUCH_IMAGE");
    ASSERT_EQ(load_layout(p, tmp.file("VCO.RC").c_str()), 1);
    EXPECT_EQ(std::string(p.layout_path), tmp.file("VCO.RC"));
    ASSERT_EQ(p.front.size(), 7u);
    EXPECT_FLOAT_EQ(p.w, 210) << "sized from IMAGE_FOND";
    EXPECT_FLOAT_EQ(p.h, 140);

    auto* knob = dynamic_cast<SLIDER*>(find(p, "SLD_FREQUENCE"));
    ASSERT_NE(knob, nullptr);
    EXPECT_STREQ(knob->name, "3_SLD_FREQUENCE");
    EXPECT_FLOAT_EQ(knob->x, 40);
    EXPECT_FLOAT_EQ(knob->scale, 0.75f);
    EXPECT_EQ(knob->angle, 12);
    EXPECT_STREQ(knob->mask, "SLD_MASK");

    auto* power = dynamic_cast<BUTTON*>(find(p, "POWER"));
    ASSERT_NE(power, nullptr);
    EXPECT_STREQ(power->image_on, "PWR_ON");
    EXPECT_STREQ(power->image_off, "PWR_OFF");
    EXPECT_STREQ(power->image_hover, "0");
    EXPECT_STREQ(power->mask, "PWR_MASK");
    EXPECT_FLOAT_EQ(power->y, 20);

    auto* label = dynamic_cast<LABEL*>(find(p, "LABEL_FREQUENCE"));
    ASSERT_NE(label, nullptr);
    EXPECT_STREQ(label->text, "440.0");
    EXPECT_EQ(label->extra, 3);
    EXPECT_EQ(label->color, 0xFF0000);

    SPRITE* disp = find(p, "DISP");
    ASSERT_NE(disp, nullptr);
    EXPECT_STREQ(disp->mask, "") << "a mask token beginning with 0 means none";
    EXPECT_EQ(disp->alpha, 255) << "alpha missing before the next keyword";
    EXPECT_EQ(disp->blend, 1);
    EXPECT_FLOAT_EQ(find(p, "SLD_BIG")->scale, 1.0f);
    EXPECT_FLOAT_EQ(find(p, "SLD_HUNDRED")->scale, 100.0f);
}

TEST(LayoutRead, SpritesTakeThePanelPositionOthersStayRelative) {
    SCRATCH_DIR tmp;
    tmp.write("A.RC", "SPRITE S IMG 5 6 7 0 0 0 1.0 0 128 LABEL L t 1 2");
    OBJET p(100, 200, "1");
    ASSERT_EQ(load_layout(p, tmp.file("A.RC").c_str()), 1);
    ASSERT_EQ(p.front.size(), 2u);
    EXPECT_FLOAT_EQ(p.front[0]->x, 106);
    EXPECT_FLOAT_EQ(p.front[0]->y, 207);
    EXPECT_STREQ(p.front[0]->mask, "5") << "a mask not beginning with 0 is kept";
    EXPECT_EQ(p.front[0]->alpha, 128);
    auto* l = dynamic_cast<LABEL*>(p.front[1]);
    ASSERT_NE(l, nullptr);
    EXPECT_FLOAT_EQ(l->x, 1);
    EXPECT_EQ(l->size, 0) << "missing label fields are 0";
    EXPECT_EQ(l->color, 0);
}

TEST(LayoutRead, MissingFileAndUnknownTokens) {
    SCOPED_REGISTRY reg;
    reg.add("FACE", 64, 32);
    SCRATCH_DIR tmp;
    OBJET p(0, 0, "2");
    p.set_image("NO_SUCH_IMAGE");
    STDOUT_CAPTURE out;
    EXPECT_EQ(load_layout(p, tmp.file("NONE.RC").c_str()), -1);
    EXPECT_EQ(out.finish(), "Failing to Load RC[" + tmp.file("NONE.RC") + "] (cause Fopen())\n");

    auto* face = new SPRITE("FACE", 0, 0);
    face->set_name("2_IMAGE_FOND");
    p.front.push_back(face);
    tmp.write("JUNK.RC", "nothing here 1 2 3\n");
    EXPECT_EQ(load_layout(p, tmp.file("JUNK.RC").c_str()), 1);
    EXPECT_EQ(p.front.size(), 1u);
    EXPECT_FLOAT_EQ(p.w, 64) << "still sized from the IMAGE_FOND already there";
}

TEST(LayoutWrite, ExactFormsInReverseOrderAndReadBack) {
    SCRATCH_DIR tmp;
    OBJET p(0, 0, "12");
    auto* s = new SPRITE("IMG", 3, 4, 1, 5, 0, 0.5f, 7, 200);
    s->set_name("12_BG");
    auto* b = new BUTTON("12_GO", "G_ON", "0", "G_OFF");
    b->set_position(10.7f, 20, 0);
    b->scale = 1.5f;
    auto* k = new SLIDER("12_KNOB", "SLD");
    k->set_position(1, 2, 0);
    k->angle = -30;
    auto* l = new LABEL("1.0", 8, 9, 2, 8, 255);
    l->set_name("12_VAL");
    p.front = {s, b, k, l};
    ASSERT_EQ(save_layout(p, tmp.file("OUT.RC").c_str()), 1);
    EXPECT_EQ(tmp.read("OUT.RC"), "LABEL\tVAL\t1.0\t8\t9\t2\t8\t255\t\r\n"
                                  "SLIDER\tKNOB\tSLD\t1\t2\t0\t0\t0\t1.000000\t-30\r\n"
                                  "BUTTON\tGO\tG_ON\tG_OFF\t0\t10\t20\t0\t0\t0\t1.500000\t0\r\n"
                                  "SPRITE\tBG\tIMG\t0\t3\t4\t1\t5\t0\t0.500000\t7\t200\r\n");

    OBJET back(0, 0, "4");
    ASSERT_EQ(load_layout(back, tmp.file("OUT.RC").c_str()), 1);
    ASSERT_EQ(back.front.size(), 4u);
    EXPECT_STREQ(back.front[0]->name, "4_VAL");
    EXPECT_NE(dynamic_cast<LABEL*>(back.front[0]), nullptr);
    EXPECT_STREQ(back.front[1]->name, "4_KNOB");
    EXPECT_EQ(back.front[1]->angle, -30);
    EXPECT_STREQ(back.front[2]->name, "4_GO");
    EXPECT_FLOAT_EQ(back.front[2]->scale, 1.5f);
    EXPECT_STREQ(back.front[3]->name, "4_BG");
    EXPECT_EQ(back.front[3]->alpha, 200);
}

TEST(LayoutWrite, FailuresAreReportedAndLeaveFilesAlone) {
    SCRATCH_DIR tmp;
    OBJET p(0, 0, "");
    auto* s = new SPRITE("IMG", 0, 0);
    s->set_name("NOPREFIX");
    p.front.push_back(s);
    tmp.write("KEEP.RC", "SPRITE A B 0 0 0 0 0 0 1.0 0 255\n");
    STDOUT_CAPTURE out;
    EXPECT_EQ(save_layout(p, tmp.file("KEEP.RC").c_str()), 0);
    EXPECT_EQ(out.finish(), "ARF stf wrong during save element [NOPREFIX]\n");
    EXPECT_EQ(tmp.read("KEEP.RC"), "SPRITE A B 0 0 0 0 0 0 1.0 0 255\n");

    s->set_name("1_OK");
    std::string unwritable = tmp.file("no/such/dir/X.RC");
    STDOUT_CAPTURE out2;
    EXPECT_EQ(save_layout(p, unwritable.c_str()), 0);
    EXPECT_EQ(out2.finish(), "Failing to Save RC[" + unwritable + "] (cause Fopen())\n");

    EXPECT_EQ(saved_prefix_length("12_A"), 3);
    EXPECT_EQ(saved_prefix_length("123_A"), 4);
    EXPECT_EQ(saved_prefix_length("_A"), 1);
}
