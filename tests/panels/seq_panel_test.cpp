// The sequencer panel: generated step columns, step refresh and the step controls.
#include "panels/seq_gui.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "tests/support/panel_driver.h"

namespace {

std::string image_of(OBJET& panel, const char* item) {
    SPRITE* s = find(panel, item);
    return s ? s->image : "<no item>";
}

std::string text_of(OBJET& panel, const char* item) {
    auto* l = dynamic_cast<LABEL*>(find(panel, item));
    return l ? l->text : "<no label>";
}

} // namespace

TEST(SequencerPanel, StepColumnsShowThePlayingPattern) {
    SEQUENCER s;
    s.pattern = 2;
    s.NBR_STEP = 8;
    s.DIVIDER = 8.0f;
    s.next_divider = 4.0f;
    s.step_note[2][0] = 34;
    s.step_octave[2][0] = 2;
    s.step_volume[2][0] = 0.0f;
    s.step_length[2][0] = 0.5f;
    s.step_bypass[2][1] = 1;
    s.step = 3;
    SEQ_GUI panel("5", &s);
    EXPECT_EQ(panel.step_count, 32);
    EXPECT_STREQ(panel.image, "SEQUEN_5");
    EXPECT_EQ(text_of(panel, "LABEL_DIVIDER"), "8.000");
    EXPECT_EQ(text_of(panel, "LABEL_WISHED_DIVIDER"), "4.000");
    EXPECT_EQ(text_of(panel, "LABEL_MAX_STEP"), " 8");

    EXPECT_EQ(text_of(panel, "LABEL_TXT_1_NOTE"), "A4") << "note 34 in octave 2 plays 58";
    EXPECT_EQ(image_of(panel, "SPRITE_OCT_1_0"), "LED_NUMERIC_1_0");
    EXPECT_EQ(image_of(panel, "SPRITE_OCT_1"), "LED_NUMERIC_1_3");
    EXPECT_EQ(text_of(panel, "LABEL_TXT_1_VOL"), "0.0");
    EXPECT_EQ(text_of(panel, "LABEL_TXT_1_LENGHT"), "0.5");
    EXPECT_EQ(find(panel, "SLD_VOL_2")->angle, 1);

    // Steps past the pattern's end are grey with the second digit set.
    auto* grey = dynamic_cast<LABEL*>(find(panel, "LABEL_TXT_9_VOL"));
    ASSERT_NE(grey, nullptr);
    EXPECT_EQ(grey->color, 0x808080);
    EXPECT_EQ(dynamic_cast<LABEL*>(find(panel, "LABEL_TXT_8_VOL"))->color, 0);
    EXPECT_EQ(text_of(panel, "LABEL_TXT_9_NOTE"), "A3");
    EXPECT_EQ(dynamic_cast<LABEL*>(find(panel, "LABEL_TXT_9_NOTE"))->color, 0x808080);

    BUTTON* muted = dynamic_cast<BUTTON*>(find_button(panel, "BUTTON_BYPASS_2"));
    ASSERT_NE(muted, nullptr);
    EXPECT_EQ(muted->state, 1);
    EXPECT_STREQ(muted->image, "LAMP_LED_2_1");

    EXPECT_EQ(image_of(panel, "LAMPE_STEP_4"), "LAMP_LED_1_1");
    EXPECT_EQ(image_of(panel, "LAMPE_STEP_1"), "LAMP_LED_1_0");
    s.step = 5;
    frame(panel);
    EXPECT_EQ(image_of(panel, "LAMPE_STEP_6"), "LAMP_LED_1_1");
    EXPECT_EQ(image_of(panel, "LAMPE_STEP_4"), "LAMP_LED_1_0");
}

TEST(SequencerPanel, StepMuteTogglesOnlyItsStepOncePerRelease) {
    SEQUENCER s;
    SEQ_GUI panel("3", &s);
    BUTTON* b12 = dynamic_cast<BUTTON*>(find_button(panel, "BUTTON_BYPASS_12"));
    ASSERT_NE(b12, nullptr);
    release(panel, "BUTTON_BYPASS_12");
    for (int i = 0; i < SEQ_COLS; ++i)
        EXPECT_EQ(s.step_bypass[0][i], i == 11 ? 1 : 0) << i;
    EXPECT_EQ(b12->state, 1) << "the button shows the step's mute";
    EXPECT_STREQ(b12->image, "LAMP_LED_2_1");
    release(panel, "BUTTON_BYPASS_12");
    EXPECT_EQ(s.step_bypass[0][11], 0);
    EXPECT_EQ(b12->state, 0);

    // A refresh while a release waits for the button still ends with the step's mute shown.
    post(panel, make_event_message(EVENT_MOUSE_UP, b12));
    post(panel, make_event_message(EVENT_USER, nullptr));
    frame(panel);
    EXPECT_EQ(s.step_bypass[0][11], 1);
    EXPECT_EQ(b12->state, 1);
}

