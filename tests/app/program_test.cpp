// The real program started with its console on a pipe: the start-up menus, their keys and exit
// statuses, the remote-control port, the sound outputs and the recorder.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fstream>
#include <iterator>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/program.h"
#include "tests/support/scratch.h"

namespace {

const char* const SAW_PATCH = "BEGIN_OBJECTS_DECLARE\n"
                              "VCO_1;TYPE=3;FREQ=441;AMOUNT=0.5;PHASE=0;\n"
                              "MIXER_4;;\n"
                              "END_OBJECTS_DECLARE\n"
                              "BEGIN_LINKS_DECLARE\n"
                              "MIXER_4;ADD_CHANELL=VCO_1;\n"
                              "END_LINKS_DECLARE\n";

const char* const NO_MASTER_PATCH = "BEGIN_OBJECTS_DECLARE\n"
                                    "VCO_1;TYPE=3;\n"
                                    "MIXER_1;;\n"
                                    "END_OBJECTS_DECLARE\n";

class Program : public testing::Test {
  protected:
    void SetUp() override { write_text(patch, SAW_PATCH); }
    static int count(const std::string& text, const std::string& what) { return count_of(text, what); }
    SCRATCH_DIR scratch{testing::UnitTest::GetInstance()->current_test_info()->name()};
    const std::string dir = scratch.path();
    const std::string patch = dir + "/SAW.KVX";
};

const std::string RULER(57, '-');

} // namespace

TEST_F(Program, MissingArgumentWaitsForAKeyAndFails) {
    PROGRAM_RUN r = run_program({}, "x");
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.output, "Supply a synthethiseur file .KVX (KVXOrgue.KVX for eg)");
}

TEST_F(Program, PatchWithoutMasterMixerIsRefusedBeforeTheMenus) {
    write_text(dir + "/NOMASTER.KVX", NO_MASTER_PATCH);
    PROGRAM_RUN r = run_program({dir + "/NOMASTER.KVX"}, "41");
    EXPECT_EQ(r.status, 255);
    EXPECT_NE(r.output.find("Loading [" + dir + "/NOMASTER.KVX]\n"), std::string::npos);
    EXPECT_NE(r.output.find("No mixer named MIXER_4 in [" + dir + "/NOMASTER.KVX]"), std::string::npos);
    EXPECT_EQ(r.output.find("Output Type"), std::string::npos);

    // A file that does not exist loads nothing, so it has no master either.
    r = run_program({dir + "/MISSING.KVX"}, "41");
    EXPECT_EQ(r.status, 255);
    EXPECT_NE(r.output.find("Must Specify a true filename\n"), std::string::npos);
    EXPECT_EQ(r.output.find("Output Type"), std::string::npos);
}

TEST_F(Program, OutputMenuAndEscAtEitherPrompt) {
    PROGRAM_RUN r = run_program({patch}, "\x1b");
    EXPECT_EQ(r.status, 0);
    const std::string menu = RULER + "\nOutput Type\n" + RULER +
                             "\n1 - Direct Sound\n2 - Windows Multimedia Waveout\n3 - ASIO\n4 - NoSound\n" +
                             RULER + "\nPress a corresponding number or ESC to quit\n";
    EXPECT_NE(r.output.find(menu), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find("Driver list"), std::string::npos);

    r = run_program({patch}, "4\x1b");
    EXPECT_EQ(r.status, 0);
    const std::string drivers = RULER + "\nNoSound Driver list\n" + RULER + "\n1 - ";
    EXPECT_NE(r.output.find(drivers), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("\n2 - WAVE file recorder ("), std::string::npos);
    EXPECT_EQ(r.output.find("Init SDL_Net"), std::string::npos);
}

TEST_F(Program, EndOfInputCountsAsEsc) {
    PROGRAM_RUN r = run_program({patch}, "");
    EXPECT_EQ(r.status, 0);
    EXPECT_FALSE(r.timed_out);
    r = run_program({patch}, "4");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.output.find("NoSound Driver list"), std::string::npos);
    EXPECT_EQ(r.output.find("Init SDL_Net"), std::string::npos);
}

TEST_F(Program, KeysOutsideTheMenusAreIgnored) {
    // "9" and "x" at the output prompt; "0", "3" (beyond two drivers) and "\n" at the driver prompt.
    PROGRAM_RUN r = run_program({patch}, "9x4"
                                         "03\n\x1b");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(count(r.output, "Output Type"), 1);
    EXPECT_EQ(count(r.output, "Driver list"), 1);
    EXPECT_EQ(r.output.find("Init SDL_Net"), std::string::npos);
}

TEST_F(Program, NoSoundRunPlaysUntilEsc) {
    PROGRAM_RUN r = run_program({"--headless", patch}, "41\x1b");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("\tInit SDL_Net for the remote control on port 9999\n"), std::string::npos);
    EXPECT_EQ(r.output.find("Error!"), std::string::npos);

    r = run_program({"--headless", patch}, "41", {}, 300);
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("Playing [" + patch + "]"), std::string::npos);
}

