// The real program's window, driven through xdotool as a person would use it.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "tests/support/display.h"
#include "tests/support/wait.h"
#include "tests/support/program.h"
#include "tests/support/saved_patch.h"
#include "tests/support/scratch.h"
#include "tests/support/wave.h"
#include "tests/support/window_program.h"
#include "tests/support/wire_client.h"
#include "tests/support/xdo.h"

namespace {

const std::string ROOT = TESSARO_SOURCE_DIR;

// Oscillator, filter and master mixer: the oscillator's panel at (0, 25), the filter's at (210, 50).
const char* const KNOB_PATCH = "BEGIN_OBJECTS_DECLARE\n"
                               "VCO_1;TYPE=3;FREQ=100;AMOUNT=0.5;PHASE=0;\n"
                               "PCF_1;TYPE=0;HICUT=600;Q=1;GAIN=0;AMOUNT=1;BYPASS=0;\n"
                               "MIXER_4;;\n"
                               "END_OBJECTS_DECLARE\n"
                               "BEGIN_LINKS_DECLARE\n"
                               "PCF_1;IN=VCO_1;\n"
                               "MIXER_4;ADD_CHANELL=PCF_1;\n"
                               "END_LINKS_DECLARE\n";

// Fraction of a rectangle that is pure black: what an undrawn window shows.
double black_fraction(const IMAGE& img, int x, int y, int w, int h) {
    int black = 0;
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            black += img.at(x + i, y + j) == 0;
    return static_cast<double>(black) / (w * h);
}

class ProgramWindow : public WINDOW_PROGRAM_TEST {
  protected:
    ProgramWindow() : WINDOW_PROGRAM_TEST("stage") {}

    // The program runs in a folder of its own that looks like the repository's: the artwork, fonts
    // and layouts linked, the patches copied, so that saving or writing layouts touches nothing
    // shared.
    void SetUp() override {
        WINDOW_PROGRAM_TEST::SetUp();
        if (IsSkipped()) return;
        ASSERT_TRUE(stage_data(ROOT, true));
        ASSERT_TRUE(stage_folder(stage, ROOT, "KVX", true));
    }

    // Starts `tessaro PATCH` in the stage, answers the sound menus with keys and finds its window.
    void open(const std::string& patch, const std::string& menus = "41", std::vector<std::string> env = {}) {
        ASSERT_NO_FATAL_FAILURE(start_window(patch, false, menus, env));
        EXPECT_EQ(window.w, 1024);
        EXPECT_EQ(window.h, 768);
    }

    // A screenshot once the window shows something other than black.
    IMAGE drawn_screenshot() {
        return window.screenshot_when([](const IMAGE& shot) { return black_fraction(shot, 0, 0, shot.w, shot.h) < 0.5; });
    }

    // ESC ends the program with status 0.
    void expect_clean_exit() {
        window.key("Escape");
        EXPECT_EQ(program.wait(), 0) << program.output();
    }

    void drag_knob(int x, int y, int dy) {
        EXPECT_TRUE(WINDOW_PROGRAM_TEST::drag_knob(x, y, dy)) << "the pointer stays where the drag left it";
        pause_ms(150);
    }

    // A middle-button drag along a row. The scroll takes the pointer of the event before, so the
    // world catches up with the last step at the next motion: a one-pixel nudge ends the drag.
    void middle_drag(int x0, int x1, int y) {
        window.move(x0, y);
        pause_ms(50);
        window.button_down(MIDDLE);
        pause_ms(80);
        for (int i = 1; i <= 15; ++i) {
            window.move(x0 + (x1 - x0) * i / 15, y);
            pause_ms(30);
        }
        window.move(x1 + (x1 > x0 ? 1 : -1), y);
        pause_ms(80);
        window.button_up(MIDDLE);
        pause_ms(80);
    }

};

} // namespace

TEST_F(ProgramWindow, OpensCaptionedAndDrawsPanelsAndDashboards) {
    ASSERT_NO_FATAL_FAILURE(open("KVX/BASSLINE.KVX"));
    // No input: the sequencer's steps are what asks for frames.
    const IMAGE shot = drawn_screenshot();
    ASSERT_FALSE(shot.empty());

    // Empty world between the dashboards: the dark background, not black.
    const IMAGE fond = load_image(ROOT + "/grfx/FOND_ELECTRO.png");
    ASSERT_FALSE(fond.empty());
    int lit = 0;
    for (int x = 560; x < 1000; x += 20)
        lit += shot.at(x, 700) != 0 && colour_distance(shot.at(x, 700), 0x1C1D20) < 60;
    EXPECT_GT(lit, 15) << "background";

    // Panels where the column rules put them, showing their own pictures: the first oscillator at
    // (0, 25), the sequencer at (480, 50); the dashboards at (50, 450), (475, 475) and (75, 575).
    struct PLACE {
        const char* image;
        int x, y, px, py, w, h;
    };
    for (const PLACE& p :
         {PLACE{"PANEL_VCO", 0, 25, 150, 22, 40, 12}, PLACE{"PANEL_SEQUENCER", 480, 50, 300, 196, 40, 20},
          PLACE{"DASH_INFO", 50, 450, 220, 4, 40, 10}, PLACE{"DASH_MODULE", 475, 475, 130, 50, 40, 20},
          PLACE{"DASH_SYSTEM", 75, 575, 100, 3, 60, 8}}) {
        const IMAGE picture = load_image(ROOT + "/grfx/" + p.image + ".png");
        ASSERT_FALSE(picture.empty()) << p.image;
        EXPECT_GT(match_fraction(shot, p.x + p.px, p.y + p.py, picture, p.px, p.py, p.w, p.h), 0.8)
            << p.image;
    }
    expect_clean_exit();
}

