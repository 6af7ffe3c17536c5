// Tests of the parameter-stepping controller: rhythms, accelerations, wraps, prints and guards.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include "app/controller.h"
#include "remote/remote_line.h"

namespace {

class Controller : public ::testing::Test {
  protected:
    template <class M> M* add(std::vector<M*>& list) {
        M* m = new M();
        GENERATOR::push_front(list, m);
        return m;
    }

    // Runs frames with one control word and returns what they printed.
    std::string frames(int count, int32_t bits) {
        ::testing::internal::CaptureStdout();
        for (int i = 0; i < count; ++i)
            step_controller(c, &g, bits);
        std::fflush(stdout);
        return ::testing::internal::GetCapturedStdout();
    }

    // Frames with the bit clear until its counter has climbed to its wait limit.
    void settle() { frames(12, 0); }

    GENERATOR g;
    CONTROLLER c;
};

TEST_F(Controller, SelectAdvancesEverySeventhFrameAndWraps) {
    add(g.vcos);
    add(g.vcos);
    add(g.vcos);
    settle();
    // Once waited out, the first held frame acts at once, then every 7th frame.
    std::vector<int> seen;
    for (int frame = 0; frame < 22; ++frame) {
        step_controller(c, &g, CONTROL_SELECT);
        seen.push_back(c.selected_vco);
    }
    std::vector<int> expected(22);
    for (int frame = 0; frame < 22; ++frame)
        expected[frame] = (frame / 7 + 1) % 3;
    EXPECT_EQ(seen, expected);
}

TEST_F(Controller, SelectFromStartUpWaitsSixFramesFirst) {
    add(g.vcos);
    add(g.vcos);
    frames(6, CONTROL_SELECT);
    EXPECT_EQ(c.selected_vco, 0);
    frames(1, CONTROL_SELECT);
    EXPECT_EQ(c.selected_vco, 1);
}

TEST_F(Controller, SelectActsOnTheListOfTheTargetAndNextTargetCycles) {
    add(g.vcas);
    add(g.vcas);
    add(g.filters);
    add(g.filters);
    add(g.filters);
    settle();
    std::vector<MODULE_KIND> kinds;
    for (int i = 0; i < 5; ++i) {
        frames(1, CONTROL_NEXT_TARGET);
        kinds.push_back(c.target_kind);
        frames(6, 0);
    }
    EXPECT_EQ(kinds, (std::vector<MODULE_KIND>{KIND_VCA, KIND_SEQUENCER, KIND_PCF, KIND_SAMPLER, KIND_VCO}));

    c.target_kind = KIND_PCF;
    frames(1, CONTROL_SELECT);
    EXPECT_EQ(c.selected_filter, 1);
    EXPECT_EQ(c.selected_vca, 0);
    c.target_kind = KIND_SAMPLER; // no selection on that target
    frames(7, CONTROL_SELECT);
    EXPECT_EQ(c.selected_sampler, 0);
}

TEST_F(Controller, F1PrintsAndAcceleratesAfterAClearFrame) {
    VCO* v = add(g.vcos);
    v->FREQ = 100.0f;
    frames(1, 0);
    EXPECT_EQ(frames(1, CONTROL_F1), "F1 [0.010000]\n");
    EXPECT_NEAR(v->FREQ, 100.01, 1e-4);
    EXPECT_EQ(frames(1, CONTROL_F1), "F1 [0.015000]\n");
    EXPECT_NEAR(v->FREQ, 100.025, 1e-4);
    EXPECT_EQ(frames(1, CONTROL_F1), "F1 [0.022500]\n");
    // Releasing the command starts it over from the first step.
    frames(1, 0);
    EXPECT_EQ(frames(1, CONTROL_F2), "F2 [0.010000]\n");
    EXPECT_NEAR(v->FREQ, 100.0375, 1e-4);
}

TEST_F(Controller, F1AndF2WrapTheParameterChoices) {
    c.target_kind = KIND_VCA;
    frames(1, 0);
    frames(1, CONTROL_F1);
    EXPECT_EQ(c.vca_param, 3);
    frames(1, CONTROL_F2);
    EXPECT_EQ(c.vca_param, 0);
    frames(3, CONTROL_F2);
    EXPECT_EQ(c.vca_param, 3);
    frames(1, CONTROL_F2);
    EXPECT_EQ(c.vca_param, 0);

    c.target_kind = KIND_PCF;
    frames(1, CONTROL_F1);
    EXPECT_EQ(c.filter_param, 4);
    frames(1, CONTROL_F2);
    EXPECT_EQ(c.filter_param, 0);
}

TEST_F(Controller, EnvelopeTimesMoveByThreeTestsInTurn) {
    EXPECT_FLOAT_EQ(raise_time(9.0f), 20.0f);
    EXPECT_FLOAT_EQ(raise_time(5.0f), 6.0f);
    EXPECT_FLOAT_EQ(raise_time(95.0f), 205.0f);
    EXPECT_FLOAT_EQ(raise_time(100000.0f), 100000.0f);
    EXPECT_FLOAT_EQ(lower_time(20.0f), 10.0f);
    EXPECT_FLOAT_EQ(lower_time(150.0f), 50.0f);
    EXPECT_FLOAT_EQ(lower_time(105.0f), 5.0f);
    // A time never becomes negative.
    EXPECT_FLOAT_EQ(lower_time(10.0f), 0.0f);
    EXPECT_FLOAT_EQ(lower_time(0.5f), 0.0f);
    EXPECT_FLOAT_EQ(lower_time(0.0f), 0.0f);
}

TEST_F(Controller, F3AndF4StepTheSelectedEnvelope) {
    add(g.vcas);
    VCA* v = add(g.vcas); // selected index 0 is the front of the list
    v->ATTACK = 9.0f;
    c.target_kind = KIND_VCA;
    frames(1, 0);
    EXPECT_EQ(frames(2, CONTROL_F3), "F3 [0.010000]\nF3 [1.010000]\n");
    EXPECT_FLOAT_EQ(v->ATTACK, 30.0f);

    c.vca_param = 3;
    v->RELEASE = 20.0f;
    EXPECT_EQ(frames(1, CONTROL_F4), "F4 [0.010000]\n");
    EXPECT_FLOAT_EQ(v->RELEASE, 10.0f);

    c.vca_param = 2;
    frames(1, CONTROL_F4);
    EXPECT_FLOAT_EQ(v->SUSTAIN, 0.0f);
    frames(1, CONTROL_F3);
    EXPECT_FLOAT_EQ(v->SUSTAIN, 1.0f);
    EXPECT_FLOAT_EQ(g.vcas[1]->ATTACK, 1000.0f);
}

TEST_F(Controller, F3AndF4StepTheOscillatorAmount) {
    VCO* v = add(g.vcos);
    v->AMOUNT = 0.5f;
    frames(3, CONTROL_F3);
    EXPECT_NEAR(v->AMOUNT, 0.53f, 1e-6);
    frames(1, CONTROL_F4);
    EXPECT_NEAR(v->AMOUNT, 0.52f, 1e-6);
}

TEST_F(Controller, WaveformCyclesEveryThirteenthFrame) {
    VCO* v = add(g.vcos);
    settle();
    std::vector<int> types;
    for (int i = 0; i < 6; ++i) {
        frames(1, CONTROL_WAVE_UP);
        types.push_back(v->TYPE);
        frames(12, CONTROL_WAVE_UP);
        EXPECT_EQ(v->TYPE, types.back());
    }
    EXPECT_EQ(types, (std::vector<int>{1, 2, 3, 4, 5, 1}));

    frames(1, CONTROL_WAVE_DOWN);
    EXPECT_EQ(c.waveform, 0);
    frames(13, CONTROL_WAVE_DOWN);
    EXPECT_EQ(c.waveform, 5);
    EXPECT_EQ(v->TYPE, 5);
}

TEST_F(Controller, SequencerTargetDividerNotesAndSteps) {
    SEQUENCER* s = add(g.sequencers);
    s->NBR_STEP = 4;
    s->pattern = 2;
    c.target_kind = KIND_SEQUENCER;
    settle();
    frames(1, CONTROL_WAVE_UP);
    EXPECT_FLOAT_EQ(s->DIVIDER, 4.0f);
    frames(1, CONTROL_WAVE_DOWN);
    frames(13, CONTROL_WAVE_DOWN);
    EXPECT_FLOAT_EQ(s->DIVIDER, 1.0f);

    // F3 below the first step goes to the pattern's last step, F4 past the last back to 0.
    frames(1, CONTROL_F3);
    EXPECT_EQ(c.sequencer_step, 3);
    frames(1, CONTROL_F4);
    EXPECT_EQ(c.sequencer_step, 0);
    frames(2, CONTROL_F4);
    EXPECT_EQ(c.sequencer_step, 2);

    frames(2, CONTROL_F2);
    EXPECT_EQ(s->step_note[2][2], 12);
    frames(1, CONTROL_F1);
    EXPECT_EQ(s->step_note[2][2], 11);
    EXPECT_EQ(s->step_note[0][2], 10);
}

TEST_F(Controller, SequencerStepStaysInsideTheGrid) {
    SEQUENCER* s = add(g.sequencers);
    s->NBR_STEP = 64;
    c.target_kind = KIND_SEQUENCER;
    frames(1, CONTROL_F3);
    EXPECT_EQ(c.sequencer_step, 63);
    frames(1, CONTROL_F2);
    EXPECT_EQ(s->step_note[0][63], 11);
    s->NBR_STEP = 500;
    frames(1, CONTROL_F4);
    EXPECT_EQ(c.sequencer_step, 0);
    s->pattern = 70; // no cell to edit
    frames(1, CONTROL_F1);
    EXPECT_EQ(s->step_note[0][0], 10);
}

TEST_F(Controller, F3StepsTheSelectedFilterParameter) {
    PCF* f = add(g.filters);
    c.target_kind = KIND_PCF;
    frames(2, CONTROL_F3);
    EXPECT_EQ(f->HICUT, 500);
    c.filter_param = 1;
    frames(1, CONTROL_F3);
    EXPECT_FLOAT_EQ(f->Q, 0.5f);
    // The filter divides by Q: it stops just above 0.
    frames(1, CONTROL_F3);
    EXPECT_FLOAT_EQ(f->Q, 0.001f);
    c.filter_param = 2;
    frames(1, CONTROL_F3);
    EXPECT_FLOAT_EQ(f->GAIN, 0.5f);
    frames(1, CONTROL_F4);
    EXPECT_FLOAT_EQ(f->GAIN, 0.5f);
}

TEST_F(Controller, EmptyListsAndShrunkListsAreSafe) {
    for (MODULE_KIND kind : CONTROLLED_KINDS) {
        c.target_kind = kind;
        settle();
        frames(30, 0xff & ~CONTROL_NEXT_TARGET);
        EXPECT_EQ(c.selected_vco, 0);
    }

    VCO* v = add(g.vcos);
    c.target_kind = KIND_VCO;
    c.selected_vco = 3; // the list lost modules since the selection
    settle();
    frames(1, CONTROL_F1 | CONTROL_F3 | CONTROL_WAVE_UP);
    EXPECT_FLOAT_EQ(v->FREQ, 110.0f);
    EXPECT_FLOAT_EQ(v->AMOUNT, 1.0f);
    EXPECT_EQ(v->TYPE, 1);
    frames(7, CONTROL_SELECT);
    EXPECT_EQ(c.selected_vco, 0);
    EXPECT_EQ(next_index(-4, 2), 0);
    EXPECT_EQ(next_index(1, 0), 0);
}

TEST_F(Controller, IdleFramesChangeNothing) {
    VCO* v = add(g.vcos);
    EXPECT_EQ(frames(20, 0), "");
    EXPECT_EQ(step_controller(c, &g, 0), 0);
    EXPECT_EQ(step_controller(c, &g, CONTROL_F1), 1);
    EXPECT_NEAR(v->FREQ, 110.01, 1e-4);
    EXPECT_EQ(step_controller(c, nullptr, CONTROL_F1), 0);
}

TEST_F(Controller, ReadsTheControlWordAndTheGlobalGraph) {
    VCO* v = add(g.vcos);
    GENERATOR* previous = generator;
    generator = &g;
    control_port = CONTROL_F2;
    ::testing::internal::CaptureStdout();
    step_controller(c);
    step_controller(c);
    std::fflush(stdout);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "F2 [0.010000]\nF2 [0.015000]\n");
    control_port = 0;
    generator = previous;
    EXPECT_NEAR(v->FREQ, 109.975, 1e-4);
}

