// The program installed into a scratch prefix and started from another folder, and its package.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/data_dir.h"
#include "tests/support/display.h"
#include "tests/support/scratch.h"
#include "tests/support/wave.h"
#include "tests/support/window_program.h"
#include "tests/support/xdo.h"

namespace {

const std::string BUILD = TESSARO_BUILD_DIR;

// What an install holds, under its prefix.
const char* const SHIPPED[] = {"bin/tessaro", "share/tessaro/grfx/opengl.zim", "share/tessaro/RC/VCO.RC",
                               "share/tessaro/Fonts/04B_03B_.TTF", "share/tessaro/KVX/DRUMS.KVX",
                               "share/tessaro/KVX/samples/kick.wav", "share/man/man1/tessaro.1",
                               "share/applications/tessaro.desktop"};

// Runs a shell command in a folder; its output, with "status=N" on the last line.
std::string run_in(const std::string& dir, const std::string& command) {
    return shell_output("cd " + shell_quoted(dir) + " && " + command + " 2>&1; echo \"status=$?\"");
}

} // namespace

TEST(Install, InstalledProgramPlaysRendersAndSavesFromAnotherFolder) {
    SCRATCH_DIR scratch("install");
    const std::string prefix = scratch.file("prefix"), elsewhere = scratch.file("elsewhere");
    ASSERT_TRUE(make_folders(elsewhere));
    std::string out = run_in(BUILD, "cmake --install . --prefix " + shell_quoted(prefix));
    ASSERT_NE(out.find("status=0"), std::string::npos) << out;
    const std::string program = shell_quoted(prefix + "/bin/tessaro");
    const std::string env = "XDG_DATA_HOME=" + shell_quoted(scratch.file("xdg")) + " SDL_AUDIODRIVER=dummy ";
    for (const char* f : SHIPPED) EXPECT_EQ(access((prefix + "/" + f).c_str(), R_OK), 0) << f;

    // An example named alone is found among the installed ones, with its samples beside it; the
    // render is an ordinary file.
    out = run_in(elsewhere, env + program + " --render drums.wav --seconds 1 DRUMS.KVX");
    EXPECT_NE(out.find("Loading [" + prefix + "/share/tessaro/KVX/DRUMS.KVX]"), std::string::npos) << out;
    EXPECT_NE(out.find("status=0"), std::string::npos) << out;
    struct stat st;
    ASSERT_EQ(stat((elsewhere + "/drums.wav").c_str(), &st), 0);
    EXPECT_GT(peak(left_channel(elsewhere + "/drums.wav")), 0.05) << "the drums are silent";
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);

    // "s" saves into the user's own patch folder, made on the way.
    out = run_in(elsewhere, "printf 'sMINE.KVX\\n' | " + env + program +
                                " --headless --audio none --remote off BASSLINE.KVX");
    EXPECT_NE(out.find("status=0"), std::string::npos) << out;
    EXPECT_EQ(access(scratch.file("xdg/tessaro/KVX/MINE.KVX").c_str(), R_OK), 0) << out;

    // The window opens with its art and quits on ESC.
    if (!x_display_ready()) GTEST_SKIP() << "no X display";
    if (!have_x_tools()) GTEST_SKIP() << "xdotool or ImageMagick missing";
    const std::string log = scratch.file("window.log");
    // The window plays on whatever the console does, so it needs none.
    const std::string start = "cd " + shell_quoted(elsewhere) + " && exec env " + env + program +
                              " --audio none --remote off BASSLINE.KVX </dev/null >" + shell_quoted(log) + " 2>&1";
    const pid_t pid = fork();
    if (pid == 0) {
        execl("/bin/sh", "sh", "-c", start.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    const X_WINDOW window =
        X_WINDOW::find(window_caption(prefix + "/share/tessaro/KVX/BASSLINE.KVX"));
    EXPECT_TRUE(window.found()) << read_text(log);
    if (window.found()) window.key("Escape");
    int status = -1;
    for (int i = 0; i < 100 && waitpid(pid, &status, WNOHANG) == 0; ++i) usleep(100000);
    if (kill(pid, SIGKILL) == 0) waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "ESC did not end it";
    const std::string said = read_text(log);
    EXPECT_EQ(said.find("Impossible d'ouvrir"), std::string::npos) << said;
    EXPECT_EQ(said.find("Failing to Load RC"), std::string::npos) << said;
}

TEST(Install, DebianPackageHoldsTheProgramItsDataAndItsLibraries) {
    if (!have_command("dpkg-deb") || !have_command("dpkg-shlibdeps")) GTEST_SKIP() << "dpkg-dev missing";
    SCRATCH_DIR scratch("deb");
    std::string out = run_in(BUILD, "cpack --config CPackConfig.cmake -G DEB -B " + shell_quoted(scratch.path()));
    ASSERT_NE(out.find("status=0"), std::string::npos) << out;
    const std::string deb = shell_output("ls " + shell_quoted(scratch.path()) + "/*.deb | head -1");
    ASSERT_FALSE(deb.empty()) << out;
    const std::string debq = shell_quoted(deb.substr(0, deb.find('\n')));
    const std::string files = shell_output("dpkg-deb -c " + debq);
    for (const char* f : SHIPPED) EXPECT_NE(files.find(std::string("./usr/") + f), std::string::npos) << f << files;
    const std::string info = shell_output("dpkg-deb -I " + debq);
    for (const char* lib : {"Depends:", "libsdl1.2debian", "libsdl-image1.2", "libsdl-net1.2", "libsndfile1",
                            "libsamplerate0", "libfreetype6"})
        EXPECT_NE(info.find(lib), std::string::npos) << lib << "\n" << info;
}
