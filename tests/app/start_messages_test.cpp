// What the program says when it cannot start as asked: each message names the thing and the way on.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "tests/support/display.h"
#include "tests/support/program.h"
#include "tests/support/scratch.h"

namespace {

const char* const PATCH = "BEGIN_OBJECTS_DECLARE\nVCO_1;TYPE=3;FREQ=110;AMOUNT=0.5;\nMIXER_4;;\n"
                          "END_OBJECTS_DECLARE\nBEGIN_LINKS_DECLARE\nMIXER_4;ADD_CHANELL=VCO_1;\n"
                          "END_LINKS_DECLARE\n";

// Listens on port for as long as it lives; -1 when the port could not be had.
int hold_port(int port) {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    const int on = 1;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 && listen(s, 1) == 0) return s;
    close(s);
    return -1;
}

} // namespace

TEST(ProgramStartMessages, EachFailureNamesWhatAndHowOn) {
    SCRATCH_DIR dir("start_messages");
    const std::string patch = dir.write("P.KVX", PATCH);
    // A copy of the program with no data beside it, started from a folder without data.
    const std::string lone = dir.file("bin/tessaro");
    ASSERT_EQ(system(("mkdir -p " + shell_quoted(dir.file("bin")) + " && cp " + shell_quoted(tessaro_binary()) +
                      " " + shell_quoted(lone))
                         .c_str()),
              0);
    struct ROW {
        const char* what;
        std::vector<std::string> args;
        std::vector<std::string> env;
        bool hold_port;
        int status;
        std::vector<std::string> said;
    };
    const ROW rows[] = {
        {"missing patch", {"--headless", dir.file("GONE.KVX")}, {}, false, 255,
         {"Must Specify a true filename\n", "Cannot open [" + dir.file("GONE.KVX") + "] : No such file or directory"}},
        {"busy port", {"--headless", patch}, {}, true, 2,
         {"port 9999 cannot be opened (Address already in use)", "--remote ADDR:PORT", "--remote off"}},
        {"no sound device", {"--headless", "--audio", "sdl", patch}, {"SDL_AUDIODRIVER=no-such-driver"}, false, 1,
         {"No sound device answers through SDL here", "4 - NoSound (--audio none)", "(--audio record)"}},
        {"no JACK server", {"--audio", "jack", patch}, {"JACK_DEFAULT_SERVER=tessaro-test-no-server"}, false, 1,
         {"no JACK server answers", "--audio sdl", "--audio none", "--audio record"}},
        {"driver beyond the list", {"--headless", "--audio", "none", "--driver", "5", patch}, {}, false, 2,
         {"--driver 5: the NoSound output has drivers 1 to 2"}},
        {"no display", {patch}, {"DISPLAY=", "SDL_VIDEODRIVER="}, false, 1,
         {"tessaro needs an X display to open its window (DISPLAY is not set)"}},
        {"no recovery copy", {"--recover", "--headless", patch}, {}, false, 1,
         {"--recover: no recovery copy of [" + patch + "] at "}},
    };
    for (const ROW& r : rows) {
        SCOPED_TRACE(r.what);
        ASSERT_TRUE(wait_for_free_port(9999));
        const int holder = r.hold_port ? hold_port(9999) : -1;
        const PROGRAM_RUN run = run_program(r.args, "41", r.env);
        if (holder >= 0) close(holder);
        EXPECT_EQ(run.status, r.status) << run.output;
        for (const std::string& s : r.said) EXPECT_NE(run.output.find(s), std::string::npos) << run.output;
        EXPECT_EQ(run.output.find("Output Type"), std::string::npos) << "asked before saying it";
    }

    // The window without its art: one line naming the folders tried, before any menu.
    const std::string out = shell_output("cd " + shell_quoted(dir.path()) + " && DISPLAY=:0 " + shell_quoted(lone) +
                                         " " + shell_quoted(patch) + " </dev/null 2>&1; echo \"status=$?\"");
    if (out.find("Loading [") != std::string::npos && access("/usr/local/share/tessaro", F_OK) == 0)
        GTEST_SKIP() << "an installed tessaro's data answers";
    EXPECT_NE(out.find("tessaro: no data folder found: grfx/opengl.zim is in none of the current folder, " +
                              dir.path() + "/share/tessaro"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("status=1"), std::string::npos) << out;
    EXPECT_EQ(out.find("Output Type"), std::string::npos);
}
