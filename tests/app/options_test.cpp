// The command line: options in any position, the usage errors, and the options kept for later.
#include "app/options.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

OPTIONS parse(std::initializer_list<const char*> args) {
    std::vector<const char*> argv{"tessaro"};
    argv.insert(argv.end(), args.begin(), args.end());
    return parse_options(static_cast<int>(argv.size()), argv.data());
}

} // namespace

TEST(Options, EachWayOfRunningWithOptionsAnywhere) {
    OPTIONS o = parse({"P.KVX"});
    EXPECT_EQ(o.kind, RUN_KIND::WINDOW);
    EXPECT_STREQ(o.patch(), "P.KVX");
    EXPECT_TRUE(o.error.empty());

    for (auto args : {std::initializer_list<const char*>{"--headless", "P.KVX"}, {"P.KVX", "--headless"}}) {
        o = parse(args);
        EXPECT_EQ(o.kind, RUN_KIND::HEADLESS);
        EXPECT_STREQ(o.patch(), "P.KVX");
        EXPECT_TRUE(o.error.empty());
    }
    for (auto args : {std::initializer_list<const char*>{"--render", "o.wav", "--seconds", "1", "P.KVX"},
                      {"P.KVX", "--render", "o.wav", "--seconds", "1"},
                      {"--seconds", "1", "P.KVX", "--render", "o.wav"}}) {
        o = parse(args);
        EXPECT_EQ(o.kind, RUN_KIND::RENDER);
        EXPECT_STREQ(o.patch(), "P.KVX");
        EXPECT_EQ(o.render_out, "o.wav");
        EXPECT_DOUBLE_EQ(o.seconds, 1.0);
        EXPECT_TRUE(o.error.empty()) << o.error;
    }
    EXPECT_EQ(parse({}).kind, RUN_KIND::NO_ARGUMENT);
    // A patch whose name starts with a dash is reachable after "--".
    o = parse({"--", "-odd.KVX"});
    EXPECT_EQ(o.kind, RUN_KIND::WINDOW);
    EXPECT_STREQ(o.patch(), "-odd.KVX");
}

TEST(Options, HelpAndVersionWinInAnyPosition) {
    EXPECT_EQ(parse({"--help"}).kind, RUN_KIND::HELP);
    EXPECT_EQ(parse({"P.KVX", "-h"}).kind, RUN_KIND::HELP);
    EXPECT_EQ(parse({"--bogus", "--help"}).kind, RUN_KIND::HELP);
    EXPECT_EQ(parse({"--version"}).kind, RUN_KIND::VERSION);
    EXPECT_EQ(parse({"P.KVX", "-V"}).kind, RUN_KIND::VERSION);
    EXPECT_NE(std::string(usage_text()).find("--render OUT.wav --seconds S PATCH.KVX"), std::string::npos);
}

TEST(Options, UsageErrors) {
    const std::initializer_list<const char*> bad[] = {
        {"--bogus", "P.KVX"},                                // unknown option
        {"-x"},                                              // unknown short option
        {"--headless"},                                      // no patch
        {"A.KVX", "B.KVX"},                                  // two patches to play
        {"--render", "o.wav", "P.KVX"},                      // no duration
        {"--render", "o.wav", "--seconds", "-1", "P.KVX"},   // bad duration
        {"--render", "o.wav", "--seconds", "soon", "P.KVX"}, // bad duration
        {"--seconds", "1", "P.KVX"},                         // duration without render
        {"--render"},                                        // option value missing
        {"P.KVX", "--seconds"},                              // option value missing
        {"--headless", "--render", "o.wav", "--seconds", "1", "P.KVX"},
        {"--check"}, // nothing to check
        {"--audio", "alsa", "P.KVX"},                        // no such output
        {"--driver", "0", "P.KVX"},                          // drivers count from 1
        {"--driver", "x", "P.KVX"},
        {"--audio", "record", "--driver", "1", "P.KVX"},     // the recorder is its own driver
        {"--audio", "none", "--render", "o.wav", "--seconds", "1", "P.KVX"},
    };
    for (const auto& args : bad) {
        const OPTIONS o = parse(args);
        EXPECT_FALSE(o.error.empty()) << *args.begin();
    }
    EXPECT_NE(parse({"--bogus", "P.KVX"}).error.find("--bogus"), std::string::npos);
}