TEST_F(Controller, HeldFrequencyCommandsStopAtTheirCeilings) {
    VCO* v = add(g.vcos);
    v->FREQ = 440.0f;
    frames(1, 0);
    // Minutes of F1: the step stops growing at STEP_MAX, the frequency at FREQ_MAX.
    std::string out = frames(20000, CONTROL_F1);
    EXPECT_FLOAT_EQ(c.command_step[0], STEP_MAX);
    EXPECT_FLOAT_EQ(v->FREQ, FREQ_MAX);
    EXPECT_NE(out.find("F1 [100.000000]\n"), std::string::npos);
    EXPECT_EQ(out.find("inf"), std::string::npos);
    // The step climbs 0.01 * 1.5^n until it would pass the ceiling, then stays there.
    frames(1, 0);
    for (int n = 0; n < 40; ++n) {
        EXPECT_FLOAT_EQ(c.command_step[0], std::min(0.01f * std::pow(1.5f, static_cast<float>(n)), STEP_MAX))
            << n;
        frames(1, CONTROL_F1);
    }
    // And down to the floor, never below it.
    frames(1, 0);
    frames(20000, CONTROL_F2);
    EXPECT_FLOAT_EQ(v->FREQ, FREQ_MIN);
    // A frequency that is not a number is brought back into the range.
    v->FREQ = std::nanf("");
    frames(1, CONTROL_F1);
    EXPECT_TRUE(std::isfinite(v->FREQ));
    EXPECT_GE(v->FREQ, FREQ_MIN);
}

