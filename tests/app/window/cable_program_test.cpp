// The real program's cable view under an X display, driven through xdotool: F6 turning the panels
// around with their cables and plugs, a plug dragged to another output and saved with F4, a name
// typed in the window's field after F4, drops that change nothing, and a patch whose cable list
// once stopped for a console key.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/support/display.h"
#include "tests/support/program.h"
#include "tests/support/scratch.h"
#include "tests/support/wait.h"
#include "tests/support/window_program.h"
#include "tests/support/xdo.h"

namespace {

const std::string ROOT = TESSARO_SOURCE_DIR;

// Two oscillators and the master mixer fed by the first. The oscillators' panels stand in the
// first column, the last declared on top: VCO_2 at (0, 25), VCO_1 at (0, 171); the mixer's at
// (210, 50). On the back sides the oscillator's OUTPUT jack lies at (163, 84) and the mixer's
// INPUT_1 at (14, 32); jacks are 16 x 16.
const char* const CABLE_PATCH = "BEGIN_OBJECTS_DECLARE\n"
                                "VCO_1;TYPE=3;FREQ=100;AMOUNT=0.5;\n"
                                "VCO_2;TYPE=1;FREQ=200;AMOUNT=0.5;\n"
                                "MIXER_4;;\n"
                                "END_OBJECTS_DECLARE\n"
                                "BEGIN_LINKS_DECLARE\n"
                                "MIXER_4;ADD_CHANELL=VCO_1;\n"
                                "END_LINKS_DECLARE\n";
constexpr int VCO_1_OUT_X = 171, VCO_1_OUT_Y = 263;
constexpr int VCO_2_OUT_X = 171, VCO_2_OUT_Y = 117;
constexpr int MIXER_IN1_X = 232, MIXER_IN1_Y = 90;
// Between the oscillators' column and the mixer, where only a cable can be: the cable from VCO_1
// crosses this strip low (its curve sags by the ends' mean height), one from VCO_2 high.
constexpr int LOW_PATH_X = 201, LOW_PATH_Y = 230, LOW_PATH_W = 8, LOW_PATH_H = 70;
constexpr int HIGH_PATH_X = 201, HIGH_PATH_Y = 120, HIGH_PATH_W = 8, HIGH_PATH_H = 70;

// Fraction of the plug's head (the ring round its centre, which the mask leaves whole) that the
// screen shows for a plug centred on (x, y).
double plug_match(const IMAGE& screen, int x, int y, const IMAGE& plug) {
    const int head_x = 6, head_y = 22, w = 12, h = 10;
    return match_fraction(screen, x - plug.w / 2 + head_x, y - plug.h / 2 + head_y, plug, head_x, head_y, w,
                          h);
}

// Pixels of the cables' grey inside a rectangle.
int cable_pixels(const IMAGE& shot, int x, int y, int w, int h) {
    int n = 0;
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            n += colour_distance(shot.at(i, j), 0x808880) <= 10;
    return n;
}

class ProgramCables : public WINDOW_PROGRAM_TEST {
  protected:
    ProgramCables() : WINDOW_PROGRAM_TEST("cables") {}

    void SetUp() override {
        WINDOW_PROGRAM_TEST::SetUp();
        if (IsSkipped()) return;
        ASSERT_TRUE(stage_data(ROOT, false));
        ASSERT_TRUE(stage_folder(stage, ROOT, "KVX", true));
        stage.write("KVX/CABLES.KVX", CABLE_PATCH);
    }

    // Starts `tessaro PATCH` in the stage and finds its window once drawn.
    void open(const std::string& patch) {
        ASSERT_NO_FATAL_FAILURE(start_window(patch, true));
        ASSERT_FALSE(info.empty());
        window.screenshot_when([&](const IMAGE& shot) { return shows_fronts(shot); });
    }

    // The panel view, told by its information dashboard, which the cable view does not show.
    bool shows_fronts(const IMAGE& shot) const { return match_fraction(shot, 50 + 220, 450 + 4, info, 220, 4, 40, 10) > 0.8; }

    // F6, then waits until the cable list is rebuilt and the view without dashboards is drawn.
    void enter_cable_view() {
        const size_t seen = program.output().size();
        window.key("F6");
        EXPECT_TRUE(program.wait_for_count("End Link Creation", 1, seen)) << program.output();
        window.screenshot_when([&](const IMAGE& shot) { return !shows_fronts(shot); });
    }

