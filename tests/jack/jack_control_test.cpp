// The real program's controllers and programs from a JACK MIDI client: a knob bound with "m"
// moved by a controller and saved, a program change loading a patch, and a flood of events.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "jack_rig.h"
#include "tests/support/display.h"
#include "tests/support/program.h"
#include "tests/support/saved_patch.h"
#include "tests/support/scratch.h"
#include "tests/support/wait.h"
#include "tests/support/wave.h"
#include "tests/support/window_program.h"
#include "tests/support/xdo.h"

namespace {

constexpr uint32_t S = 44100; // frames in a second

// A sine of 441 Hz through a filter into the master; the master's level follows controller 7.
// QUIET.KVX is the same with the oscillator at level 0.
std::string tone_patch(const char* amount) {
    return std::string("BEGIN_OBJECTS_DECLARE\nVCO_1;TYPE=1;FREQ=441;AMOUNT=") + amount +
           ";PHASE=0;\nPCF_1;TYPE=0;HICUT=600;Q=1;GAIN=0;AMOUNT=1;BYPASS=0;\nMIXER_4;midi_cc_level_00=7;\n"
           "END_OBJECTS_DECLARE\nBEGIN_LINKS_DECLARE\nPCF_1;IN=VCO_1;\nMIXER_4;ADD_CHANELL=PCF_1;\n"
           "END_LINKS_DECLARE\n";
}

class JackControl : public testing::Test {
  protected:
    void SetUp() override {
        if (!jackd_installed()) GTEST_SKIP() << "jackd is not installed (package jackd2): JACK tests skipped";
        ASSERT_TRUE(server.start()) << "jackd -d dummy did not come up";
        ASSERT_TRUE(keys.open(server.name()));
        ASSERT_TRUE(link_folders(stage, TESSARO_SOURCE_DIR, {"grfx", "Fonts", "RC"}));
        ASSERT_EQ(mkdir(stage.file("KVX").c_str(), 0755), 0);
        stage.write("KVX/TONE.KVX", tone_patch("1"));
        stage.write("KVX/QUIET.KVX", tone_patch("0"));
    }

    // The program in the stage on a patch, headless or with its window, through JACK's ports.
    void start(const std::string& patch, bool headless) {
        std::vector<std::string> args = {"--remote", "off", "--midi-connect", keys.port(), patch};
        if (headless) args.insert(args.begin(), "--headless");
        ASSERT_TRUE(program.start(args, {server.env(), "TESSARO_RECORD=" + record, "SDL_AUDIODRIVER=dummy"},
                                  stage.path()));
        program.type("42");
    }

    // Sends the script and waits until every message went out.
    void send(std::vector<MIDI_KEYS::MESSAGE> script) {
        keys.go(std::move(script));
        EXPECT_TRUE(wait_until([&] { return keys.done(); }));
    }

    // Saves under name with "s" (headless) or F4 (window) and returns the file once written.
    std::string save(const std::string& name, const X_WINDOW* window = nullptr) {
        const size_t from = program.output().size();
        if (window)
            window->key("F4");
        else
            program.type("s");
        EXPECT_TRUE(program.wait_for_count("Entrez le nom du fichier", 1, from)) << program.output();
        program.type(name + "\n");
        return whole_patch(stage.file("KVX/" + name));
    }

    JACK_SERVER server;
    MIDI_KEYS keys;
    SCRATCH_DIR stage{"jack-control"};
    const std::string record = stage.file("played.wav");
    PROGRAM program;
};

} // namespace

