// The real program played from a JACK MIDI keyboard, its sound recorded and measured.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "jack_rig.h"
#include "tests/support/program.h"
#include "tests/support/scratch.h"
#include "tests/support/wait.h"
#include "tests/support/wave.h"

namespace {

constexpr double RATE = 44100.0;
constexpr uint32_t S = 44100; // frames in a second

// Three voices, each a sine that follows its keyboard's note (FREQ 44 tracks the input exactly)
// behind an envelope with 1 ms attack and 2 ms release; nothing sounds without a key.
const char* const THREE_VOICES = R"(BEGIN_OBJECTS_DECLARE
KEY_1;;
KEY_2;;
KEY_3;;
VCO_1;TYPE=1;FREQ=44;AMOUNT=1;
VCO_2;TYPE=1;FREQ=44;AMOUNT=1;
VCO_3;TYPE=1;FREQ=44;AMOUNT=1;
VCA_1;ATTACK=1;DECAY=1;SUSTAIN=1;RELEASE=2;
VCA_2;ATTACK=1;DECAY=1;SUSTAIN=1;RELEASE=2;
VCA_3;ATTACK=1;DECAY=1;SUSTAIN=1;RELEASE=2;
MIXER_4;;
END_OBJECTS_DECLARE
BEGIN_LINKS_DECLARE
VCO_1;IN=KEY_1;SYNC=KEY_1;
VCO_2;IN=KEY_2;SYNC=KEY_2;
VCO_3;IN=KEY_3;SYNC=KEY_3;
VCA_1;IN=VCO_1;GATE=KEY_1;
VCA_2;IN=VCO_2;GATE=KEY_2;
VCA_3;IN=VCO_3;GATE=KEY_3;
MIXER_4;ADD_CHANELL=VCA_1;ADD_CHANELL=VCA_2;ADD_CHANELL=VCA_3;
END_LINKS_DECLARE
)";

double note_hz(int midi) {
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

// Spans of sound between stretches of at least 2000 silent frames: [first, last] frames.
std::vector<std::pair<size_t, size_t>> sounding_spans(const std::vector<double>& x) {
    std::vector<std::pair<size_t, size_t>> spans;
    size_t last_loud = 0;
    bool in = false;
    for (size_t i = 0; i < x.size(); ++i) {
        if (std::fabs(x[i]) < 1e-4) continue;
        if (!in || i - last_loud > 2000) {
            spans.push_back({i, i});
            in = true;
        }
        last_loud = i;
        spans.back().second = i;
    }
    return spans;
}

// Frequency from the upward zero crossings in [from, to), located between samples.
double frequency(const std::vector<double>& x, size_t from, size_t to, double rate = RATE) {
    double first = -1, last = -1;
    int crossings = 0;
    for (size_t i = from + 1; i < to && i < x.size(); ++i)
        if (x[i - 1] < 0 && x[i] >= 0) {
            const double t = static_cast<double>(i - 1) + (-x[i - 1]) / (x[i] - x[i - 1]);
            if (first < 0) first = t;
            last = t;
            ++crossings;
        }
    return crossings < 2 ? 0 : (crossings - 1) * rate / (last - first);
}

// Amplitude of the component at hz in [from, to) (Hann window, Goertzel filter).
double amplitude(const std::vector<double>& x, size_t from, size_t to, double hz) {
    const double w = 2 * M_PI * hz / RATE;
    double s1 = 0, s2 = 0, weight = 0;
    for (size_t i = from; i < to && i < x.size(); ++i) {
        const double hann = 0.5 - 0.5 * std::cos(2 * M_PI * (i - from) / (to - from));
        const double s = x[i] * hann + 2 * std::cos(w) * s1 - s2;
        s2 = s1;
        s1 = s;
        weight += hann;
    }
    const double power = s1 * s1 + s2 * s2 - 2 * std::cos(w) * s1 * s2;
    return weight > 0 ? 2 * std::sqrt(power) / weight : 0;
}

class JackMidi : public testing::Test {
  protected:
    void SetUp() override {
        if (!jackd_installed()) GTEST_SKIP() << "jackd is not installed (package jackd2): JACK tests skipped";
    }

    // The private server at rate, the keys on it and the patch.
    void serve(int rate = 44100) {
        ASSERT_TRUE(server.start(rate)) << "jackd -d dummy did not come up";
        ASSERT_TRUE(keys.open(server.name()));
        patch = dir.write("VOICES.KVX", THREE_VOICES);
        record = dir.file("played.wav");
    }

    // Starts the program on the patch with the menu keys typed, keys connected to its MIDI input.
    void start(const std::string& menu_keys, std::vector<std::string> more = {}) {
        std::vector<std::string> args = {"--headless", "--remote", "off", "--midi-connect", keys.port(), patch};
        args.insert(args.end(), more.begin(), more.end());
        ASSERT_TRUE(program->start(args, {server.env(), "TESSARO_RECORD=" + record, "SDL_AUDIODRIVER=dummy"}));
        program->type(menu_keys);
        ASSERT_TRUE(program->wait_for_output("Playing [")) << program->output();
    }

    // Plays the script, lets the last release ring out, ends with ESC; the recording. The ring
    // out is counted in recorded frames, not wall-clock time: on a loaded machine the server and
    // the output may run behind the clock.
    std::vector<double> play(std::vector<MIDI_KEYS::MESSAGE> script) {
        keys.go(std::move(script));
        EXPECT_TRUE(wait_until([&] { return keys.done(); }));
        const size_t at_last = wave_frames_written(record);
        EXPECT_TRUE(wait_until([&] { return wave_frames_written(record) >= at_last + S / 2; }));
        EXPECT_EQ(program->finish(), 0) << program->output();
        return left_channel(record);
    }

    JACK_SERVER server;
    MIDI_KEYS keys;
    SCRATCH_DIR dir{"jack"};
    std::string patch, record;
    std::unique_ptr<PROGRAM> program{new PROGRAM()};
};

} // namespace

