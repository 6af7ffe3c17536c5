// Undo and redo on the real window, driven through xdotool: knob drags, button switches and the
// remote controller taken back and made again with the caption's "*" following; cable re-plugs,
// panel moves and folds; and a recovery copy that outlives a SIGKILL and plays the edited sound.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/support/display.h"
#include "tests/support/program.h"
#include "tests/support/saved_patch.h"
#include "tests/support/scratch.h"
#include "tests/support/wait.h"
#include "tests/support/window_program.h"
#include "tests/support/wire_client.h"
#include "tests/support/xdo.h"

namespace {

const std::string ROOT = TESSARO_SOURCE_DIR;

// The oscillator's panel at (0, 25), the filter's at (210, 50): its cut-off knob at (65, 29)
// and its bypass button at (122, 72) on the panel.
const char* const KNOB_PATCH = "BEGIN_OBJECTS_DECLARE\nVCO_1;TYPE=3;FREQ=100;AMOUNT=0.5;PHASE=0;\n"
                               "PCF_1;TYPE=0;HICUT=600;Q=1;GAIN=0;AMOUNT=1;BYPASS=0;\nMIXER_4;;\nEND_OBJECTS_DECLARE\n"
                               "BEGIN_LINKS_DECLARE\nPCF_1;IN=VCO_1;\nMIXER_4;ADD_CHANELL=PCF_1;\nEND_LINKS_DECLARE\n";
// Two oscillators, the master fed by the first; on the back sides VCO_1's OUTPUT jack is at
// (171, 259) of the window, VCO_2's at (171, 117).
const char* const CABLE_PATCH = "BEGIN_OBJECTS_DECLARE\nVCO_1;TYPE=3;FREQ=100;AMOUNT=0.5;\n"
                                "VCO_2;TYPE=1;FREQ=200;AMOUNT=0.5;\nMIXER_4;;\nEND_OBJECTS_DECLARE\n"
                                "BEGIN_LINKS_DECLARE\nMIXER_4;ADD_CHANELL=VCO_1;\nEND_LINKS_DECLARE\n";

// Pixels of the filter's panel that differ between two screenshots.
int filter_changed(const IMAGE& a, const IMAGE& b) {
    return pixels_differing(a, b, 210, 50, 200, 120, 12);
}

class ProgramUndo : public WINDOW_PROGRAM_TEST {
  protected:
    ProgramUndo() : WINDOW_PROGRAM_TEST("undo") {}

    void SetUp() override {
        WINDOW_PROGRAM_TEST::SetUp();
        if (IsSkipped()) return;
        ASSERT_TRUE(stage_data(ROOT, false));
        ASSERT_TRUE(stage_folder(stage, ROOT, "KVX", false));
        stage.write("KVX/KNOBS.KVX", KNOB_PATCH);
        stage.write("KVX/CABLES.KVX", CABLE_PATCH);
    }

    void open(const std::string& patch, std::vector<std::string> env = {}) {
        ASSERT_NO_FATAL_FAILURE(start_window(patch, true, "41", env));
        window.move(700, 700);
        settle();
    }

    // Waits for the window to draw everything asked so far: "Nothing to redo" is printed
    // between frames, after the events before it were handled.
    void settle() {
        const size_t seen = program.output().size();
        window.key("ctrl+y");
        ASSERT_TRUE(program.wait_for_count("Nothing to redo", 1, seen)) << program.output();
        pause_ms(200);
    }

    // A key, then the console line it must print.
    void expect_line(const std::string& key, const std::string& line) {
        const size_t seen = program.output().size();
        window.key(key);
        EXPECT_TRUE(program.wait_for_count(line, 1, seen)) << key << " should print " << line << "\n"
                                                          << program.output().substr(seen);
    }

    bool caption_shows(const std::string& shown) {
        return X_WINDOW::find(window_caption(shown), 5000).found();
    }

    void drag_knob(int x, int y, int dy) {
        WINDOW_PROGRAM_TEST::drag_knob(x, y, dy);
        window.move(700, 700);
        settle();
    }