TEST_F(ProgramWindow, KnobDragsStepTheParametersAndF4SavesThem) {
    stage.write("KVX/KNOBS.KVX", KNOB_PATCH);
    ASSERT_NO_FATAL_FAILURE(open("KVX/KNOBS.KVX"));
    drawn_screenshot();

    // The filter's cut-off knob (laid out at (65, 29) on its panel), 50 pixels up: forty steps of
    // 10 take 600 to 1000, ten of 25 take it on to 1250.
    drag_knob(210 + 71, 50 + 35, 50);
    int x, y;
    window.pointer(x, y);
    EXPECT_EQ(x, 281);
    EXPECT_EQ(y, 85);
    // The oscillator's frequency knob (at (14, 39)), 30 pixels down: 30 steps of 1 from 100.
    drag_knob(22, 25 + 47, -30);

    const std::string saved = save_with_f4("TURNED.KVX", "KVX/TURNED.KVX");
    EXPECT_EQ(saved_value(saved, "PCF_1", "HICUT"), 1250) << saved;
    EXPECT_NEAR(saved_value(saved, "VCO_1", "FREQ"), 130, 1e-3) << saved;
    expect_clean_exit();
}

TEST_F(ProgramWindow, HeldNoteKeyIsHeardInTheRecording) {
    const std::string take = stage.file("take.wav");
    ASSERT_NO_FATAL_FAILURE(open("KVX/LEAD.KVX", "42", {"TESSARO_RECORD=" + take}));
    drawn_screenshot();
    window.move(600, 700);

    // The recorder rewrites the take's sizes after every block, so the frames on disk tell where
    // the recording stands however fast the machine runs. Two seconds of it before the press.
    constexpr size_t SECOND = 44100;
    auto recorded = [&] { return wave_frames_written(take); };
    ASSERT_TRUE(wait_until([&] { return recorded() >= 2 * SECOND; })) << program.output();
    const size_t pressed = recorded();
    window.key_down("z");
    // The key travels through X and the next frame before the sound can change: the first second
    // after the press is left out, and the held part measured is the second after it.
    const size_t from = pressed + SECOND, to = from + SECOND;
    ASSERT_TRUE(wait_until([&] { return recorded() >= to; })) << program.output();
    window.key_up("z");
    expect_clean_exit();

    const std::vector<double> left = left_channel(take);
    ASSERT_GE(left.size(), to) << program.output();
    const size_t before_from = pressed - SECOND, before_to = pressed;
    EXPECT_GT(rms(left, from, to), rms(left, before_from, before_to));
    // The lead is a bright saw over a soft triangle bass: its mark is in the treble, which the
    // first difference (a gentle high-pass) brings out.
    const std::vector<double> treble = first_difference(left);
    const double held = rms(treble, from, to);
    const double before = rms(treble, before_from, before_to);
    EXPECT_GT(held, 2 * before) << "treble while held " << held << ", before " << before;
}

// A keyboard at octave 0 whose note plays the tom sample slowly (about 13 s), so it sounds for as
// long as the key is held. The keyboard's panel stands at (0, 50), the sampler's at (120, 25).
const char* const LAMP_PATCH = "BEGIN_OBJECTS_DECLARE\n"
                               "KEY_1;OCTAVE=0;\n"
                               "SAMPLER_1;FILE=samples/tom.wav;\n"
                               "MIXER_4;;\n"
                               "END_OBJECTS_DECLARE\n"
                               "BEGIN_LINKS_DECLARE\n"
                               "SAMPLER_1;IN=KEY_1;GATE=KEY_1;SYNC=KEY_1;\n"
                               "MIXER_4;ADD_CHANELL=SAMPLER_1;\n"
                               "END_LINKS_DECLARE\n";

// A lamp's red, brighter than the white key under it and the dark unlit lamp.
bool lamp_lit(uint32_t rgb) {
    return (rgb >> 16) > 0xE0 && ((rgb >> 8) & 0xFF) < 0xB0;
}