TEST(SequencerPanel, KnobsAndNoteButtonsActOnTheirStep) {
    SEQUENCER s;
    s.step_note[0][11] = 46;
    SEQ_GUI panel("3", &s);
    SPRITE* vol12 = find(panel, "SLD_VOL_12");
    for (const char* text : {"SLD_UP", "SLD_UP", "SLD_DOWN", "SLD_DOWN"}) {
        post(panel, make_named_message(nullptr, 0, text, vol12));
        frame(panel);
    }
    EXPECT_EQ(s.step_volume[0][11], 1.0f) << "back exactly to a playing volume";
    for (int i = 0; i < SEQ_COLS; ++i) {
        if (i != 11) {
            EXPECT_EQ(s.step_volume[0][i], 1.0f);
        }
    }
    post(panel, make_named_message(nullptr, 0, "SLD_UP", vol12));
    frame(panel);
    EXPECT_FLOAT_EQ(s.step_volume[0][11], 0.9f);
    EXPECT_EQ(text_of(panel, "LABEL_TXT_12_VOL"), "0.9");

    SPRITE* len3 = find(panel, "SLD_LENGHT_3");
    post(panel, make_named_message(nullptr, 0, "SLD_DOWN", len3));
    frame(panel);
    EXPECT_EQ(s.step_length[0][2], 2.0f);
    EXPECT_EQ(text_of(panel, "LABEL_TXT_3_LENGHT"), "2.0");

    release(panel, "BUTTON_NOTE_12_UP");
    EXPECT_EQ(s.step_note[0][11], 47) << "a pattern's note is kept, not cut to one octave";
    EXPECT_EQ(text_of(panel, "LABEL_TXT_12_NOTE"), "A#6");
    release(panel, "BUTTON_NOTE_1_DOWN");
    EXPECT_EQ(s.step_note[0][0], 9);
    EXPECT_EQ(s.step_note[0][11], 47);
    release(panel, "BUTTON_OCT_1_UP");
    EXPECT_EQ(s.step_octave[0][0], 4);
    EXPECT_EQ(image_of(panel, "SPRITE_OCT_1"), "LED_NUMERIC_1_5");
    release(panel, "BUTTON_OCT_10_DOWN");
    EXPECT_EQ(s.step_octave[0][9], 2);
}

TEST(SequencerPanel, PatternsTempoAndStepCount) {
    SEQUENCER s;
    SEQ_GUI panel("3", &s);
    release(panel, "BUTTON_PATTERN_5");
    EXPECT_EQ(s.next_pattern, 5);
    for (int i = 0; i < 40; ++i)
        release(panel, "BUTTON_DIVIDER_UP");
    EXPECT_GT(s.next_divider, 0.0f) << "halving stops before zero";
    EXPECT_EQ(text_of(panel, "LABEL_WISHED_DIVIDER"), "0.016");
    EXPECT_EQ(text_of(panel, "LABEL_DIVIDER"), "2.000");
    for (int i = 0; i < 80; ++i)
        release(panel, "BUTTON_DIVIDER_DOWN");
    EXPECT_TRUE(std::isfinite(s.next_divider));
    EXPECT_EQ(text_of(panel, "LABEL_WISHED_DIVIDER"), "1024.000");

    release(panel, "BUTTON_MAX_STEP_UP");
    EXPECT_EQ(s.NBR_STEP, 32);
    for (int i = 0; i < 40; ++i)
        release(panel, "BUTTON_MAX_STEP_DOWN");
    EXPECT_EQ(s.NBR_STEP, 1);
    EXPECT_EQ(text_of(panel, "LABEL_MAX_STEP"), " 1");
    EXPECT_EQ(dynamic_cast<LABEL*>(find(panel, "LABEL_TXT_2_VOL"))->color, 0x808080);
}

TEST(SequencerPanel, PatternOutsideTheTableReadsRowZero) {
    SEQUENCER s;
    s.pattern = 1000;
    s.step_note[0][0] = 7;
    SEQ_GUI panel("3", &s);
    EXPECT_EQ(text_of(panel, "LABEL_TXT_1_NOTE"), "F#3");
    release(panel, "BUTTON_NOTE_1_UP");
    EXPECT_EQ(s.step_note[0][0], 8);
    s.pattern = -7;
    s.step = 0;
    post(panel, make_event_message(EVENT_USER, nullptr));
    frame(panel);
    EXPECT_EQ(text_of(panel, "LABEL_TXT_1_NOTE"), "G3");
}

TEST(SequencerPanel, PatternStartRefreshesTheSteps) {
    SEQUENCER s;
    s.step_note[1][0] = 3;
    SEQ_GUI panel("3", &s);
    EXPECT_EQ(text_of(panel, "LABEL_TXT_1_NOTE"), "A3");
    s.pattern = 1;
    s.step = 4;
    post(panel, make_event_message(EVENT_USER, nullptr));
    frame(panel);
    EXPECT_EQ(text_of(panel, "LABEL_TXT_1_NOTE"), "A3") << "only at a pattern's start";
    s.step = 0;
    post(panel, make_event_message(EVENT_USER, nullptr));
    frame(panel);
    EXPECT_EQ(text_of(panel, "LABEL_TXT_1_NOTE"), "D3");
}