    // Drags with the left button in small steps, as a hand would; true once the program has
    // printed what the drop did (printed) and sent the pointer back to where the press was.
    bool drag(int x0, int y0, int x1, int y1, const std::string& printed) {
        const size_t seen = program.output().size();
        window.move(x0, y0);
        pause_ms(100);
        window.move(x0 + 1, y0);
        pause_ms(100);
        window.move(x0, y0);
        pause_ms(100);
        window.button_down(LEFT);
        pause_ms(150);
        for (int i = 1; i <= 10; ++i) {
            window.move(x0 + (x1 - x0) * i / 10, y0 + (y1 - y0) * i / 10);
            pause_ms(40);
        }
        pause_ms(100);
        window.button_up(LEFT);
        return program.wait_for_count(printed, 1, seen) && window.pointer_returns_to(x0, y0);
    }

    const IMAGE info = load_image(ROOT + "/grfx/DASH_INFO.png");
};

} // namespace

TEST_F(ProgramCables, F6ShowsTheBackSidesWithCablesAndF6AgainTheFronts) {
    ASSERT_NO_FATAL_FAILURE(open("KVX/CABLES.KVX"));
    const IMAGE vco_front = load_image(ROOT + "/grfx/PANEL_VCO.png");
    const IMAGE vco_rear = load_image(ROOT + "/grfx/PANEL_VCO_REAR.png");
    const IMAGE plug = load_image(ROOT + "/grfx/FICHE_PLUG.png");
    ASSERT_FALSE(vco_front.empty() || vco_rear.empty() || plug.empty());
    const IMAGE front = window.screenshot();
    EXPECT_GT(match_fraction(front, 150, 25 + 22, vco_front, 150, 22, 40, 12), 0.8);
    EXPECT_GT(match_fraction(front, 50 + 220, 450 + 4, info, 220, 4, 40, 10), 0.8);

    enter_cable_view();
    const std::string out = program.output();
    EXPECT_NE(out.find("Cree liste des liens\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Begin Link Creation\n"), std::string::npos) << out;
    EXPECT_NE(out.find("ROLL ["), std::string::npos) << out;
    const IMAGE back = window.screenshot();
    back.save(testing::TempDir() + "tessaro_cable_view.png");
    // The oscillator's rear side where its front was (a corner free of jacks and cables).
    EXPECT_GT(match_fraction(back, 2, 25 + 2, vco_rear, 2, 2, 14, 20), 0.8);
    // No dashboard in this view.
    EXPECT_LT(match_fraction(back, 50 + 220, 450 + 4, info, 220, 4, 40, 10), 0.5);
    // The grey cable sags between VCO_1's output and the mixer's first input, plugs on both ends.
    EXPECT_GT(cable_pixels(back, LOW_PATH_X, LOW_PATH_Y, LOW_PATH_W, LOW_PATH_H), 10);
    EXPECT_EQ(cable_pixels(back, HIGH_PATH_X, HIGH_PATH_Y, HIGH_PATH_W, HIGH_PATH_H), 0);
    EXPECT_GT(plug_match(back, MIXER_IN1_X, MIXER_IN1_Y, plug), 0.7);
    EXPECT_GT(plug_match(back, VCO_1_OUT_X, VCO_1_OUT_Y, plug), 0.7);

    window.key("F6");
    const IMAGE again = window.screenshot_when([&](const IMAGE& shot) {
        return shows_fronts(shot) && cable_pixels(shot, LOW_PATH_X, LOW_PATH_Y, LOW_PATH_W, LOW_PATH_H) == 0;
    });
    EXPECT_GT(match_fraction(again, 150, 25 + 22, vco_front, 150, 22, 40, 12), 0.8);
    EXPECT_GT(match_fraction(again, 50 + 220, 450 + 4, info, 220, 4, 40, 10), 0.8);
    EXPECT_EQ(cable_pixels(again, LOW_PATH_X, LOW_PATH_Y, LOW_PATH_W, LOW_PATH_H), 0);
    window.key("Escape");
    EXPECT_EQ(program.wait(), 0) << program.output();
}