TEST_F(Controller, EveryOtherSteppedValueStaysFiniteAndInRange) {
    VCO* o = add(g.vcos);
    frames(1, 0);
    o->AMOUNT = AMOUNT_MAX - 0.02f;
    frames(10, CONTROL_F3);
    EXPECT_FLOAT_EQ(o->AMOUNT, AMOUNT_MAX);
    o->AMOUNT = 0.02f;
    frames(10, CONTROL_F4);
    EXPECT_FLOAT_EQ(o->AMOUNT, AMOUNT_MIN);

    VCA* e = add(g.vcas);
    c.target_kind = KIND_VCA;
    e->ATTACK = std::numeric_limits<float>::infinity();
    e->DECAY = std::nanf("");
    frames(2000, CONTROL_F3);
    EXPECT_FLOAT_EQ(e->ATTACK, TIME_MAX_MS);
    c.vca_param = 1;
    frames(1, CONTROL_F4);
    EXPECT_FLOAT_EQ(e->DECAY, 0.0f);
    EXPECT_FLOAT_EQ(raise_time(-5.0f), 1.0f);
    EXPECT_FLOAT_EQ(raise_time(99999.0f), 100099.0f);
    EXPECT_LE(raise_time(99999.0f), TIME_MAX_MS);

    PCF* f = add(g.filters);
    c.target_kind = KIND_PCF;
    c.filter_param = 0;
    frames(1000, CONTROL_F3);
    EXPECT_EQ(f->HICUT, HICUT_MAX);
    EXPECT_EQ(raise_cutoff(HICUT_MAX - 1), HICUT_MAX);
    EXPECT_EQ(raise_cutoff(std::numeric_limits<int32_t>::max()), std::numeric_limits<int32_t>::max());
    c.filter_param = 2;
    frames(1000, CONTROL_F3);
    EXPECT_FLOAT_EQ(f->GAIN, GAIN_FLOOR_DB);
    c.filter_param = 1;
    f->Q = std::nanf("");
    frames(1, CONTROL_F3);
    EXPECT_FLOAT_EQ(f->Q, 0.001f);

    SEQUENCER* s = add(g.sequencers);
    c.target_kind = KIND_SEQUENCER;
    settle();
    frames(13 * 100, CONTROL_WAVE_UP);
    EXPECT_FLOAT_EQ(s->DIVIDER, DIVIDER_MAX);
    frames(13 * 100, CONTROL_WAVE_DOWN);
    EXPECT_FLOAT_EQ(s->DIVIDER, DIVIDER_MIN);
    frames(50, CONTROL_F2);
    EXPECT_EQ(s->step_note[0][0], NOTE_MAX);
    frames(50, CONTROL_F1);
    EXPECT_EQ(s->step_note[0][0], NOTE_MIN);
}

