// The fixture of the tests of the real program's window.
#include "tests/support/window_program.h"

#include <algorithm>

#include "tests/support/display.h"
#include "tests/support/saved_patch.h"
#include "tests/support/wait.h"

std::string window_caption(const std::string& patch) {
    return "Zel ENGINE & Fennick - Synthesizer [" + patch + "]";
}

int prompt_ink(const IMAGE& shot) {
    int n = 0;
    for (int y = 640; y < 700; ++y)
        for (int x = 420; x < 1000; ++x)
            n += colour_distance(shot.at(x, y), 0xFFD860) < 60;
    return n;
}

void WINDOW_PROGRAM_TEST::SetUp() {
    if (!x_display_ready()) GTEST_SKIP() << "no X display";
    if (!have_x_tools()) GTEST_SKIP() << "xdotool or ImageMagick missing";
}

bool WINDOW_PROGRAM_TEST::stage_data(const std::string& root, bool own_layouts) {
    if (own_layouts)
        return link_folders(stage, root, {"grfx", "Fonts"}) && stage_folder(stage, root, "RC", false);
    return link_folders(stage, root, {"grfx", "Fonts", "RC"});
}

void WINDOW_PROGRAM_TEST::start_window(const std::string& patch, bool verbose, const std::string& menus,
                                       std::vector<std::string> env) {
    env.push_back("SDL_AUDIODRIVER=dummy");
    ASSERT_GT(port, 0);
    std::vector<std::string> args = {"--remote", "127.0.0.1:" + std::to_string(port), patch};
    if (verbose) args.insert(args.begin(), "--verbose");
    ASSERT_TRUE(program.start(args, env, stage.path()));
    ASSERT_TRUE(program.type(menus));
    if (verbose) {
        ASSERT_TRUE(program.wait_for_output("FreeType - Loading all Fonts")) << program.output();
    }
    find_window(patch);
    ASSERT_TRUE(window.found()) << "no window captioned " << window_caption(patch) << "\n"
                                << program.output();
}

void WINDOW_PROGRAM_TEST::find_window(const std::string& patch) {
    window = X_WINDOW();
    wait_until([&] {
        window = X_WINDOW::find(window_caption(patch), 500);
        return window.found() || !program.alive();
    });
}

void WINDOW_PROGRAM_TEST::close_program() {
    const std::string out = close_window_program(program, window);
    EXPECT_TRUE(sanitizers_silent(out)) << out;
}

bool WINDOW_PROGRAM_TEST::drag_knob(int x, int y, int dy) {
    bool returned = true;
    window.move(x, y);
    pause_ms(100);
    window.button_down(LEFT);
    pause_ms(150);
    for (int left = dy; left != 0;) {
        const int step = left > 0 ? std::min(left, 10) : std::max(left, -10);
        // No waiting for the move itself: the program may have warped the pointer back first.
        window.move(x, y - step, false);
        returned = window.pointer_returns_to(x, y) && returned;
        left -= step;
    }
    window.button_up(LEFT);
    return returned;
}

std::string WINDOW_PROGRAM_TEST::save_with_f4(const std::string& name, const std::string& path) {
    window.key("F4");
    EXPECT_TRUE(program.wait_for_output("Save - Entrez le nom du fichier :")) << program.output();
    program.type(name + "\n");
    return whole_patch(stage.file(path));
}
