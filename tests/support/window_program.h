// The fixture of the tests of the real program's window: a stage folder, the program started
// there with a remote port of its own, its window found, and the program closed at the end.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/program.h"
#include "tests/support/scratch.h"
#include "tests/support/xdo.h"

// The caption of the window playing a patch named so on the command line.
std::string window_caption(const std::string& patch);
// Pixels of the save prompt's ink in the strip under the key dashboard, where its field is drawn.
int prompt_ink(const IMAGE& shot);

class WINDOW_PROGRAM_TEST : public testing::Test {
  protected:
    explicit WINDOW_PROGRAM_TEST(const std::string& stage_tag) : stage(stage_tag) {}

    // Skips the test without an X display, xdotool or ImageMagick.
    void SetUp() override;
    // Closes the program if it runs and expects no sanitizer report in what it printed.
    void TearDown() override { close_program(); }

    // Makes the stage look like the repository at root: its artwork and fonts linked, its layouts
    // linked too or, with own_layouts, in a folder of the stage's own (so that layouts the program
    // writes stay there). False when a file cannot be staged.
    bool stage_data(const std::string& root, bool own_layouts);
    // Starts `tessaro --remote 127.0.0.1:PORT PATCH` in the stage on SDL's silent audio driver,
    // answers the sound menus with keys and waits for its window. With verbose the window is
    // looked for once the program has loaded its fonts: a program of another test may show one
    // of the same caption until it has ended.
    void start_window(const std::string& patch, bool verbose, const std::string& menus = "41",
                      std::vector<std::string> env = {});
    // Waits for the window captioned with the patch, or for the program to end.
    void find_window(const std::string& patch);
    // ESC in the window, the console closed; the program may be started again.
    void close_program();
    // Presses at (x, y), moves the pointer dy pixels up (negative: down) in steps of at most 10,
    // waiting each time for the program to warp it back, and releases. False when the pointer
    // once stayed where a step left it.
    bool drag_knob(int x, int y, int dy);
    // F4 and the name typed at the console's prompt; the text the save wrote at path in the
    // stage, once whole.
    std::string save_with_f4(const std::string& name, const std::string& path);

    SCRATCH_DIR stage;
    const int port = free_tcp_port();
    PROGRAM program;
    X_WINDOW window;
};