// Each note at its pitch and, through JACK, at its own frame; the recorder path (MIDI alone on
// JACK) at its pitch. Messages the player does not obey change nothing.
TEST_F(JackMidi, NotesSoundAtTheirPitchAndFrame) {
    ASSERT_NO_FATAL_FAILURE(serve());
    struct OUTPUT_CASE {
        const char* menu;
        bool frame_exact;
    } outputs[] = {{"42", true}, {"43", false}};
    for (const OUTPUT_CASE& out : outputs) {
        SCOPED_TRACE(out.menu);
        program.reset(new PROGRAM());
        start(out.menu);
        if (out.frame_exact) {
            EXPECT_NE(program->output().find("2 - JACK (256 frames at 44100 Hz)"), std::string::npos);
            EXPECT_TRUE(keys.connected("tessaro:out_1"));
        }
        const uint32_t t0 = 4410 + 100, t1 = t0 + S + 37;
        const std::vector<double> x = play({
            {t0, on(69)},
            {t0 + S / 2, off(69)},
            {t1, on(69)},
            {t1 + S / 2, off(69)},
            {t1 + S, {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}},
            {t1 + S, {0xF8}},
            {t1 + S, {0xD0, 0x40}},
            {t1 + S, on(5)},
            {t1 + S + 100, on(81)},
            {t1 + S + 100 + S / 2, off(81)},
            {t1 + 2 * S, {0x90, 57, 0}},
            {t1 + 2 * S, {0x90, 57, 90}},
            {t1 + 2 * S + S / 2, {0x90, 57, 0}},
        });
        const auto spans = sounding_spans(x);
        ASSERT_EQ(spans.size(), 4u);
        // Through JACK every event lands at its frame, unless the loaded server missed periods:
        // the recording then lacks them and the script's frame distances no longer hold.
        const bool exact = out.frame_exact && keys.xruns() == 0;
        const int expected[] = {69, 69, 81, 57};
        for (int i = 0; i < 4; ++i) {
            const size_t a = spans[i].first, b = spans[i].second;
            // The oscillator wraps its phase on whole frames, so its period may be up to one
            // frame off the note's; a semitone at these notes moves it by three frames or more.
            EXPECT_NEAR(RATE / frequency(x, a + 500, b - 500), RATE / note_hz(expected[i]), 1.0) << i;
            EXPECT_NEAR(static_cast<double>(b - a), S / 2.0, exact ? 200 : 3500) << i << ", xruns " << keys.xruns();
        }
        if (exact) {
            EXPECT_NEAR(static_cast<double>(spans[1].first - spans[0].first), t1 - t0, 2);
        }
    }
}