TEST(Options, RemoteAndCheckAreKeptForTheirUsers) {
    OPTIONS o = parse({"--remote", "127.0.0.1:9000", "P.KVX"});
    EXPECT_EQ(o.kind, RUN_KIND::WINDOW);
    EXPECT_TRUE(o.have_remote);
    EXPECT_EQ(o.remote, "127.0.0.1:9000");
    o = parse({"--headless", "P.KVX", "--remote", "off"});
    EXPECT_EQ(o.kind, RUN_KIND::HEADLESS);
    EXPECT_EQ(o.remote, "off");
    o = parse({"A.KVX", "--check", "B.KVX", "C.KVX"});
    EXPECT_EQ(o.kind, RUN_KIND::CHECK);
    EXPECT_TRUE(o.error.empty());
    EXPECT_EQ(o.patches, (std::vector<std::string>{"A.KVX", "B.KVX", "C.KVX"}));
}

TEST(Options, MidiJackAndBlockOptions) {
    OPTIONS o = parse({"P.KVX"});
    EXPECT_TRUE(o.jack_connect);
    EXPECT_EQ(o.midi_channel, 0);
    EXPECT_EQ(o.block_frames, 3072);
    o = parse({"--midi-connect", "keys:out", "--midi-channel", "16", "--jack-connect", "none", "--block", "64",
               "--headless", "P.KVX"});
    EXPECT_TRUE(o.error.empty()) << o.error;
    EXPECT_EQ(o.midi_connect, "keys:out");
    EXPECT_EQ(o.midi_channel, 16);
    EXPECT_FALSE(o.jack_connect);
    EXPECT_EQ(o.block_frames, 64);
    const std::initializer_list<const char*> bad[] = {
        {"--midi-channel", "0", "P.KVX"},  {"--midi-channel", "17", "P.KVX"}, {"--midi-channel", "1x", "P.KVX"},
        {"--block", "63", "P.KVX"},        {"--block", "8193", "P.KVX"},      {"--block", "", "P.KVX"},
        {"--jack-connect", "all", "P.KVX"}, {"P.KVX", "--midi-connect"},
    };
    for (const auto& args : bad) EXPECT_FALSE(parse(args).error.empty()) << *(args.begin() + 1);
}

TEST(Options, AudioAndDriverAnswerTheMenus) {
    struct ROW {
        std::initializer_list<const char*> args;
        int output, driver; // the menu keys they stand for; 0 leaves the menu to the console
    };
    const ROW rows[] = {
        {{"P.KVX"}, 0, 0},
        {{"--audio", "sdl", "P.KVX"}, '1', '1'},
        {{"--audio", "none", "--headless", "P.KVX"}, '4', '1'},
        {{"--audio", "record", "P.KVX"}, '4', '2'},
        {{"--audio", "sdl", "--driver", "2", "P.KVX"}, '1', '2'},
        {{"--driver", "2", "P.KVX"}, 0, '2'},
        {{"--audio", "jack", "P.KVX"}, 0, 0}, // no server: refused at start
    };
    for (const ROW& r : rows) {
        const OPTIONS o = parse(r.args);
        EXPECT_TRUE(o.error.empty()) << o.error;
        const MENU_KEYS k = menu_keys_for(o.audio, o.driver);
        EXPECT_EQ(k.output, r.output) << *r.args.begin();
        EXPECT_EQ(k.driver, r.driver) << *r.args.begin();
    }
    // With a JACK server its driver comes second and the recorder third.
    EXPECT_EQ(menu_keys_for("jack", 0, true).output, '4');
    EXPECT_EQ(menu_keys_for("jack", 0, true).driver, '2');
    EXPECT_EQ(menu_keys_for("record", 0, true).driver, '3');
}

TEST(Options, EngineChoosesRunsOfFramesOrTheSweep) {
    EXPECT_TRUE(parse({"P.KVX"}).sub_blocks);
    EXPECT_TRUE(parse({"--engine", "block", "P.KVX"}).sub_blocks);
    const OPTIONS o = parse({"--render", "o.wav", "--seconds", "1", "P.KVX", "--engine", "sweep"});
    EXPECT_TRUE(o.error.empty()) << o.error;
    EXPECT_EQ(o.kind, RUN_KIND::RENDER);
    EXPECT_FALSE(o.sub_blocks);
    for (auto args : {std::initializer_list<const char*>{"--engine", "Sweep", "P.KVX"}, {"--engine", "", "P.KVX"},
                      {"P.KVX", "--engine"}})
        EXPECT_FALSE(parse(args).error.empty()) << *(args.begin() + 1);
    EXPECT_NE(std::string(usage_text()).find("--engine sweep"), std::string::npos);
}
