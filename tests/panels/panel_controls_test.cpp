// Panels built from the real layout files, driven by the messages the frame loop posts.
#include "panels/keyboard_gui.h"
#include "panels/mixer_gui.h"
#include "panels/panel_steps.h"
#include "panels/sampler_gui.h"
#include "panels/seq_gui.h"
#include "panels/vca_gui.h"
#include "panels/vcf_gui.h"
#include "panels/vco_gui.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>

#include "tests/support/panel_driver.h"

namespace {

void knob_step(OBJET& panel, const char* item, const char* text, int times = 1) {
    SPRITE* target = find(panel, item);
    ASSERT_NE(target, nullptr) << item;
    for (int i = 0; i < times; ++i) {
        post(panel, make_named_message(nullptr, 0, text, target));
        frame(panel);
    }
}

std::string text_of(OBJET& panel, const char* item) {
    auto* l = dynamic_cast<LABEL*>(find(panel, item));
    return l ? l->text : "<no label>";
}

std::string image_of(OBJET& panel, const char* item) {
    SPRITE* s = find(panel, item);
    return s ? s->image : "<no item>";
}

BUTTON* button_of(OBJET& panel, const char* item) {
    return dynamic_cast<BUTTON*>(find(panel, item));
}

} // namespace

TEST(OscillatorPanel, BuiltFromTheModuleAndStepped) {
    VCO o;
    o.FREQ = 50.0f;
    o.PHASE = 30.0f;
    o.TYPE = WAVE_PULSE;
    std::snprintf(o.name, sizeof o.name, "VCO_LEAD");
    VCO_GUI panel("3", &o);
    EXPECT_STREQ(panel.image, "VCO_3");
    EXPECT_STREQ(panel.module_name(), "VCO_LEAD");
    EXPECT_EQ(text_of(panel, "label_NAME"), "VCO_LEAD");
    EXPECT_EQ(text_of(panel, "LABEL_FREQUENCE"), "50.000");
    EXPECT_EQ(text_of(panel, "LABEL_PHASE"), " 30");
    EXPECT_EQ(find(panel, "SLD_FREQUENCE")->angle, 50);
    EXPECT_EQ(image_of(panel, "AFFICHAGE_TYPE_ONDE"), "DISP_PULSE");

    knob_step(panel, "SLD_FREQUENCE", "SLD_UP");
    EXPECT_FLOAT_EQ(o.FREQ, 48.5f);
    EXPECT_EQ(text_of(panel, "LABEL_FREQUENCE"), "48.500");
    EXPECT_EQ(find(panel, "SLD_FREQUENCE")->angle, 49) << "the knob turns by itself";

    release(panel, "AFFICHAGE_TYPE_ONDE");
    EXPECT_EQ(o.TYPE, WAVE_NOISE);
    EXPECT_EQ(image_of(panel, "AFFICHAGE_TYPE_ONDE"), "DISP_NOISE");
}

TEST(OscillatorPanel, PhaseStepIsTakenAndOtherRecordsGoOn) {
    VCO o;
    o.PHASE = 0.0f;
    VCO_GUI panel("1", &o);
    SPRITE* phase = find(panel, "SLD_PHASE");
    SPRITE* freq = find(panel, "SLD_FREQUENCE");
    int freq_angle = freq->angle;
    // Two records in one frame, the phase step first: the frequency step must still reach
    // its knob.
    post(panel, make_named_message(nullptr, 0, "SLD_DOWN", phase));
    post(panel, make_named_message(nullptr, 0, "SLD_DOWN", freq));
    frame(panel);
    EXPECT_FLOAT_EQ(o.PHASE, -1.0f);
    EXPECT_EQ(text_of(panel, "LABEL_PHASE"), "-1");
    EXPECT_EQ(phase->angle, 0) << "the phase knob does not turn";
    EXPECT_EQ(freq->angle, freq_angle + 1);
    EXPECT_FLOAT_EQ(o.FREQ, 111.0f);
}