TEST_F(ProgramWindow, AHeldNoteKeyLightsItsKeyAndTheSamplerItPlays) {
    stage.write("KVX/LAMPS.KVX", LAMP_PATCH);
    ASSERT_NO_FATAL_FAILURE(open("KVX/LAMPS.KVX"));
    // "c" is the third key of its row: D, the second white key of the printed keyboard, whose
    // lamp is centred at (18, 80) on the panel; the sampler's lamp at (160, 31) on its panel.
    auto key_lit = [](const IMAGE& shot) { return lamp_lit(shot.at(18, 50 + 80)); };
    auto sampler_lit = [](const IMAGE& shot) { return lamp_lit(shot.at(120 + 160, 25 + 31)); };
    window.move(700, 700);
    const IMAGE before = drawn_screenshot();
    EXPECT_FALSE(key_lit(before));
    EXPECT_FALSE(sampler_lit(before));
    window.key_down("c");
    const IMAGE held = window.screenshot_when([&](const IMAGE& shot) { return key_lit(shot) && sampler_lit(shot); });
    EXPECT_TRUE(key_lit(held)) << "the held key";
    EXPECT_TRUE(sampler_lit(held)) << "the sampler playing";
    window.key_up("c");
    const IMAGE released =
        window.screenshot_when([&](const IMAGE& shot) { return !key_lit(shot) && !sampler_lit(shot); });
    EXPECT_FALSE(key_lit(released));
    EXPECT_FALSE(sampler_lit(released)) << "the closed gate stops the sample";
    expect_clean_exit();
}

TEST_F(ProgramWindow, MiddleDragScrollsMiddleClickFoldsRightDragMoves) {
    ASSERT_NO_FATAL_FAILURE(open("KVX/BASSLINE.KVX"));
    window.move(700, 700);
    const IMAGE start = drawn_screenshot();

    // 300 pixels to the left over empty world, in 20-pixel moves; the world follows the pointer.
    // The scroll trails the pointer by one motion event, so a loaded X server that folds two of
    // the moves into one leaves it a move short.
    middle_drag(700, 400, 700);
    int best = 0;
    double best_match = 0;
    window.screenshot_when([&](const IMAGE& scrolled) {
        best_match = 0;
        for (int d = 260; d <= 340; ++d) {
            const double m = match_fraction(scrolled, 480 - d, 60, start, 480, 60, 500, 200, 4);
            if (m > best_match) best_match = m, best = d;
        }
        return std::abs(best - 300) <= 20 && best_match > 0.9;
    });
    EXPECT_NEAR(best, 300, 20) << "match " << best_match;
    EXPECT_GT(best_match, 0.9);

    // Back to the start, then a middle click on the first oscillator folds it to half size, and a
    // second one unfolds it.
    middle_drag(400, 700, 700);
    window.move(700, 700);
    auto panel_home = [&](const IMAGE& shot) { return match_fraction(shot, 0, 25, start, 0, 25, 200, 136, 4) > 0.9; };
    const IMAGE home = window.screenshot_when(panel_home);
    EXPECT_TRUE(panel_home(home)) << "scrolled back home";
    window.click(MIDDLE, 40, 40);
    window.move(700, 700);
    auto lower_right_gone = [&](const IMAGE& shot) {
        return match_fraction(shot, 110, 100, home, 110, 100, 80, 55, 4) < 0.5;
    };
    EXPECT_TRUE(lower_right_gone(window.screenshot_when(lower_right_gone))) << "lower right of the panel";
    window.click(MIDDLE, 40, 40);
    window.move(700, 700);
    EXPECT_TRUE(panel_home(window.screenshot_when(panel_home)));

    // A right drag takes the panel's top-left corner to the pointer, here onto empty world.
    window.drag(RIGHT, 150, 40, 230, 250, 10);
    window.move(700, 700);
    const IMAGE moved = window.screenshot_when([&](const IMAGE& shot) {
        return match_fraction(shot, 230 + 10, 250 + 10, home, 10, 35, 180, 116, 4) > 0.9 &&
               match_fraction(shot, 10, 35, home, 10, 35, 180, 116, 4) < 0.5;
    });
    EXPECT_GT(match_fraction(moved, 230 + 10, 250 + 10, home, 10, 35, 180, 116, 4), 0.9) << "the panel";
    EXPECT_LT(match_fraction(moved, 10, 35, home, 10, 35, 180, 116, 4), 0.5) << "where it was";
    expect_clean_exit();
}

