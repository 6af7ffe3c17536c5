// The console of a playing window: the loaders' and the window's progress lines print only with
// --verbose, the loads always.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/display.h"
#include "tests/support/program.h"
#include "tests/support/scratch.h"
#include "tests/support/window_program.h"
#include "tests/support/xdo.h"

namespace {

// Plays the shipped drum patch in a stage of its own until its window shows, then ends it.
std::string console_of(std::vector<std::string> args) {
    const SCRATCH_DIR stage("quiet");
    EXPECT_TRUE(link_folders(stage, TESSARO_SOURCE_DIR, {"grfx", "Fonts", "RC"}));
    EXPECT_TRUE(stage_folder(stage, TESSARO_SOURCE_DIR, "KVX", true));
    PROGRAM program;
    const int port = free_tcp_port();
    EXPECT_GT(port, 0);
    args.insert(args.end(), {"--remote", "127.0.0.1:" + std::to_string(port), "KVX/DRUMS.KVX"});
    EXPECT_TRUE(program.start(args, {"SDL_AUDIODRIVER=dummy"}, stage.path()) && program.type("41"));
    const X_WINDOW window = X_WINDOW::find(window_caption("KVX/DRUMS.KVX"), 30000);
    EXPECT_TRUE(window.found()) << program.output();
    return close_window_program(program, window);
}

TEST(ProgramQuietConsole, ProgressLinesOnlyWithVerbose) {
    if (!x_display_ready() || !have_x_tools()) GTEST_SKIP() << "no X display, xdotool or ImageMagick";
    const std::string quiet = console_of({}), verbose = console_of({"--verbose"});
    for (const std::string* out : {&quiet, &verbose})
        EXPECT_EQ(6, count_of(*out, "Loaded WAVE file [KVX/samples/")) << "loads always print\n" << *out;
    for (const char* line :
         {"O1\n", "O4\n", "Nbr elem = ", "Multipart : ", "Opening File [", "A3\n", "KK\n", "KK-2\n", "Vcos\n",
          "Init Gui From Current()\n", "FreeType - Loading all Fonts\n"}) {
        EXPECT_EQ(std::string::npos, quiet.find(line)) << line << quiet;
        EXPECT_NE(std::string::npos, verbose.find(line)) << line;
    }
}

} // namespace