// Three keyboards play a chord, a fourth note takes the oldest, the pedal holds released notes
// and all-notes-off silences everything.
TEST_F(JackMidi, ChordTakeOverSustainAndAllNotesOff) {
    ASSERT_NO_FATAL_FAILURE(serve());
    start("42");
    const uint32_t t = 1000;
    const std::vector<double> x = play({
        {t, on(60)}, {t, on(64)}, {t, on(67)},
        {t + S / 2, on(72)},
        {t + S, cc(64, 127)}, {t + S, off(72)}, {t + S, off(64)}, {t + S, off(67)}, {t + S, off(60)},
        {t + 3 * S / 2, cc(64, 0)},
        {t + 2 * S, on(60)}, {t + 2 * S, on(64)},
        {t + 5 * S / 2, cc(123, 0)},
    });
    const auto spans = sounding_spans(x);
    ASSERT_FALSE(spans.empty());
    const size_t o = spans.front().first;
    struct WINDOW {
        const char* what;
        double from, to; // seconds after the chord's onset
        std::vector<int> sounding;
    } windows[] = {
        {"chord", 0.1, 0.4, {60, 64, 67}},
        {"fourth note took the oldest", 0.6, 0.9, {64, 67, 72}},
        {"held by the pedal", 1.1, 1.4, {64, 67, 72}},
        {"pedal released", 1.6, 1.9, {}},
        {"two notes", 2.1, 2.4, {60, 64}},
        {"all notes off", 2.6, 2.9, {}},
    };
    const int all[] = {60, 64, 67, 72};
    for (const WINDOW& w : windows) {
        SCOPED_TRACE(w.what);
        const size_t a = o + static_cast<size_t>(w.from * RATE), b = o + static_cast<size_t>(w.to * RATE);
        ASSERT_LE(b, x.size());
        for (int n : all) {
            const bool wanted = std::find(w.sounding.begin(), w.sounding.end(), n) != w.sounding.end();
            const double level = amplitude(x, a, b, note_hz(n));
            if (wanted)
                EXPECT_GT(level, 0.05) << n;
            else
                EXPECT_LT(level, 0.005) << n;
        }
        if (w.sounding.empty()) {
            EXPECT_LT(rms(x, a, b), 1e-4);
        }
    }
}

// The server stopped under the playing program: it says so, and ESC still ends it with status 0.
TEST_F(JackMidi, ServerGoneWhilePlaying) {
    ASSERT_NO_FATAL_FAILURE(serve());
    start("42");
    keys.go({{100, on(69)}});
    pause_ms(500);
    server.stop_now();
    EXPECT_TRUE(program->wait_for_output("JACK server has gone away", 10000)) << program->output();
    EXPECT_TRUE(program->alive());
    EXPECT_EQ(program->finish(10000), 0) << program->output();
}

// At 48000 Hz the output is converted (and the console says so once); --jack-connect none leaves
// the ports for the player to connect.
TEST_F(JackMidi, OtherServerRateIsConvertedAndPortsCanStayUnconnected) {
    ASSERT_NO_FATAL_FAILURE(serve(48000));
    start("42", {"--jack-connect", "none"});
    EXPECT_NE(program->output().find("2 - JACK (256 frames at 48000 Hz)"), std::string::npos);
    EXPECT_EQ(count_of(program->output(), "converting"), 1) << program->output();
    EXPECT_FALSE(keys.connected("tessaro:out_1"));
    ASSERT_TRUE(keys.listen_to("tessaro:out_1"));
    play({{1000, on(69)}, {1000 + 48000, off(69)}});
    const std::vector<double> heard = keys.heard();
    const auto spans = sounding_spans(heard);
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_NEAR(static_cast<double>(spans[0].second - spans[0].first), 48000, 600);
    // Within the oscillator's one frame at 44100 Hz, about 1.09 frames at 48000 Hz.
    EXPECT_NEAR(48000 / frequency(heard, spans[0].first + 500, spans[0].second - 500, 48000), 48000 / 440.0, 1.2);
}