// "m" on the filter's cut-off knob arms it; controller 74 binds, turns the knob across its reach
// (0 is 1 Hz, 127 is 20000 Hz) and the binding is saved with it; "m" again frees the knob.
TEST_F(JackControl, MKeyBindsAControllerThatMovesTheKnobAndIsSaved) {
    if (!x_display_ready() || !have_x_tools()) GTEST_SKIP() << "no X display, xdotool or ImageMagick";
    ASSERT_NO_FATAL_FAILURE(start("KVX/TONE.KVX", false));
    X_WINDOW window;
    wait_until([&] {
        window = X_WINDOW::find(window_caption("KVX/TONE.KVX"), 500);
        return window.found() || !program.alive();
    });
    ASSERT_TRUE(window.found()) << program.output();
    // The filter's panel stands at (210, 50), its cut-off knob at (65, 29) on it.
    window.move(210 + 71, 50 + 35);
    const IMAGE before = window.screenshot_when([](const IMAGE& shot) { return shot.at(300, 100) != 0; });
    window.key("m");
    ASSERT_TRUE(program.wait_for_output("PCF_1 HICUT waits for a MIDI controller")) << program.output();
    send({{0, cc(74, 127)}});
    ASSERT_TRUE(program.wait_for_output("PCF_1 HICUT follows MIDI controller 74")) << program.output();
    send({{0, cc(74, 0)}, {S / 10, cc(74, 127)}, {S / 5, cc(74, 64)}});
    ASSERT_TRUE(wait_until([&] { return pixels_differing(before, window.screenshot(), 210, 50, 240, 80) > 50; }))
        << "the knob and its label show the new value";
    std::string saved = save("BOUND.KVX", &window);
    EXPECT_NEAR(saved_value(saved, "PCF_1", "HICUT"), 146, 1) << saved; // 20000^(64/127), in ratio
    EXPECT_NE(saved.find("midi_cc_hicut=74;"), std::string::npos) << saved;
    EXPECT_TRUE(std::regex_search(saved, std::regex("\nMIXER_4;[^\n]*midi_cc_level_00=7;"))) << saved;

    window.key("m");
    ASSERT_TRUE(program.wait_for_output("PCF_1 HICUT no longer follows MIDI controller 74")) << program.output();
    send({{0, cc(74, 127)}, {10, cc(7, 127)}});
    // Controller 7 still moves the master's level: once it has, 74 has been seen and ignored.
    ASSERT_TRUE(wait_until([&] {
        saved = save("FREED.KVX", &window);
        return saved_value(saved, "MIXER_4", "LEVEL_00") == 10;
    })) << saved;
    EXPECT_NEAR(saved_value(saved, "PCF_1", "HICUT"), 146, 1) << saved;
    EXPECT_EQ(saved.find("midi_cc_hicut"), std::string::npos) << saved;
    const std::string out = close_window_program(program, window);
    EXPECT_TRUE(sanitizers_silent(out)) << out;
}

// Program 1 loads the second patch of the chooser's list (QUIET.KVX after TONE.KVX: the name
// that sorts last comes first); a program beyond the list is ignored with one line.
TEST_F(JackControl, ProgramChangeLoadsTheNthPatchOfTheList) {
    ASSERT_NO_FATAL_FAILURE(start("KVX/TONE.KVX", true));
    ASSERT_TRUE(program.wait_for_output("Playing [")) << program.output();
    send({{0, {0xC0, 120}}, {S / 2, {0xC0, 1}}});
    ASSERT_TRUE(program.wait_for_output("MIDI program 1: load [QUIET.KVX]")) << program.output();
    EXPECT_EQ(count_of(program.output(), "MIDI program 120 ignored"), 1) << program.output();
    const size_t loaded = wave_frames_written(record);
    ASSERT_TRUE(wait_until([&] { return wave_frames_written(record) > loaded + S / 2; }));
    EXPECT_EQ(program.finish(), 0) << program.output();
    const std::vector<double> x = left_channel(record);
    ASSERT_GT(x.size(), loaded + S / 2);
    EXPECT_GT(rms(x, S / 10, S / 4), 0.05);                // the tone
    EXPECT_LT(rms(x, x.size() - S / 4, x.size()), 1e-4);   // the quiet patch it was swapped for
}

// Ten thousand events a second for three seconds (the rate is what loads the callback; ten
// seconds of it would only make CI longer): notes, bends, aftertouch and a bound controller.
// The recording keeps pace with the clock, the controller's last value is the one kept, and a
// note after the flood still plays.
TEST_F(JackControl, TenThousandEventsASecondDoNotStallThePlayer) {
    ASSERT_NO_FATAL_FAILURE(start("KVX/TONE.KVX", true));
    ASSERT_TRUE(program.wait_for_output("Playing [")) << program.output();
    std::vector<MIDI_KEYS::MESSAGE> flood;
    for (uint32_t i = 0; i < 30000; ++i) {
        const uint8_t note = static_cast<uint8_t>(48 + i / 5 % 24), step = static_cast<uint8_t>(i % 128);
        const std::vector<uint8_t> kinds[5] = {{0x90, note, 100}, {0x80, note, 0}, {0xE0, step, 64}, {0xD0, 40}, cc(7, step)};
        flood.push_back({static_cast<uint32_t>(i * 4.41), kinds[i % 5]});
    }
    flood.push_back({3 * S + 10, cc(7, 0)});
    const size_t first = wave_frames_written(record);
    const auto began = std::chrono::steady_clock::now();
    send(flood);
    const size_t frames = wave_frames_written(record) - first;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    // The recorder writes what the callback rendered; a stalled callback would leave it empty.
    // How closely it keeps pace is the load meter's business (and the benchmark's): a loaded
    // machine slows the server's own clock.
    EXPECT_GT(frames, S) << frames << " frames in " << seconds << " s";
    std::string saved;
    ASSERT_TRUE(wait_until([&] {
        saved = save("FLOODED.KVX");
        return saved_value(saved, "MIXER_4", "LEVEL_00") == -10;
    })) << saved;
    EXPECT_EQ(program.finish(), 0) << program.output();
    // The load meter's line, told at the end without a window.
    EXPECT_TRUE(std::regex_search(program.output(), std::regex("Load: DSP [0-9]+% PEAK [0-9]+% LATE [0-9]+")))
        << program.output();
}