    // A left drag in small steps, as a hand would move a plug.
    void plug_drag(int x0, int y0, int x1, int y1) {
        window.move(x0, y0);
        pause_ms(100);
        window.button_down(LEFT);
        pause_ms(150);
        for (int i = 1; i <= 10; ++i) {
            window.move(x0 + (x1 - x0) * i / 10, y0 + (y1 - y0) * i / 10);
            pause_ms(40);
        }
        window.button_up(LEFT);
    }

    IMAGE shot() {
        pause_ms(300);
        return window.screenshot();
    }

};

} // namespace

TEST_F(ProgramUndo, KnobButtonAndRemoteChangesUndoAndRedo) {
    ASSERT_NO_FATAL_FAILURE(open("KVX/KNOBS.KVX"));
    const IMAGE before = shot();

    // A whole drag is one step: 600 to 1250 Hz and back at once, knob and label included.
    drag_knob(210 + 71, 50 + 35, 50);
    EXPECT_TRUE(caption_shows("*KVX/KNOBS.KVX"));
    const IMAGE turned = shot();
    EXPECT_GT(filter_changed(before, turned), 20);
    expect_line("ctrl+z", "Undo: PCF_1 HICUT 1250 -> 600\n");
    EXPECT_TRUE(caption_shows("KVX/KNOBS.KVX")) << "undone back to the file: no marker";
    EXPECT_LT(filter_changed(before, shot()), 5) << "the panel shows 600 again";
    expect_line("ctrl+shift+z", "Redo: PCF_1 HICUT 600 -> 1250\n");
    EXPECT_GT(filter_changed(before, shot()), 20) << "the panel shows 1250 again";

    // A button switch; "z" and "y" with CTRL play nothing and step once each.
    window.click(LEFT, 210 + 128, 50 + 78);
    window.move(700, 700);
    settle();
    expect_line("ctrl+z", "Undo: PCF_1 BYPASS 1 -> 0\n");
    expect_line("ctrl+y", "Redo: PCF_1 BYPASS 0 -> 1\n");

    // The remote controller's changes within a second are one step.
    wire::CLIENT client;
    ASSERT_TRUE(wire::open_dialogue(client, PATIENCE_MS, port)) << program.output();
    ASSERT_TRUE(wire::exchange(client, "PORTA=1\r\n", 0));
    EXPECT_TRUE(program.wait_for_count("F1 [", 3)) << program.output();
    ASSERT_TRUE(wire::exchange(client, "PORTA=0\r\n", 0));
    ASSERT_TRUE(wire::exchange(client, "FINISH\r\n", 1));
    settle();
    // A step per second of it: a slow frame rate may have spread the three over two.
    const size_t remote_seen = program.output().size();
    for (int i = 0; i < 3 && program.output().find(" -> 100\n", remote_seen) == std::string::npos; ++i) {
        const size_t seen = program.output().size();
        window.key("ctrl+z");
        EXPECT_TRUE(program.wait_for_count("Undo: ", 1, seen)) << program.output();
    }
    const std::string undone = program.output().substr(remote_seen);
    EXPECT_NE(undone.find("Undo: VCO_1 FREQ "), std::string::npos) << undone;
    EXPECT_NE(undone.find(" -> 100\n"), std::string::npos) << undone;

    // A new change after an undo drops the redo steps.
    drag_knob(210 + 71, 50 + 35, 10);
    expect_line("ctrl+y", "Nothing to redo\n");

    // A patch loaded from the chooser (its first row) starts a fresh history.
    const size_t seen = program.output().size();
    window.key("F3");
    pause_ms(300);
    window.click(LEFT, 250, 53);
    ASSERT_TRUE(program.wait_for_count("Init Gui From Current()", 1, seen)) << program.output().substr(seen);
    expect_line("ctrl+z", "Nothing to undo\n");
}