TEST(PowerButtons, ShowTheModuleFromTheStartAndTheFirstClickActs) {
    VCO o;
    VCO_GUI vco("1", &o);
    BUTTON* power = button_of(vco, "POWER");
    ASSERT_NE(power, nullptr);
    EXPECT_EQ(power->state, 1);
    EXPECT_STREQ(power->image, "POWER_ON");
    release(vco, "POWER");
    EXPECT_EQ(o.power, 0) << "the first click switches off";
    EXPECT_EQ(power->state, 0);
    EXPECT_STREQ(power->image, "POWER_OFF");
    release(vco, "POWER");
    EXPECT_EQ(o.power, 1);
    EXPECT_STREQ(power->image, "POWER_ON");

    // Two clicks within one frame leave the power where it was.
    post(vco, make_event_message(EVENT_MOUSE_UP, power));
    post(vco, make_event_message(EVENT_MOUSE_UP, power));
    frame(vco);
    EXPECT_EQ(o.power, 1);
    EXPECT_EQ(power->state, 1);

    PCF f;
    f.power = 0;
    f.BYPASS = 1;
    VCF_GUI vcf("2", &f);
    EXPECT_EQ(button_of(vcf, "POWER")->state, 0) << "the lamp is not inverted";
    EXPECT_STREQ(button_of(vcf, "POWER")->image, "POWER_OFF");
    EXPECT_EQ(button_of(vcf, "BYPASS")->state, 1);
    EXPECT_STREQ(button_of(vcf, "BYPASS")->image, "CHK_4_ON");
    release(vcf, "POWER");
    EXPECT_EQ(f.power, 1);
    release(vcf, "BYPASS");
    EXPECT_EQ(f.BYPASS, 0);
    EXPECT_EQ(button_of(vcf, "BYPASS")->state, 0);

    KEYBOARD k;
    KEYBOARD_GUI keys("0", &k);
    release(keys, "POWER");
    EXPECT_EQ(k.power, 0);

    MIXER m;
    MIXER_GUI mixer("4", &m);
    release(mixer, "POWER");
    EXPECT_EQ(m.enabled, 0);
}

TEST(EnvelopePanel, SustainLabelBeforeTheFloorAndKnobSteps) {
    VCA a;
    a.SUSTAIN = 0.008f;
    a.ATTACK = 0.5f;
    VCA_GUI panel("5", &a);
    EXPECT_EQ(text_of(panel, "LABEL_SUSTAIN"), "0.01");
    EXPECT_EQ(a.SUSTAIN, 0.0f);
    knob_step(panel, "SLD_SUSTAIN", "SLD_DOWN");
    EXPECT_FLOAT_EQ(a.SUSTAIN, 0.06f);
    EXPECT_EQ(text_of(panel, "LABEL_SUSTAIN"), " 0.1");
    knob_step(panel, "SLD_ATTACK", "SLD_UP");
    EXPECT_EQ(a.ATTACK, 0.0f);
    EXPECT_EQ(text_of(panel, "LABEL_ATTACK"), " 0.0");
    knob_step(panel, "SLD_RELEASE", "SLD_DOWN", 3);
    EXPECT_FLOAT_EQ(a.RELEASE, 1003.0f);
    EXPECT_EQ(text_of(panel, "LABEL_RELEASE"), "1003.0");
}

TEST(FilterPanel, CutoffShapeAndUnknownShape) {
    PCF f;
    f.HICUT = 5000;
    f.TYPE = 6;
    VCF_GUI panel("7", &f);
    EXPECT_EQ(text_of(panel, "LABEL_TYPE"), "HIGHSHELF");
    EXPECT_EQ(image_of(panel, "AFFICHAGE_TYPE_FILTRE"), "DISP_FILTRE_HIGHSHELF");
    knob_step(panel, "SLD_HICUTOFF", "SLD_DOWN");
    EXPECT_EQ(f.HICUT, 4850);
    EXPECT_EQ(text_of(panel, "LABEL_HICUTOFF"), "4850");
    // Each click shows the next filter, through all eight.
    for (int32_t type : {7, 0, 1, 2, 3, 4, 5, 6}) {
        release(panel, "AFFICHAGE_TYPE_FILTRE");
        EXPECT_EQ(f.TYPE, type);
        EXPECT_EQ(image_of(panel, "AFFICHAGE_TYPE_FILTRE"), std::string("DISP_FILTRE_") + vcf_type_name(type));
        char label[16];
        std::snprintf(label, sizeof label, "%8s", vcf_type_name(type));
        EXPECT_EQ(text_of(panel, "LABEL_TYPE"), label);
    }
    knob_step(panel, "SLD_LEVEL", "SLD_DOWN", 3);
    EXPECT_FLOAT_EQ(f.AMOUNT, 1.0f);

    PCF odd;
    odd.TYPE = 9;
    VCF_GUI other("8", &odd);
    EXPECT_EQ(text_of(other, "LABEL_TYPE"), "9");
    EXPECT_EQ(image_of(other, "AFFICHAGE_TYPE_FILTRE"), "DISP_FILTRE_LOWPASS") << "as laid out";
}