TEST_F(Program, TakenRemotePortEndsWithStatusTwo) {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(s, 0);
    // Reuse lets the bind through old connections still in TIME_WAIT; the listening socket
    // below keeps the port taken all the same.
    const int on = 1;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_port = htons(9999);
    a.sin_addr.s_addr = htonl(INADDR_ANY);
    ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(listen(s, 1), 0);
    PROGRAM_RUN r = run_program({patch}, "41\x1b");
    close(s);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.output.find("SDLNet_TCP_Open: "), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find("Output Type"), std::string::npos); // found before the menus ask
}

TEST_F(Program, SoundDeviceOutputs) {
    // SDL's dummy driver stands in for a sound card.
    PROGRAM_RUN r = run_program({"--headless", patch}, "11\x1b", {"SDL_AUDIODRIVER=dummy"});
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("Direct Sound Driver list\n" + RULER + "\n1 - SDL audio (dummy)\n"),
              std::string::npos)
        << r.output;

    // Without a usable device the output fails to start, and so does the stream.
    r = run_program({"--headless", patch}, "31\x1b", {"SDL_AUDIODRIVER=no-such-driver"});
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_NE(r.output.find("ASIO Driver list"), std::string::npos);
    EXPECT_NE(r.output.find("Error!\nError initializing output device.\n"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("Error!\nThis command failed because FSOUND_Init was not called\n"),
              std::string::npos);
}

TEST_F(Program, RecorderDriverWritesAPlayableWave) {
    const std::string take = dir + "/take.wav";
    PROGRAM_RUN r = run_program({"--headless", patch}, "42", {"TESSARO_RECORD=" + take}, 800);
    EXPECT_EQ(r.status, 0) << r.output;
    std::ifstream in(take, std::ios::binary);
    const std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), {});
    ASSERT_GT(b.size(), 44u);
    auto u32 = [&](size_t at) {
        return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
    };
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(u32(4), b.size() - 8);
    EXPECT_EQ(u32(24), 44100u);
    EXPECT_EQ(u32(40), b.size() - 44);
    // Whole blocks of 3072 frames, about 0.8 s of them, and the saw is not silent.
    EXPECT_EQ((b.size() - 44) % 12288, 0u);
    EXPECT_GE(b.size() - 44, 12288u * 4);
    bool sound = false;
    for (size_t i = 44; i < b.size(); ++i)
        sound = sound || b[i] != 0;
    EXPECT_TRUE(sound);
}

TEST_F(Program, HelpAndVersion) {
    PROGRAM_RUN r = run_program({"--help"}, "");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.output.find("--render OUT.wav --seconds S PATCH.KVX"), std::string::npos);
    r = run_program({"--version"}, "");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output.rfind("tessaro ", 0), 0u);
}

TEST_F(Program, HeadlessSaveKeyWritesAPatchThatPlaysTheSame) {
    ASSERT_EQ(0, mkdir((dir + "/KVX").c_str(), 0755));
    PROGRAM_RUN r = run_program({"--headless", patch}, "41sSONG.KVX\n", {}, 300, 20000, dir);
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("Save - Entrez le nom du fichier :"), std::string::npos) << r.output;

    auto slurp = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), {});
    };
    const std::string saved = dir + "/KVX/SONG.KVX";
    EXPECT_NE(slurp(saved).find("MIXER_4;ADD_CHANELL=VCO_1;"), std::string::npos) << slurp(saved);

    // The saved file renders to the very same samples as the patch it was saved from.
    ASSERT_EQ(run_program({"--render", dir + "/a.wav", "--seconds", "0.2", patch}, "").status, 0);
    ASSERT_EQ(run_program({"--render", dir + "/b.wav", "--seconds", "0.2", saved}, "").status, 0);
    const std::string a = slurp(dir + "/a.wav");
    EXPECT_GT(a.size(), 44u);
    EXPECT_EQ(a, slurp(dir + "/b.wav"));
}

TEST_F(Program, BadRemoteSettingIsRefusedBeforeAnythingStarts) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--remote", "127.0.0.1", patch},
                                                 {"--remote", "1.2.3:9999", patch},
                                                 {"--remote", "127.0.0.1:70000", patch}}) {
        PROGRAM_RUN r = run_program(args, "41");
        EXPECT_EQ(r.status, 255) << args[1];
        EXPECT_NE(r.output.find("--remote needs ADDR:PORT"), std::string::npos) << r.output;
        EXPECT_EQ(r.output.find("Loading ["), std::string::npos);
    }
    // Without its value the option is a command-line error, told with the usage.
    PROGRAM_RUN r = run_program({patch, "--remote"}, "41");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.output.find("--remote needs a value"), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find("Loading ["), std::string::npos);
}