TEST_F(ProgramUndo, CablePanelMoveAndFoldUndoAndRedo) {
    ASSERT_NO_FATAL_FAILURE(open("KVX/CABLES.KVX"));
    // A right drag moves VCO_2's panel, a middle click folds the mixer's: each one step.
    const IMAGE home = shot();
    window.drag(RIGHT, 150, 40, 600, 300, 10);
    window.move(700, 700);
    settle();
    expect_line("ctrl+z", "Undo: VCO_2 panel moved 600,300 -> ");
    EXPECT_LT(pixels_differing(home, shot(), 0, 25, 200, 130, 12), 5) << "the panel is back";
    window.click(MIDDLE, 240, 60);
    window.move(700, 700);
    settle();
    expect_line("ctrl+z", "unfolded\n");
    expect_line("ctrl+y", "folded\n");
    expect_line("ctrl+z", "unfolded\n");

    // In the cable view, the mixer's cable moved from VCO_1's output to VCO_2's and back.
    const size_t seen = program.output().size();
    window.key("F6");
    ASSERT_TRUE(program.wait_for_count("End Link Creation", 1, seen));
    pause_ms(300);
    plug_drag(171, 259, 171, 117);
    ASSERT_TRUE(program.wait_for_count("Branchement INPUT vers OUTPUT", 1, seen)) << program.output();
    settle();
    expect_line("ctrl+z", "Undo: MIXER_4 CHANNEL_00 VCO_2 -> VCO_1\n");
    expect_line("ctrl+shift+z", "Redo: MIXER_4 CHANNEL_00 VCO_1 -> VCO_2\n");

    // With right CTRL held the mixer's plug taken to its second input keeps the first: a new
    // channel, which undo takes back whole, so the saved patch has one channel again.
    window.key_down("Control_R");
    plug_drag(232, 90, 268, 90);
    window.key_up("Control_R");
    settle();
    expect_line("ctrl+z", "Undo: MIXER_4 CHANNEL_01 VCO_2 -> -\n");
    const std::string saved = save_with_f4("AFTER.KVX", "AFTER.KVX");
    EXPECT_EQ(count_of(saved, "ADD_CHANELL"), 1) << saved;
    EXPECT_EQ(saved.find("SLOT"), std::string::npos) << saved;
}

TEST_F(ProgramUndo, RecoveryCopyOutlivesAKillAndPlaysTheEditedSound) {
    ASSERT_NO_FATAL_FAILURE(open("KVX/KNOBS.KVX", {"TESSARO_RECOVERY_SECONDS=1"}));
    // The oscillator's frequency knob (at (14, 39) on its panel), 30 pixels down: 100 to 130 Hz.
    drag_knob(22, 25 + 47, -30);
    const std::string copy = stage.file("KVX/recovery/KNOBS.KVX");
    unlink(copy.c_str());
    // Written after the whole drag, within about a second.
    whole_patch(copy);
    kill(program.pid, SIGKILL);
    program.wait();

    std::string edited = KNOB_PATCH;
    edited.replace(edited.find("FREQ=100"), 8, "FREQ=130");
    stage.write("KVX/EDITED.KVX", edited);
    const PROGRAM_RUN check = run_program({"--check", copy}, "", {}, 0, PATIENCE_MS, stage.path());
    EXPECT_EQ(check.status, 0) << check.output;
    const PROGRAM_RUN restored =
        run_program({"--recover", "--render", "restored.wav", "--seconds", "1", "KVX/KNOBS.KVX"}, "", {}, 0,
                    PATIENCE_MS, stage.path());
    const PROGRAM_RUN wanted = run_program({"--render", "wanted.wav", "--seconds", "1", "KVX/EDITED.KVX"}, "", {},
                                           0, PATIENCE_MS, stage.path());
    const PROGRAM_RUN original = run_program({"--render", "original.wav", "--seconds", "1", "KVX/KNOBS.KVX"}, "",
                                             {}, 0, PATIENCE_MS, stage.path());
    ASSERT_EQ(restored.status, 0) << restored.output;
    EXPECT_NE(original.output.find("A recovery copy of [KVX/KNOBS.KVX] newer than it was kept: "),
              std::string::npos)
        << original.output;
    const std::string a = stage.read("restored.wav"), b = stage.read("wanted.wav"), c = stage.read("original.wav");
    EXPECT_GT(a.size(), 44u);
    EXPECT_TRUE(a == b) << "the copy plays the edited patch";
    EXPECT_FALSE(a == c);
}