TEST(KeyboardPanel, OctaveButtonsAndDigit) {
    KEYBOARD k;
    k.octave = 6;
    std::snprintf(k.name, sizeof k.name, "KEYBOARD_1");
    KEYBOARD_GUI panel("0", &k);
    EXPECT_EQ(text_of(panel, "label_NAME"), "KEYBOARD_1");
    EXPECT_EQ(image_of(panel, "SPRITE_OCT"), "LED_NUMERIC_1_7");
    release(panel, "BUTTON_OCT_UP");
    EXPECT_EQ(k.octave, 7);
    release(panel, "BUTTON_OCT_UP");
    EXPECT_EQ(k.octave, 7);
    EXPECT_EQ(image_of(panel, "SPRITE_OCT"), "LED_NUMERIC_1_8");
    release(panel, "BUTTON_OCT_DOWN");
    EXPECT_EQ(k.octave, 6);
    EXPECT_EQ(text_of(panel, "LABEL_NOTE"), "C6") << "key 1 of octave 6";
    k.key = 10; // a key played on the computer keyboard
    frame(panel);
    EXPECT_EQ(text_of(panel, "LABEL_NOTE"), "A6");
}

TEST(KeyboardPanel, AHeldKeyLightsItsKeyOnThePrintedKeyboard) {
    // Key, lamp centre in white-key widths from the printed keyboard's left edge, black or white:
    // C, C#, B, the next octave's C and A#, a key beyond the two octaves and one below them.
    const std::tuple<int32_t, float, bool> cases[] = {{1, 0.5f, false}, {2, 1, true},    {12, 6.5f, false}, {13, 7.5f, false},
                                                      {23, 13, true},   {27, 1.5f, false}, {0, 6.5f, false}};
    for (const auto& [key, whites, black] : cases) {
        EXPECT_FLOAT_EQ(key_spot(key).cx, 8 + whites * 96.0f / 14) << "key " << key;
        EXPECT_EQ(key_spot(key).cy < 77, black) << "key " << key;
    }
    KEYBOARD k;
    KEYBOARD_GUI panel("0", &k);
    EXPECT_EQ(image_of(panel, "LAMP_KEY"), "0") << "no key held";
    k.key = 3;
    for (int32_t gate : {1, 0}) {
        k.gate = gate;
        EXPECT_TRUE(panel.lamp_out_of_date());
        frame(panel);
        EXPECT_FALSE(panel.lamp_out_of_date());
        EXPECT_EQ(image_of(panel, "LAMP_KEY"), gate ? "LAMP_LED_1_1" : "0");
    }
    EXPECT_FLOAT_EQ(find(panel, "LAMP_KEY")->x, key_spot(3).cx - 4);
}