TEST_F(ProgramWindow, RemoteCommandHeldStepsOncePerFrame) {
    stage.write("KVX/KNOBS.KVX", KNOB_PATCH);
    ASSERT_NO_FATAL_FAILURE(open("KVX/KNOBS.KVX"));
    drawn_screenshot();
    wire::CLIENT client;
    ASSERT_TRUE(wire::open_dialogue(client, PATIENCE_MS, port)) << program.output();
    // Held until thirty steps are seen, however long a loaded machine takes to draw them; the
    // steps can only fall between the press sent and the release answered.
    using clock = std::chrono::steady_clock;
    const auto pressed = clock::now();
    ASSERT_TRUE(wire::exchange(client, "PORTA=1\r\n", 0));
    EXPECT_TRUE(program.wait_for_count("F1 [", 30)) << program.output();
    ASSERT_TRUE(wire::exchange(client, "PORTA=0\r\n", 0));
    const double held = std::chrono::duration<double>(clock::now() - pressed).count();
    ASSERT_TRUE(wire::exchange(client, "FINISH\r\n", 1));
    expect_clean_exit();
    // Frames come at most sixty a second: one step each, never more.
    const int steps = count_of(program.output(), "F1 [");
    EXPECT_GE(steps, 30);
    EXPECT_LE(steps, 60 * held + 3) << steps << " steps in " << held << " s";
}

TEST_F(ProgramWindow, SequencerStepLampsMoveBetweenScreenshots) {
    ASSERT_NO_FATAL_FAILURE(open("KVX/BASSLINE.KVX"));
    window.move(700, 700);
    const IMAGE first = drawn_screenshot();
    // The lamps of the visible steps, along the top of the sequencer panel at (480, 50); eight
    // steps a second.
    int changed = 0;
    window.screenshot_when([&](const IMAGE& shot) {
        changed = pixels_differing(first, shot, 480 + 60, 50, 200, 20);
        return changed > 0;
    });
    EXPECT_GT(changed, 0);
    expect_clean_exit();
}

// Each shipped patch opens, draws, takes random clicks, drags and keys for a while (10 seconds, or
// $TESSARO_MONKEY_SECONDS) and still ends with status 0 on ESC.
class ProgramWindowPatches : public ProgramWindow, public testing::WithParamInterface<const char*> {};

TEST_P(ProgramWindowPatches, SurviveRandomInputAndExitOnEsc) {
    const std::string patch = std::string("KVX/") + GetParam() + ".KVX";
    ASSERT_NO_FATAL_FAILURE(open(patch));
    for (int i = 0; i < 5; ++i)
        window.move(100 + 150 * i, 100 + 100 * i);
    const IMAGE shot = drawn_screenshot();
    EXPECT_LT(black_fraction(shot, 0, 0, shot.w, shot.h), 0.5) << "nothing drawn";

    const char* env = std::getenv("TESSARO_MONKEY_SECONDS");
    const double seconds = env ? std::atof(env) : 10;
    std::mt19937 random(static_cast<unsigned>(std::hash<std::string>()(patch)));
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    // Every key but ESC, which ends the run; F3's chooser loads whatever name a click hits.
    const std::vector<std::string> keys = {"z", "x",   "c",  "v",  "b",  "n",  "a",  "s",           "d",
                                           "f", "g",   "h",  "q",  "w",  "e",  "r",  "t",           "y",
                                           "5", "Tab", "F1", "F2", "F3", "F4", "F6", "KP_Subtract", "KP_Add",
                                           "ctrl+z", "ctrl+shift+z", "ctrl+y"};
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    int actions = 0;
    while (std::chrono::steady_clock::now() < end && program.alive()) {
        const int x = pick(1024), y = pick(768);
        switch (pick(10)) {
        case 0:
        case 1:
        case 2:
            window.move(x, y);
            break;
        case 3:
        case 4:
            window.click(LEFT, x, y);
            break;
        case 5:
            window.drag(LEFT, x, y, x + pick(9) - 4, pick(768), 4);
            break;
        case 6:
            window.drag(pick(2) ? RIGHT : MIDDLE, x, y, pick(1024), pick(768), 4);
            break;
        case 7:
            window.click(MIDDLE, x, y);
            break;
        default: {
            const std::string& k = keys[pick(static_cast<int>(keys.size()))];
            window.key(k);
        }
        }
        // The save dialog (F4, or the system dashboard's SAVE button) reads a name from the
        // console; one is always waiting.
        if (actions % 10 == 0) program.type("MONKEY.KVX\n");
        ++actions;
    }
    program.type("MONKEY.KVX\n");
    ASSERT_TRUE(program.alive()) << "ended during the run, after " << actions << " actions\n"
                                 << program.output();
    for (int b : {LEFT, MIDDLE, RIGHT})
        window.button_up(b);
    expect_clean_exit();
}

INSTANTIATE_TEST_SUITE_P(Shipped, ProgramWindowPatches,
                         testing::Values("BASSLINE", "LEAD", "DRUMS", "MODULATION", "PAD", "BENCH_W1",
                                         "BENCH_W2", "BENCH_W3"));