TEST(ControllerArithmetic, KeepWithinAndNextStep) {
    EXPECT_FLOAT_EQ(keep_within(5.0f, 1.0f, 10.0f), 5.0f);
    EXPECT_FLOAT_EQ(keep_within(-5.0f, 1.0f, 10.0f), 1.0f);
    EXPECT_FLOAT_EQ(keep_within(50.0f, 1.0f, 10.0f), 10.0f);
    EXPECT_FLOAT_EQ(keep_within(std::nanf(""), 1.0f, 10.0f), 1.0f);
    EXPECT_FLOAT_EQ(keep_within(std::numeric_limits<float>::infinity(), 1.0f, 10.0f), 10.0f);
    EXPECT_FLOAT_EQ(keep_within(-std::numeric_limits<float>::infinity(), 1.0f, 10.0f), 1.0f);
    EXPECT_FLOAT_EQ(next_step(0.01f), 0.015f);
    EXPECT_FLOAT_EQ(next_step(80.0f), STEP_MAX);
    EXPECT_FLOAT_EQ(next_step(STEP_MAX), STEP_MAX);
}

TEST(FindKeyboard, OneKeyboardPlaysEveryRowElseExactNames) {
    GENERATOR g;
    EXPECT_EQ(find_keyboard(&g, "KEY_1"), nullptr);
    KEYBOARD* only = new KEYBOARD();
    std::strcpy(only->name, "PIANO");
    GENERATOR::push_front(g.keyboards, only);
    EXPECT_EQ(find_keyboard(&g, "KEY_3"), only);

    KEYBOARD* k3 = new KEYBOARD();
    std::strcpy(k3->name, "KEY_3");
    GENERATOR::push_front(g.keyboards, k3);
    KEYBOARD* twin = new KEYBOARD();
    std::strcpy(twin->name, "KEY_3");
    g.keyboards.push_back(twin);
    EXPECT_EQ(find_keyboard(&g, "KEY_3"), k3);
    EXPECT_EQ(find_keyboard(&g, "PIANO"), only);
    EXPECT_EQ(find_keyboard(&g, "KEY_"), nullptr);
    EXPECT_EQ(find_keyboard(&g, "key_3"), nullptr);
    EXPECT_EQ(find_keyboard(nullptr, "KEY_3"), nullptr);
}

} // namespace