TEST_F(ProgramCables, PlugDraggedToAnotherOutputIsSavedWithTheNewRouting) {
    ASSERT_NO_FATAL_FAILURE(open("KVX/CABLES.KVX"));
    enter_cable_view();
    const IMAGE plug = load_image(ROOT + "/grfx/FICHE_PLUG.png");
    ASSERT_TRUE(drag(VCO_1_OUT_X, VCO_1_OUT_Y, VCO_2_OUT_X, VCO_2_OUT_Y, "Branchement INPUT vers OUTPUT\n"))
        << program.output();
    // The cable view saves under the name as typed, in the working folder.
    const std::string saved = save_with_f4("REPLUGGED.KVX", "REPLUGGED.KVX");
    EXPECT_NE(saved.find("MIXER_4;ADD_CHANELL=VCO_2;"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("ADD_CHANELL=VCO_1"), std::string::npos) << saved;
    // The rebuilt cable leaves VCO_2's output now.
    const IMAGE shot = window.screenshot_when([](const IMAGE& s) {
        return cable_pixels(s, HIGH_PATH_X, HIGH_PATH_Y, HIGH_PATH_W, HIGH_PATH_H) > 10 &&
               cable_pixels(s, LOW_PATH_X, LOW_PATH_Y, LOW_PATH_W, LOW_PATH_H) == 0;
    });
    EXPECT_GT(cable_pixels(shot, HIGH_PATH_X, HIGH_PATH_Y, HIGH_PATH_W, HIGH_PATH_H), 10);
    EXPECT_EQ(cable_pixels(shot, LOW_PATH_X, LOW_PATH_Y, LOW_PATH_W, LOW_PATH_H), 0);
    EXPECT_GT(plug_match(shot, VCO_2_OUT_X, VCO_2_OUT_Y, plug), 0.7);
}

TEST_F(ProgramCables, F4OpensTheNameFieldOverTheCablesAndSavesInTheWorkingFolder) {
    ASSERT_NO_FATAL_FAILURE(open("KVX/CABLES.KVX"));
    enter_cable_view();
    window.move(900, 740);
    EXPECT_EQ(prompt_ink(window.screenshot()), 0);
    window.key("F4");
    // Letters that would play notes go to the field while it is open.
    for (const char* key : {"w", "i", "r", "e", "d"})
        window.key(key);
    const IMAGE typing = window.screenshot_when([](const IMAGE& shot) { return prompt_ink(shot) > 40; });
    EXPECT_GT(prompt_ink(typing), 40);
    EXPECT_GT(cable_pixels(typing, LOW_PATH_X, LOW_PATH_Y, LOW_PATH_W, LOW_PATH_H), 10) << "the cables stay drawn";
    window.key("Return");
    ASSERT_TRUE(program.wait_for_output("Saved wired.KVX")) << program.output();
    EXPECT_NE(read_text(stage.file("wired.KVX")).find("MIXER_4;ADD_CHANELL=VCO_1;"), std::string::npos);
    EXPECT_FALSE(shows_fronts(window.screenshot())) << "still the cable view";
}

TEST_F(ProgramCables, DropsOnNothingAndOnTheOwnJackLeaveThePatch) {
    ASSERT_NO_FATAL_FAILURE(open("KVX/CABLES.KVX"));
    enter_cable_view();
    ASSERT_TRUE(drag(MIXER_IN1_X, MIXER_IN1_Y, 700, 600, "Postionn\xE9 sur rien\n")) << program.output();
    ASSERT_TRUE(drag(VCO_1_OUT_X, VCO_1_OUT_Y, VCO_1_OUT_X + 4, VCO_1_OUT_Y + 3, "C le meme amateur !\n"))
        << program.output();
    EXPECT_EQ(program.output().find("Branchement"), std::string::npos);
    const std::string saved = save_with_f4("SAME.KVX", "SAME.KVX");
    EXPECT_NE(saved.find("MIXER_4;ADD_CHANELL=VCO_1;"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("VCO_2;"), saved.find("VCO_2;TYPE")) << saved; // VCO_2 has no links line
}

TEST_F(ProgramCables, DrumsCableViewNeverWaitsForTheConsole) {
    ASSERT_NO_FATAL_FAILURE(open("KVX/DRUMS.KVX"));
    enter_cable_view();
    ASSERT_NE(program.output().find("End Link Creation\n"), std::string::npos) << program.output();
    // The view keeps answering with nothing typed on the console: F6 brings the fronts back,
    // and F6 again builds the list anew.
    const int lists = count_of(program.output(), "End Link Creation");
    window.key("F6");
    window.screenshot_when([&](const IMAGE& shot) { return shows_fronts(shot); });
    enter_cable_view();
    EXPECT_EQ(count_of(program.output(), "End Link Creation"), lists + 1) << program.output();
    window.key("Escape");
    EXPECT_EQ(program.wait(), 0) << program.output();
}