TEST(MixerPanel, ChannelsStartFromTheModuleAndAllAct) {
    MIXER m;
    m.level[0] = 0.5f;
    m.mute[3] = 1.0f;
    m.mute[5] = 0.5f; // not a mute: only 1.0 silences, and the panel leaves it alone
    MIXER_GUI panel("12", &m);
    int knobs = 0;
    for (SPRITE* s : panel.front)
        if (std::string(s->name).rfind("12_SLD_CANAL_", 0) == 0) ++knobs;
    EXPECT_EQ(knobs, MIXER_PANEL_CHANNELS);
    EXPECT_EQ(find(panel, "SLD_CANAL_1")->angle, 900);
    EXPECT_EQ(text_of(panel, "LABEL_CANAL_1"), "0.5");
    EXPECT_EQ(text_of(panel, "LABEL_CANAL_21_TXT"), "21");
    EXPECT_EQ(button_of(panel, "BYPASS_CANAL_4")->state, 1);
    EXPECT_STREQ(button_of(panel, "BYPASS_CANAL_4")->image, "CHK_4_ON");

    frame(panel);
    frame(panel);
    EXPECT_EQ(m.mute[3], 1.0f) << "a patch's mute survives the first frames";
    EXPECT_EQ(m.mute[5], 0.5f);
    EXPECT_EQ(m.level[0], 0.5f);

    // Grabbing channel 20's knob and turning it moves slot 19 only.
    SPRITE* k20 = find(panel, "SLD_CANAL_20");
    post(panel, make_event_message(EVENT_MOUSE_DOWN, k20));
    frame(panel);
    EXPECT_FLOAT_EQ(m.level[19], 1.0f) << "grabbing does not move the level";
    for (int i = 0; i < 180; ++i) {
        post(panel, make_named_message(nullptr, 0, "SLD_UP", k20));
        frame(panel);
    }
    frame(panel);
    EXPECT_NEAR(m.level[19], 0.9f, 1e-6);
    EXPECT_EQ(text_of(panel, "LABEL_CANAL_20"), "0.9");
    for (int i = 0; i < MIXER_SLOTS; ++i) {
        if (i != 19 && i != 0) {
            EXPECT_EQ(m.level[i], 1.0f) << i;
        }
    }

    release(panel, "BYPASS_CANAL_21");
    frame(panel);
    EXPECT_EQ(m.mute[20], 1.0f);
    release(panel, "BYPASS_CANAL_4");
    frame(panel);
    EXPECT_EQ(m.mute[3], 0.0f);
}

TEST(ModePanels, OnlyTheFrontAtFullSizeRunsTheHandler) {
    VCO o;
    VCO_GUI panel("1", &o);
    SPRITE* freq = find(panel, "SLD_FREQUENCE");
    int angle = freq->angle;
    panel.set_mode(MODE_FOLDED);
    post(panel, make_named_message(nullptr, 0, "SLD_DOWN", freq));
    frame(panel);
    EXPECT_FLOAT_EQ(o.FREQ, 110.0f);
    EXPECT_EQ(freq->angle, angle + 1) << "the knob still takes its message";
}

TEST(PanelNumbers, ThreeDigitPanelFindsItsItems) {
    VCO o;
    VCO_GUI panel("260", &o);
    ASSERT_NE(find(panel, "SLD_FREQUENCE"), nullptr);
    EXPECT_STREQ(find(panel, "SLD_FREQUENCE")->name, "260_SLD_FREQUENCE");
    knob_step(panel, "SLD_FREQUENCE", "SLD_DOWN");
    EXPECT_FLOAT_EQ(o.FREQ, 111.0f);

    SEQUENCER s;
    SEQ_GUI seq("260", &s);
    release(seq, "BUTTON_BYPASS_12");
    EXPECT_EQ(s.step_bypass[0][11], 1);
}

TEST(SamplerPanel, NameAndSampleFile) {
    SAMPLER s;
    std::snprintf(s.name, sizeof s.name, "SAMPLER_KICK");
    for (const auto& [path, shown] : {std::pair<const char*, const char*>{"KVX/samples/kick.wav", "kick.wav"},
                                      {"kick.wav", "kick.wav"},
                                      {"", "(no sample)"}}) {
        std::snprintf(s.sample_path, sizeof s.sample_path, "%s", path);
        SAMPLER_GUI panel("0", &s);
        EXPECT_EQ(text_of(panel, "label_NAME"), "SAMPLER_KICK");
        EXPECT_EQ(text_of(panel, "LABEL_FILE"), shown) << path;
    }
}

TEST(SamplerPanel, LampLitWhileItPlays) {
    SAMPLER s;
    SAMPLER_GUI panel("0", &s);
    EXPECT_EQ(image_of(panel, "LAMP_PLAY"), "LAMP_LED_1_0");
    for (uint32_t playing : {1u, 0u}) {
        s.playing.store(playing);
        EXPECT_TRUE(panel.lamp_out_of_date());
        frame(panel);
        EXPECT_FALSE(panel.lamp_out_of_date());
        EXPECT_EQ(image_of(panel, "LAMP_PLAY"), playing ? "LAMP_LED_1_1" : "LAMP_LED_1_0");
    }
}
